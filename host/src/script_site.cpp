#include "script_site.h"

#include "console_out.h"
#include "script_error.h"

CScriptSite::CScriptSite(CRunState& state) : m_state(state) {}

void CScriptSite::AddItem(const std::wstring& name, IUnknown* object) {
    m_items.push_back({name, CComPtr<IUnknown>::Share(object)});
}

DWORD CScriptSite::AddSourceFile(const std::wstring& displayName) {
    m_sourceFiles.push_back(displayName);
    return static_cast<DWORD>(m_sourceFiles.size() - 1);
}

std::wstring CScriptSite::SourceName(DWORD cookie) const {
    return cookie < m_sourceFiles.size() ? m_sourceFiles[cookie] : std::wstring(L"<script>");
}

STDMETHODIMP CScriptSite::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IActiveScriptSite) {
        *ppv = static_cast<IActiveScriptSite*>(this);
    } else if (riid == IID_IActiveScriptSiteWindow) {
        *ppv = static_cast<IActiveScriptSiteWindow*>(this);
    } else if (riid == IID_IActiveScriptSiteUIControl) {
        *ppv = static_cast<IActiveScriptSiteUIControl*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CScriptSite::GetLCID(LCID*) {
    return E_NOTIMPL;  // the system's default
}

STDMETHODIMP CScriptSite::GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem,
                                      ITypeInfo** ppti) {
    if (dwReturnMask & SCRIPTINFO_IUNKNOWN) {
        if (!ppiunkItem) return E_POINTER;
        *ppiunkItem = nullptr;
    }
    if (dwReturnMask & SCRIPTINFO_ITYPEINFO) {
        if (!ppti) return E_POINTER;
        *ppti = nullptr;
    }
    if (!pstrName) return E_INVALIDARG;
    for (const auto& item : m_items) {
        if (item.name != pstrName) continue;
        if (dwReturnMask & SCRIPTINFO_IUNKNOWN) {
            *ppiunkItem = item.object.Get();
            (*ppiunkItem)->AddRef();
        }
        if (dwReturnMask & SCRIPTINFO_ITYPEINFO) {
            // The item's dispatch description, never its class: an engine given
            // the class would look for events to sink itself.
            auto dispatch = item.object.As<IDispatch>(IID_IDispatch);
            UINT count = 0;
            if (dispatch && SUCCEEDED(dispatch->GetTypeInfoCount(&count)) && count > 0)
                dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, ppti);
        }
        return S_OK;
    }
    return TYPE_E_ELEMENTNOTFOUND;
}

STDMETHODIMP CScriptSite::GetDocVersionString(BSTR* pbstrVersion) {
    if (pbstrVersion) *pbstrVersion = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CScriptSite::OnScriptTerminate(const VARIANT*, const EXCEPINFO*) { return S_OK; }
STDMETHODIMP CScriptSite::OnStateChange(SCRIPTSTATE) { return S_OK; }
STDMETHODIMP CScriptSite::OnEnterScript() { return S_OK; }
STDMETHODIMP CScriptSite::OnLeaveScript() { return S_OK; }

STDMETHODIMP CScriptSite::OnScriptError(IActiveScriptError* pscripterror) {
    if (!pscripterror) return E_POINTER;
    DWORD cookie = 0;
    ULONG line = 0;
    LONG column = 0;
    if (FAILED(pscripterror->GetSourcePosition(&cookie, &line, &column))) {
        cookie = static_cast<DWORD>(-1);
        line = 0;
        column = -1;
    }
    EXCEPINFO e = {};
    pscripterror->GetExceptionInfo(&e);
    if (e.pfnDeferredFillIn) e.pfnDeferredFillIn(&e);
    std::wstring description = e.bstrDescription ? e.bstrDescription : L"";
    SysFreeString(e.bstrSource);
    SysFreeString(e.bstrDescription);
    SysFreeString(e.bstrHelpFile);

    std::wstring file = SourceName(cookie);
    std::wstring pending;
    if (m_state.Reason() == EStopReason::Assert && m_state.TakePendingReport(pending)) {
        WriteLine(EStream::Err, FormatScriptError(file, line, column, pending));
    } else if (!m_state.Stopping()) {
        if (description.empty()) description = DescribeErrorCode(e.scode);
        WriteLine(EStream::Err, FormatScriptError(file, line, column, description));
        m_state.RequestStop(EStopReason::ScriptError, kExitScriptError);
    }
    // Otherwise this is the script unwinding from a stop already decided
    // (host.Quit, the timeout, an error reported before): nothing to say.
    return S_OK;
}

STDMETHODIMP CScriptSite::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = m_hwnd;
    return S_OK;
}

STDMETHODIMP CScriptSite::EnableModeless(BOOL) { return S_OK; }

STDMETHODIMP CScriptSite::GetUIBehavior(SCRIPTUICITEM, SCRIPTUICHANDLING* pUicHandling) {
    if (!pUicHandling) return E_POINTER;
    *pUicHandling = SCRIPTUICHANDLING_NOUIERROR;
    return S_OK;
}
