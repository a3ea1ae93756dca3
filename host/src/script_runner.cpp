#include "script_runner.h"

#include <activscp.h>
#include <vector>

#include "com_ptr.h"
#include "console_out.h"
#include "control_factory.h"
#include "control_proxy.h"
#include "control_site.h"
#include "event_router.h"
#include "event_sink.h"
#include "host_item.h"
#include "host_paths.h"
#include "run_state.h"
#include "script_site.h"
#include "text_codec.h"
#include "watchdog.h"

namespace {

// How long a stopping script may take to unwind before the process ends.
constexpr DWORD kGraceMs = 5000;

struct CSourceFile {
    std::wstring displayName;  // as given on the command line, for error lines
    std::wstring text;
};

bool ReadScriptFile(const std::wstring& given, CSourceFile& out, std::wstring& error) {
    std::wstring path = ResolveHostPath(given);
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) { error = L"cannot open " + given + L" (error " + std::to_wstring(GetLastError()) + L")"; return false; }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 64LL * 1024 * 1024) {
        error = L"cannot read " + given;
        return false;
    }
    std::vector<unsigned char> bytes(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size())) {
        error = L"cannot read " + given;
        return false;
    }
    out.displayName = given;
    out.text = DecodeScriptText(bytes);
    return true;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

class COleSession {
public:
    COleSession() : m_hr(OleInitialize(nullptr)) {}
    ~COleSession() { if (SUCCEEDED(m_hr)) OleUninitialize(); }
    COleSession(const COleSession&) = delete;
    COleSession& operator=(const COleSession&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};

// The engine and its parser, closed before they are released.
class CEngine {
public:
    ~CEngine() { Close(); }
    bool Create(EScriptLanguage language, IActiveScriptSite* site, std::wstring& error) {
        const wchar_t* progId = language == EScriptLanguage::JScript ? L"JScript" : L"VBScript";
        CLSID clsid;
        HRESULT hr = CLSIDFromProgID(progId, &clsid);
        if (SUCCEEDED(hr))
            hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, m_script.OutVoid());
        if (SUCCEEDED(hr)) {
            m_parse = m_script.As<IActiveScriptParse>(IID_IActiveScriptParse);
            if (!m_parse) hr = E_NOINTERFACE;
        }
        if (SUCCEEDED(hr)) hr = m_script->SetScriptSite(site);
        if (SUCCEEDED(hr)) hr = m_parse->InitNew();
        if (FAILED(hr)) {
            error = std::wstring(L"cannot start the ") + progId + L" engine (" + HResultText(hr) + L")";
            return false;
        }
        return true;
    }
    IActiveScript* Script() const { return m_script.Get(); }
    IActiveScriptParse* Parse() const { return m_parse.Get(); }
    void Close() {
        if (m_script) m_script->Close();
        m_parse.Reset();
        m_script.Reset();
    }

private:
    CComPtr<IActiveScript> m_script;
    CComPtr<IActiveScriptParse> m_parse;
};

void Report(const std::wstring& message) {
    WriteLine(EStream::Err, L"NeloHost: " + message);
}

int ExitCodeOf(CRunState& state) {
    switch (state.Reason()) {
    case EStopReason::None: return kExitOk;
    case EStopReason::Assert: {
        // Not yet reported when the assertion's error never reached the site
        // (caught by the script, or raised inside an event handler).
        std::wstring pending;
        if (state.TakePendingReport(pending)) WriteLine(EStream::Err, pending);
        return kExitAssert;
    }
    default: return state.ExitCode();
    }
}

}  // namespace

int RunHost(const CHostOptions& options) {
    std::vector<CSourceFile> sources;
    std::wstring error;
    for (const auto& lib : options.libs) {
        CSourceFile file;
        if (!ReadScriptFile(lib, file, error)) { Report(error); return kExitUsage; }
        sources.push_back(std::move(file));
    }
    {
        CSourceFile file;
        if (!ReadScriptFile(options.strScript, file, error)) { Report(error); return kExitUsage; }
        sources.push_back(std::move(file));
    }

    COleSession ole;
    if (FAILED(ole.Result())) { Report(L"OleInitialize failed (" + HResultText(ole.Result()) + L")"); return kExitScriptError; }

    CRunState state;
    CWatchdog watchdog(state, options.nTimeoutSeconds * 1000, kGraceMs);
    if (!watchdog.Start()) { Report(L"cannot start the timeout thread"); return kExitScriptError; }

    CCreatedControl control;
    if (options.bCreateControl) {
        bool bCreated = options.strModule.empty()
                            ? control.CreateByProgId(options.strProgId, error)
                            : control.CreateFromModule(ResolveHostPath(options.strModule), error);
        if (!bCreated) { Report(error); return kExitScriptError; }
    }

    int exitCode = kExitOk;
    {
        CActivation activation;
        if (options.bActivate && !activation.Activate(control.Unknown(), error)) {
            Report(error);
            return kExitScriptError;
        }

        CEventRouter router(state, options.language, L"ctrl");
        auto site = CComPtr<CScriptSite>::Adopt(new CScriptSite(state));
        site->SetWindow(activation.Window());
        for (const auto& source : sources) site->AddSourceFile(source.displayName);

        auto hostItem = CComPtr<CHostItem>::Adopt(
            new CHostItem(state, options.scriptArgs, FolderOf(ResolveHostPath(options.strScript))));
        site->AddItem(L"host", static_cast<IDispatch*>(hostItem.Get()));
        CComPtr<CControlProxy> proxy;
        if (control.Dispatch()) {
            proxy = CComPtr<CControlProxy>::Adopt(new CControlProxy(control.Dispatch(), router, state));
            site->AddItem(L"ctrl", static_cast<IDispatch*>(proxy.Get()));
        }

        CEngine engine;
        if (!engine.Create(options.language, static_cast<IActiveScriptSite*>(site.Get()), error)) {
            Report(error);
            return kExitScriptError;
        }
        watchdog.SetEngine(engine.Script());
        struct CEngineUnregister {
            CWatchdog& w;
            ~CEngineUnregister() { w.SetEngine(nullptr); }
        } engineUnregister{watchdog};
        router.SetEngine(engine.Script());

        HRESULT hr = engine.Script()->AddNamedItem(L"host", SCRIPTITEM_ISVISIBLE);
        if (SUCCEEDED(hr) && proxy)
            hr = engine.Script()->AddNamedItem(L"ctrl", SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
        // Connected: each parsed text runs at once, in order, and its event
        // handlers are live from then on.
        if (SUCCEEDED(hr)) hr = engine.Script()->SetScriptState(SCRIPTSTATE_CONNECTED);
        if (FAILED(hr)) {
            Report(L"cannot prepare the engine (" + HResultText(hr) + L")");
            return kExitScriptError;
        }

        {
            // With --no-ctrl there is nothing to connect; the connection then stays empty.
            CEventConnection events(control.Unknown(), router);
            for (DWORD cookie = 0; cookie < sources.size() && !state.Stopping(); ++cookie) {
                EXCEPINFO e = {};
                hr = engine.Parse()->ParseScriptText(sources[cookie].text.c_str(), nullptr, nullptr, nullptr, cookie,
                                                     0, SCRIPTTEXT_ISVISIBLE, nullptr, &e);
                SysFreeString(e.bstrSource);
                SysFreeString(e.bstrDescription);
                SysFreeString(e.bstrHelpFile);
                if (FAILED(hr) && !state.Stopping()) {
                    // The engine refused the text without reporting through the site.
                    Report(sources[cookie].displayName + L": the engine did not run the script (" + HResultText(hr) + L")");
                    state.RequestStop(EStopReason::ScriptError, kExitScriptError);
                }
            }
            exitCode = ExitCodeOf(state);
            events.Disconnect();
        }
        router.Clear();
        if (proxy) proxy->Detach();
        watchdog.SetEngine(nullptr);
        engine.Close();
        site->ClearItems();
        // Leaving the scope deactivates the control (if activated) before it is released.
    }
    control.Release();
    return exitCode;
}
