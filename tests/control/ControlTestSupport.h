// Helpers for tests that run the real control inside the test executable: the process
// set-up (COM, a private temporary folder, the message-box handler), calls by name, a
// recording event sink and a message pump that waits for a condition.
#pragma once
#include <windows.h>

#include "MessagePump.h"
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "NeloRecognitionCtrl.h"
#include "Variant.h"

namespace test {

// The private temporary folder (with a trailing backslash) that TMP and TEMP point to.
const std::wstring& TempRoot();
// TempRoot() + "NeloRecognition" and its "_RecordTemp" subfolder, without trailing backslash.
std::wstring WorkDir();
std::wstring RecordTempDir();
std::wstring LogPath();

// Message boxes shown since the last call (text and type), then forgotten.
struct ShownBox { std::wstring text; UINT type; };
std::vector<ShownBox> TakeMessageBoxes();

struct Control {
    nelo::ComPtr<IDispatch> dispatch;
    CNeloRecognitionCtrl* object = nullptr;  // borrowed from dispatch
};
Control CreateControl();

// Calls a method by name with arguments in declaration order.
HRESULT CallByName(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args, nelo::Variant* result,
                   UINT* argErr = nullptr);
LONG CallLong(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args = {});

// Message pumping while waiting (tests/common/MessagePump.h).
using testpump::PumpPending;
using testpump::PumpUntil;

struct EventRecord {
    DISPID id;
    ULONG wParam;
    LONG lParam;
    LONG readInHandler;  // what the sink's probe returned inside the handler (or -999)
};

// An event sink that records each event; an optional probe runs inside the handler.
class EventSink : public IDispatch {
public:
    std::vector<EventRecord> events;
    std::function<LONG(const EventRecord&)> probe;

    HRESULT Connect(IDispatch* control);
    void Disconnect();
    ~EventSink();

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    LONG m_refs = 1;
    nelo::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

// Reads a whole file as bytes; empty when missing.
std::string ReadFileBytes(const std::wstring& path);
// The log's lines (CR LF separated), as UTF-8 text.
std::vector<std::string> ReadLogLines();
bool PathIsFolder(const std::wstring& path);
bool PathIsFile(const std::wstring& path);
void WriteFileText(const std::wstring& path, const std::string& text);
void RemoveTree(const std::wstring& path);
std::string Utf8(const std::wstring& text);

}  // namespace test
