#include "event_router.h"

#include <vector>

#include "console_out.h"
#include "script_error.h"

CEventRouter::CEventRouter(CRunState& state, EScriptLanguage language, std::wstring itemName)
    : m_state(state), m_language(language), m_strItemName(std::move(itemName)) {}

void CEventRouter::BindHandler(const std::wstring& eventName, IDispatch* handler) {
    // A misspelt handler would otherwise just never run, and the test using
    // it would fail far from the cause.
    bool bKnown = m_eventNames.empty();
    for (const auto& e : m_eventNames) bKnown = bKnown || e.second == eventName;
    if (!bKnown)
        WriteLine(EStream::Err, L"NeloHost: warning: " + m_strItemName + L" has no event " + eventName + L"; the handler " +
                                    m_strItemName + L"::" + eventName + L" will never run");
    m_handlers[eventName] = CComPtr<IDispatch>::Share(handler);
}

void CEventRouter::Clear() {
    m_handlers.clear();
    m_engine.Reset();
}

std::wstring CEventRouter::VBScriptHandlerName(const std::wstring& eventName) const {
    return m_strItemName + L"_" + eventName;
}

void ConvertArgsForVBScript(const DISPPARAMS& in, VARIANT* out) {
    for (UINT i = 0; i < in.cArgs; ++i) {
        VariantInit(&out[i]);
        const VARIANT& src = in.rgvarg[i];
        if (V_VT(&src) == VT_UI4) {
            if (V_UI4(&src) <= 0x7FFFFFFFu) {
                V_VT(&out[i]) = VT_I4;
                V_I4(&out[i]) = static_cast<LONG>(V_UI4(&src));
            } else {
                V_VT(&out[i]) = VT_R8;
                V_R8(&out[i]) = static_cast<double>(V_UI4(&src));
            }
        } else {
            VariantCopy(&out[i], const_cast<VARIANT*>(&src));
        }
    }
}

HRESULT CEventRouter::CallBoundHandler(IDispatch* handler, DISPPARAMS* params, EXCEPINFO* e) {
    CVariant result;
    return handler->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, result.Get(), e,
                           nullptr);
}

HRESULT CEventRouter::CallVBScriptSub(const std::wstring& eventName, DISPPARAMS* params, EXCEPINFO* e, bool& found) {
    found = false;
    if (!m_engine) return S_OK;
    CComPtr<IDispatch> global;
    if (FAILED(m_engine->GetScriptDispatch(nullptr, global.Out())) || !global) return S_OK;
    std::wstring name = VBScriptHandlerName(eventName);
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(global->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return S_OK;
    found = true;

    std::vector<VARIANT> args(params ? params->cArgs : 0);
    if (params) ConvertArgsForVBScript(*params, args.data());
    DISPPARAMS converted = {args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    CVariant result;
    HRESULT hr = global->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &converted, result.Get(), e,
                                nullptr);
    for (auto& v : args) VariantClear(&v);
    return hr;
}

HRESULT CEventRouter::Deliver(DISPID id, DISPPARAMS* params) {
    // After a stop, nothing more of the script runs.
    if (m_state.Stopping()) return S_OK;
    auto nameIt = m_eventNames.find(id);
    if (nameIt == m_eventNames.end()) return S_OK;
    const std::wstring& eventName = nameIt->second;

    EXCEPINFO e = {};
    HRESULT hr = S_OK;
    auto handlerIt = m_handlers.find(eventName);
    if (handlerIt != m_handlers.end()) {
        // The handler may re-enter (host.Sleep inside it): keep it alive even
        // if a nested binding replaces it.
        CComPtr<IDispatch> handler = handlerIt->second;
        hr = CallBoundHandler(handler.Get(), params, &e);
    } else if (m_language == EScriptLanguage::VBScript) {
        bool found = false;
        hr = CallVBScriptSub(eventName, params, &e, found);
    }
    if (e.pfnDeferredFillIn) e.pfnDeferredFillIn(&e);
    if (FAILED(hr) && !m_state.Stopping()) {
        // The engine did not report this error itself (it did not go through
        // the site), so the host reports it and ends the run.
        std::wstring text = e.bstrDescription ? e.bstrDescription : L"";
        if (text.empty()) text = DescribeErrorCode(e.scode ? e.scode : hr);
        WriteLine(EStream::Err, L"error in the handler of " + m_strItemName + L" event " + eventName + L": " + text);
        m_state.RequestStop(EStopReason::ScriptError, kExitScriptError);
    }
    SysFreeString(e.bstrSource);
    SysFreeString(e.bstrDescription);
    SysFreeString(e.bstrHelpFile);
    return S_OK;
}
