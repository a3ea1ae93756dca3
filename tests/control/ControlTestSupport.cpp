#include "ControlTestSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include "MessageBox.h"
#include "NeloGuids.h"
#include "NeloRecognitionApp.h"

namespace test {
namespace {

std::vector<ShownBox> g_boxes;

int RecordBox(const std::wstring& text, UINT type) {
    g_boxes.push_back({text, type});
    return IDOK;
}

std::wstring MakeTempRoot() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    std::wstring root = std::wstring(base) + L"nelo-control-test-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(root.c_str(), nullptr);
    return root;
}

// Process set-up: COM on this (apartment) thread, TMP/TEMP before the first control, the
// module's application object as DllMain would set it, and no real message boxes.
class ControlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SetEnvironmentVariableW(L"TMP", TempRoot().c_str());
        SetEnvironmentVariableW(L"TEMP", TempRoot().c_str());
        theApp.InitInstance(GetModuleHandleW(nullptr));
        nelo::SetMessageBoxHandler(&RecordBox);
    }
    void TearDown() override {
        nelo::SetMessageBoxHandler(nullptr);
        RemoveTree(TempRoot());
        OleUninitialize();
    }
};

::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new ControlEnvironment);

}  // namespace

const std::wstring& TempRoot() {
    static const std::wstring root = MakeTempRoot();
    return root;
}
std::wstring WorkDir() { return TempRoot() + L"NeloRecognition"; }
std::wstring RecordTempDir() { return WorkDir() + L"\\_RecordTemp"; }
std::wstring LogPath() { return WorkDir() + L"\\NeloRecognition.log"; }

std::vector<ShownBox> TakeMessageBoxes() {
    std::vector<ShownBox> out;
    out.swap(g_boxes);
    return out;
}

Control CreateControl() {
    Control c;
    HRESULT hr = CNeloRecognitionCtrl::Create(IID_IDispatch, c.dispatch.ReceiveVoid());
    EXPECT_EQ(hr, S_OK);
    if (c.dispatch)
        c.object = static_cast<CNeloRecognitionCtrl*>(static_cast<nelo::ControlBase*>(c.dispatch.Get()));
    return c;
}

HRESULT CallByName(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args, nelo::Variant* result,
                   UINT* argErr) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    nelo::Variant ignored;
    UINT err = 0;
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                   result ? result->Receive() : ignored.Get(), nullptr, &err);
    if (argErr) *argErr = err;
    return hr;
}

LONG CallLong(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args) {
    nelo::Variant result;
    HRESULT hr = CallByName(d, name, std::move(args), &result);
    EXPECT_EQ(hr, S_OK) << Utf8(name);
    if (result.Type() == VT_UI4) return static_cast<LONG>(V_UI4(result.Get()));
    EXPECT_EQ(result.Type(), VT_I4) << Utf8(name);
    return V_I4(result.Get());
}

HRESULT EventSink::Connect(IDispatch* control) {
    nelo::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
    if (FAILED(hr)) return hr;
    hr = container->FindConnectionPoint(DIID__DNeloRecognitionEvents, m_point.Receive());
    if (FAILED(hr)) return hr;
    return m_point->Advise(this, &m_cookie);
}

void EventSink::Disconnect() {
    if (m_point) m_point->Unadvise(m_cookie);
    m_point = nullptr;
}

EventSink::~EventSink() { Disconnect(); }

STDMETHODIMP EventSink::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*, EXCEPINFO*, UINT*) {
    EventRecord r = {id, 0, 0, -999};
    if (p && p->cArgs == 2 && V_VT(&p->rgvarg[1]) == VT_UI4 && V_VT(&p->rgvarg[0]) == VT_I4) {
        r.wParam = V_UI4(&p->rgvarg[1]);
        r.lParam = V_I4(&p->rgvarg[0]);
    } else {
        r.lParam = -1000;  // not the (UI4, I4) pair every event carries
    }
    if (probe) r.readInHandler = probe(r);
    events.push_back(r);
    return S_OK;
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof(buf), &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

std::vector<std::string> ReadLogLines() {
    std::string all = ReadFileBytes(LogPath());
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t pos; (pos = all.find("\r\n", start)) != std::string::npos; start = pos + 2)
        lines.push_back(all.substr(start, pos - start));
    if (start < all.size()) lines.push_back(all.substr(start));  // an unterminated tail shows up too
    return lines;
}

bool PathIsFolder(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathIsFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileText(const std::wstring& path, const std::string& text) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << Utf8(path);
    DWORD n = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &n, nullptr);
    CloseHandle(h);
}

void RemoveTree(const std::wstring& path) {
    if (PathIsFile(path)) {
        DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            RemoveTree(path + L"\\" + name);
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace test
