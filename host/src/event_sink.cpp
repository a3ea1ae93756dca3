#include "event_sink.h"

namespace {

// The coclass's [default, source] interface, as a type description.
CComPtr<ITypeInfo> DefaultSourceTypeInfo(ITypeInfo* coclass) {
    CComPtr<ITypeInfo> source;
    TYPEATTR* attr = nullptr;
    if (FAILED(coclass->GetTypeAttr(&attr))) return source;
    WORD count = attr->cImplTypes;
    coclass->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        if (SUCCEEDED(coclass->GetRefTypeOfImplType(i, &ref)) && SUCCEEDED(coclass->GetRefTypeInfo(ref, source.Out())))
            return source;
    }
    return source;
}

void RecordEventNames(ITypeInfo* source, CEventRouter& router) {
    TYPEATTR* attr = nullptr;
    if (FAILED(source->GetTypeAttr(&attr))) return;
    WORD count = attr->cFuncs;
    source->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* func = nullptr;
        if (FAILED(source->GetFuncDesc(i, &func))) continue;
        CBStr name;
        if (SUCCEEDED(source->GetDocumentation(func->memid, name.Out(), nullptr, nullptr, nullptr)) && name.Get())
            router.AddEventName(func->memid, name.CStr());
        source->ReleaseFuncDesc(func);
    }
}

}  // namespace

CEventSink::CEventSink(REFIID sourceIid, CEventRouter& router) : m_sourceIid(sourceIid), m_router(&router) {}

STDMETHODIMP CEventSink::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_sourceIid) {
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CEventSink::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

STDMETHODIMP CEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return DISP_E_UNKNOWNNAME;
}

STDMETHODIMP CEventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                EXCEPINFO*, UINT*) {
    if (pVarResult) VariantInit(pVarResult);
    // Keep the sink alive while the script runs inside it: a handler may end
    // the run and so trigger the teardown that releases it.
    CComPtr<CEventSink> self = CComPtr<CEventSink>::Share(this);
    if (m_router) m_router->Deliver(dispIdMember, pDispParams);
    return S_OK;
}

CEventConnection::CEventConnection(IUnknown* control, CEventRouter& router) {
    if (!control) { m_strProblem = L"no control"; return; }
    auto classInfo = CComPtr<IUnknown>::Share(control).As<IProvideClassInfo>(IID_IProvideClassInfo);
    if (!classInfo) { m_strProblem = L"the control offers no IProvideClassInfo"; return; }
    CComPtr<ITypeInfo> coclass;
    if (FAILED(classInfo->GetClassInfo(coclass.Out())) || !coclass) {
        m_strProblem = L"the control gives no class information";
        return;
    }
    CComPtr<ITypeInfo> source = DefaultSourceTypeInfo(coclass.Get());

    IID sourceIid = IID_NULL;
    auto classInfo2 = classInfo.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
    if (!classInfo2 || FAILED(classInfo2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &sourceIid))) {
        // Older controls: the coclass's type description names it too.
        TYPEATTR* attr = nullptr;
        if (source && SUCCEEDED(source->GetTypeAttr(&attr))) {
            sourceIid = attr->guid;
            source->ReleaseTypeAttr(attr);
        }
    }
    if (sourceIid == IID_NULL) { m_strProblem = L"the control has no default source interface"; return; }
    if (source) RecordEventNames(source.Get(), router);

    auto container = CComPtr<IUnknown>::Share(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container || FAILED(container->FindConnectionPoint(sourceIid, m_point.Out())) || !m_point) {
        m_strProblem = L"the control has no connection point for its events";
        return;
    }
    m_sink = CComPtr<CEventSink>::Adopt(new CEventSink(sourceIid, router));
    HRESULT hr = m_point->Advise(static_cast<IDispatch*>(m_sink.Get()), &m_cookie);
    if (FAILED(hr)) {
        m_cookie = 0;
        m_strProblem = L"Advise failed";
        m_sink->Detach();
    }
}

CEventConnection::~CEventConnection() {
    Disconnect();
}

void CEventConnection::Disconnect() {
    if (m_cookie) {
        m_point->Unadvise(m_cookie);
        m_cookie = 0;
    }
    if (m_sink) m_sink->Detach();
    m_sink.Reset();
    m_point.Reset();
}
