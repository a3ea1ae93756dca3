// The host's sink on the control's default source interface, and the
// connection that keeps it advised for as long as it lives.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <string>

#include "com_object.h"
#include "com_ptr.h"
#include "event_router.h"

class CEventSink : public IDispatch {
public:
    CEventSink(REFIID sourceIid, CEventRouter& router);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    NELO_IMPLEMENT_REFCOUNT(CEventSink)

    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // A control may still hold the sink after Unadvise; it then goes nowhere.
    void Detach() { m_router = nullptr; }

private:
    virtual ~CEventSink() = default;

    CRefCount m_ref;
    IID m_sourceIid;
    CEventRouter* m_router;
};

// Finds the control's default source interface, records its event names in
// the router and advises a sink. A control without events is not an error:
// Connected() is then false and `Problem()` says why.
class CEventConnection {
public:
    CEventConnection(IUnknown* control, CEventRouter& router);
    ~CEventConnection();
    CEventConnection(const CEventConnection&) = delete;
    CEventConnection& operator=(const CEventConnection&) = delete;

    bool Connected() const { return m_cookie != 0; }
    const std::wstring& Problem() const { return m_strProblem; }
    void Disconnect();

private:
    CComPtr<IConnectionPoint> m_point;
    CComPtr<CEventSink> m_sink;
    DWORD m_cookie = 0;
    std::wstring m_strProblem;
};
