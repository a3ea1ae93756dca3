#include "control_proxy.h"

#include "dispatch_args.h"

CControlProxy::CControlProxy(IDispatch* control, CEventRouter& router, const CRunState& state)
    : m_control(CComPtr<IDispatch>::Share(control)), m_router(&router), m_state(state) {}

STDMETHODIMP CControlProxy::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (riid == IID_IBindEventHandler) {
        *ppv = static_cast<IBindEventHandler*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CControlProxy::GetTypeInfoCount(UINT* pctinfo) {
    return m_control->GetTypeInfoCount(pctinfo);
}

STDMETHODIMP CControlProxy::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
    return m_control->GetTypeInfo(iTInfo, lcid, ppTInfo);
}

STDMETHODIMP CControlProxy::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                          DISPID* rgDispId) {
    return m_control->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

STDMETHODIMP CControlProxy::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                   UINT* puArgErr) {
    if (m_state.Stopping()) {
        if (pVarResult) VariantInit(pVarResult);
        return RaiseScriptError(pExcepInfo, L"the script is being stopped");
    }
    return m_control->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}

STDMETHODIMP CControlProxy::BindHandler(LPCOLESTR pstrEvent, IDispatch* pdisp) {
    if (!pstrEvent || !pdisp) return E_INVALIDARG;
    if (m_router) m_router->BindHandler(pstrEvent, pdisp);
    return S_OK;
}
