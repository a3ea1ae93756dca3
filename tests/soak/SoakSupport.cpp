#include "SoakSupport.h"

#include <gtest/gtest.h>
#include <ocidl.h>

#include <cmath>
#include <cstdlib>

#include "MessageBox.h"
#include "NeloGuids.h"
#include "NeloRecognitionApp.h"
#include "folders/WorkFolders.h"

namespace soak {
namespace {

std::wstring g_root;

int IgnoreBox(const std::wstring&, UINT) { return IDOK; }

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path + L"\\" + name);
            else DeleteFileW((path + L"\\" + name).c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

class SoakEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        g_root = std::wstring(base) + L"nelo-soak-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(g_root.c_str(), nullptr);
        SetEnvironmentVariableW(L"TMP", g_root.c_str());
        SetEnvironmentVariableW(L"TEMP", g_root.c_str());
        theApp.InitInstance(GetModuleHandleW(nullptr));
        nelo::SetMessageBoxHandler(&IgnoreBox);
    }
    void TearDown() override {
        nelo::SetMessageBoxHandler(nullptr);
        RemoveTree(g_root);
        OleUninitialize();
    }
};

::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new SoakEnvironment);

}  // namespace

std::wstring RecordTempDir() { return GetRecordTempDir(g_root + L"\\NeloRecognition"); }

int Cycles(int bounded) {
    const char* env = std::getenv("NELO_SOAK_CYCLES");
    return env && std::atoi(env) > 0 ? std::atoi(env) : bounded;
}

LONG Call(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args, nelo::Variant* result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
    DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    nelo::Variant local;
    nelo::Variant* r = result ? result : &local;
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, r->Receive(), nullptr, nullptr), S_OK);
    if (r->Type() == VT_I4) return V_I4(r->Get());
    if (r->Type() == VT_UI4) return static_cast<LONG>(V_UI4(r->Get()));
    return 0;
}

HRESULT EventCounter::Connect(IDispatch* control) {
    nelo::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
    if (FAILED(hr)) return hr;
    hr = container->FindConnectionPoint(DIID__DNeloRecognitionEvents, m_point.Receive());
    return FAILED(hr) ? hr : m_point->Advise(this, &m_cookie);
}

void EventCounter::Disconnect() {
    if (m_point) m_point->Unadvise(m_cookie);
    m_point = nullptr;
}

STDMETHODIMP EventCounter::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID__DNeloRecognitionEvents) {
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventCounter::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) {
    if (p && p->cArgs == 2) events.push_back({id, V_UI4(&p->rgvarg[1]), V_I4(&p->rgvarg[0])});
    return S_OK;
}

std::string ToneWav(DWORD milliseconds) {
    const DWORD samples = milliseconds * 16, dataBytes = samples * 2;
    std::string out;
    auto u32 = [&out](DWORD v) { for (int i = 0; i < 4; ++i) out += static_cast<char>(v >> (8 * i)); };
    auto u16 = [&out](WORD v) { out += static_cast<char>(v); out += static_cast<char>(v >> 8); };
    out += "RIFF"; u32(36 + dataBytes); out += "WAVEfmt "; u32(16); u16(1); u16(1); u32(16000); u32(32000);
    u16(2); u16(16); out += "data"; u32(dataBytes);
    for (DWORD i = 0; i < samples; ++i) u16(static_cast<WORD>(static_cast<short>(5000 * std::sin(i * 0.05))));
    return out;
}

std::wstring Hex(const std::string& bytes) {
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
}

}  // namespace soak
