#include "ControlWithFakeEngine.h"

#include <gtest/gtest.h>
#include <ocidl.h>

#include "ControlTypes.h"
#include "NeloGuids.h"
#include "NeloRecognitionApp.h"
#include "folders/WorkFolders.h"

class EventRecorder : public IDispatch {
public:
    virtual ~EventRecorder() = default;
    explicit EventRecorder(CNeloRecognitionCtrl* ctrl) : m_pCtrl(ctrl) {}
    std::vector<ScoreEvent> events;
    bool readState = false;
    CNeloRecognitionCtrl* m_pCtrl;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == DIID__DNeloRecognitionEvents) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&m_ref); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG r = InterlockedDecrement(&m_ref);
        if (r == 0) delete this;
        return r;
    }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != DISPID_EVENT_SCORE_NOTIFY || !params || params->cArgs != 2) return S_OK;
        // Arguments arrive last first.
        ScoreEvent e = {V_UI4(&params->rgvarg[1]), V_I4(&params->rgvarg[0]), 0};
        if (readState && m_pCtrl) e.stateReadInHandler = m_pCtrl->OcxGetScoreState(static_cast<LONG>(e.wParam));
        events.push_back(e);
        return S_OK;
    }

private:
    LONG m_ref = 1;
};

ControlWithFakeEngine::ControlWithFakeEngine() {
    m_pCtrl = new CNeloRecognitionCtrl();
    m_pCtrl->AddRef();
    m_pSink = new EventRecorder(m_pCtrl);
    IConnectionPointContainer* container = nullptr;
    if (SUCCEEDED(m_pCtrl->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)))) {
        if (SUCCEEDED(container->FindConnectionPoint(DIID__DNeloRecognitionEvents, &m_pPoint)))
            m_pPoint->Advise(m_pSink, &m_dwCookie);
        container->Release();
    }
}

ControlWithFakeEngine::~ControlWithFakeEngine() {
    Destroy();
    m_pSink->Release();
}

void ControlWithFakeEngine::Destroy() {
    if (!m_pCtrl) return;
    if (m_pPoint) {
        m_pPoint->Unadvise(m_dwCookie);
        m_pPoint->Release();
        m_pPoint = nullptr;
    }
    m_pSink->m_pCtrl = nullptr;
    m_pCtrl->Release();
    m_pCtrl = nullptr;
}

const std::vector<ScoreEvent>& ControlWithFakeEngine::ScoreEvents() const { return m_pSink->events; }
void ControlWithFakeEngine::ReadStateInHandler(bool on) { m_pSink->readState = on; }

namespace {

std::wstring LogPath() { return GetLogPath(theApp.m_strWorkDir); }

}  // namespace

size_t LogSize() {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (theApp.m_strWorkDir.empty() || !GetFileAttributesExW(LogPath().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<size_t>(data.nFileSizeLow);
}

std::string LogSince(size_t offset) {
    HANDLE file = CreateFileW(LogPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(file);
    return offset <= text.size() ? text.substr(offset) : text;
}

bool HasLogLine(const std::string& text, const std::string& line) {
    size_t at = 0;
    while ((at = text.find(line, at)) != std::string::npos) {
        const size_t end = at + line.size();
        if (end == text.size() || text[end] == '\r' || text[end] == '\n') return true;
        at = end;
    }
    return false;
}

std::vector<FAKEPSCALL> Calls() {
    std::vector<FAKEPSCALL> calls(static_cast<size_t>(FakePs_CallCount()));
    for (size_t i = 0; i < calls.size(); ++i) FakePs_GetCall(static_cast<int>(i), &calls[i]);
    return calls;
}

std::vector<FAKEPSCALL> CallsOf(const char* function) {
    std::vector<FAKEPSCALL> out;
    for (const FAKEPSCALL& c : Calls())
        if (std::string(c.szFunction) == function) out.push_back(c);
    return out;
}

ScriptArrayArg::ScriptArrayArg(const std::vector<LONG>& values) {
    VariantInit(&m_array);
    SAFEARRAYBOUND bound = {static_cast<ULONG>(values.size()), 0};
    SAFEARRAY* sa = SafeArrayCreate(VT_VARIANT, 1, &bound);
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        VARIANT v;
        V_VT(&v) = VT_I4;
        V_I4(&v) = values[i];
        SafeArrayPutElement(sa, &i, &v);
    }
    V_VT(&m_array) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&m_array) = sa;
    VariantInit(&m_byRef);
    V_VT(&m_byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&m_byRef) = &m_array;
}

ScriptArrayArg::~ScriptArrayArg() { VariantClear(&m_array); }

namespace {

class ControlModuleEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        theApp.InitInstance(GetModuleHandleW(nullptr));
        // The first control finds the working folder; from then on the log's path is known
        // before a test's control exists, so a test reads only the lines it caused.
        ControlWithFakeEngine first;
    }
    void TearDown() override { CoUninitialize(); }
};

}  // namespace

void InitControlModuleForTests() {
    static bool done = false;
    if (done) return;
    done = true;
    ::testing::AddGlobalTestEnvironment(new ControlModuleEnvironment());
}

// Registered before main runs.
static const bool g_registered = (InitControlModuleForTests(), true);
