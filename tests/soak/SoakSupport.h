// The soak runs' process set-up (COM, a private temporary folder, the
// module's application object, message boxes caught) and small helpers.
#pragma once
#include <windows.h>

#include "MessagePump.h"
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "NeloRecognitionCtrl.h"
#include "Variant.h"

namespace soak {

std::wstring RecordTempDir();

// Cycles per loop: NELO_SOAK_CYCLES when set (1000 for the full soak), else `bounded`.
int Cycles(int bounded);

using testpump::PumpPending;
using testpump::PumpUntil;

LONG Call(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args = {}, nelo::Variant* result = nullptr);

// Events of one control, by DISPID, as (wParam, lParam).
class EventCounter : public IDispatch {
public:
    struct Event { DISPID id; ULONG wParam; LONG lParam; };
    std::vector<Event> events;

    HRESULT Connect(IDispatch* control);
    void Disconnect();
    ~EventCounter() { Disconnect(); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    nelo::ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

// A 16 kHz mono 16-bit tone as WAV bytes.
std::string ToneWav(DWORD milliseconds);
std::wstring Hex(const std::string& bytes);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace soak
