// What the script engine sees as the "ctrl" item: the control's IDispatch,
// forwarded, plus IBindEventHandler, through which JScript hands over its
// `function ctrl::EVENT_X` handlers. The control's other interfaces are not
// exposed, so an engine cannot connect to its events on its own and have
// them delivered twice; delivery is the host's job (CEventRouter).
// Once the run is stopping (host.Quit in a handler, a failed assertion, the
// timeout) the proxy refuses further calls, so the script cannot go on
// driving the control between the stop and its next host call.
#pragma once

#include <windows.h>
#include <activscp.h>

#include "com_object.h"
#include "com_ptr.h"
#include "event_router.h"
#include "run_state.h"

class CControlProxy : public IDispatch, public IBindEventHandler {
public:
    CControlProxy(IDispatch* control, CEventRouter& router, const CRunState& state);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    NELO_IMPLEMENT_REFCOUNT(CControlProxy)

    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    STDMETHODIMP BindHandler(LPCOLESTR pstrEvent, IDispatch* pdisp) override;

    // Cuts the link to the router once the engine is closing.
    void Detach() { m_router = nullptr; }

private:
    virtual ~CControlProxy() = default;

    CRefCount m_ref;
    CComPtr<IDispatch> m_control;
    CEventRouter* m_router;
    const CRunState& m_state;
};
