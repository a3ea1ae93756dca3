// XObjSafe: the control declares itself safe for untrusted callers and data, for every
// interface it has, and refuses to have either option switched off.
#include "NeloRecognitionCtrl.h"

#include "ComPtr.h"
#include "Module.h"

namespace {
const DWORD kSafeOptions = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
}

STDMETHODIMP CNeloRecognitionCtrl::XObjSafe::QueryInterface(REFIID riid, void** ppv) {
    nelo::ModuleStateScope moduleState;
    return static_cast<IDispatch*>(m_pOwner)->QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CNeloRecognitionCtrl::XObjSafe::AddRef() {
    nelo::ModuleStateScope moduleState;
    return static_cast<IDispatch*>(m_pOwner)->AddRef();
}

STDMETHODIMP_(ULONG) CNeloRecognitionCtrl::XObjSafe::Release() {
    nelo::ModuleStateScope moduleState;
    return static_cast<IDispatch*>(m_pOwner)->Release();
}

STDMETHODIMP CNeloRecognitionCtrl::XObjSafe::GetInterfaceSafetyOptions(REFIID riid, DWORD* supported,
                                                                       DWORD* enabled) {
    nelo::ModuleStateScope moduleState;
    if (!supported || !enabled) return E_POINTER;
    nelo::ComPtr<IUnknown> probe;
    HRESULT hr = static_cast<IDispatch*>(m_pOwner)->QueryInterface(riid, probe.ReceiveVoid());
    *supported = kSafeOptions;
    *enabled = kSafeOptions;
    return SUCCEEDED(hr) ? S_OK : hr;
}

STDMETHODIMP CNeloRecognitionCtrl::XObjSafe::SetInterfaceSafetyOptions(REFIID riid, DWORD optionSetMask,
                                                                       DWORD enabledOptions) {
    nelo::ModuleStateScope moduleState;
    nelo::ComPtr<IUnknown> probe;
    if (FAILED(static_cast<IDispatch*>(m_pOwner)->QueryInterface(riid, probe.ReceiveVoid()))) return E_NOINTERFACE;
    if (optionSetMask & ~kSafeOptions) return E_FAIL;
    return (optionSetMask & enabledOptions) == optionSetMask ? S_OK : E_FAIL;
}
