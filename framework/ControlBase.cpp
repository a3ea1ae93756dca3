// Identity, dispatch, persistence and class information of the control base.
#include "ControlBase.h"

#include <new>

#include "ComEnumerators.h"
#include "Registration.h"

namespace nelo {

ControlBase::ControlBase(const ControlDescription& description)
    : m_desc(description), m_events(this, *description.eventIid) {
    CreateNotifyWindow();
}

ControlBase::~ControlBase() {
    m_events.DisconnectAll();
    DestroyControlWindows();
}

// ---- IUnknown

STDMETHODIMP ControlBase::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == *m_desc.dispatchIid)
        *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IOleObject)
        *ppv = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
        *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IOleInPlaceActiveObject)
        *ppv = static_cast<IOleInPlaceActiveObject*>(this);
    else if (riid == IID_IOleControl)
        *ppv = static_cast<IOleControl*>(this);
    else if (riid == IID_IViewObject || riid == IID_IViewObject2)
        *ppv = static_cast<IViewObject2*>(this);
    else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
        *ppv = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IPersistPropertyBag)
        *ppv = static_cast<IPersistPropertyBag*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
        *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (riid == IID_ISpecifyPropertyPages)
        *ppv = static_cast<ISpecifyPropertyPages*>(this);
    else
        return QueryExtraInterface(riid, ppv);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ControlBase::AddRef() { return InterlockedIncrement(&m_ref); }

STDMETHODIMP_(ULONG) ControlBase::Release() {
    LONG n = InterlockedDecrement(&m_ref);
    if (n == 0) {
        m_ref = 1;  // a destructor that hands out and drops references must not re-enter delete
        delete this;
    }
    return n;
}

// ---- IDispatch

HRESULT ControlBase::LoadTypeLibrary(ITypeLib** lib) {
    if (!m_typeLib) {
        // The module's own TYPELIB 1 resource: works before and without registration.
        std::wstring path = GetModulePath(GetModuleInstance());
        HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, m_typeLib.Receive());
        if (FAILED(hr)) return hr;
    }
    *lib = m_typeLib.Get();
    (*lib)->AddRef();
    return S_OK;
}

STDMETHODIMP ControlBase::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP ControlBase::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibrary(lib.Receive());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(*m_desc.dispatchIid, info);
}

STDMETHODIMP ControlBase::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    // From the table, not the type library, so members the library does not list resolve too.
    return GetIDsFromTable(m_desc.dispatchTable, m_desc.dispatchCount, names, count, ids);
}

STDMETHODIMP ControlBase::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const DispEntry* entry = FindDispEntry(m_desc.dispatchTable, m_desc.dispatchCount, id);
    if (!entry) return DISP_E_MEMBERNOTFOUND;
    ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));  // a handler may drop the caller's reference
    ModuleStateScope moduleState;
    return InvokeDispEntry(*entry, DispatchObject(), flags, params, result, excepInfo, argErr);
}

void ControlBase::FireEvent(DISPID id, std::initializer_list<Variant> args) {
    if (m_freezeCount > 0) return;  // the container asked for no events now
    ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));  // handlers may release the control
    m_events.Fire(id, args);
}

// ---- Persistence: only the control's version travels.

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *m_desc.clsid;
    return S_OK;
}

STDMETHODIMP ControlBase::IsDirty() { return S_FALSE; }

STDMETHODIMP ControlBase::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    HRESULT hr = stream->Read(&version, sizeof(version), &read);
    if (FAILED(hr)) return hr;
    // A short or empty stream means defaults; the version read is not needed beyond that.
    return S_OK;
}

STDMETHODIMP ControlBase::Save(LPSTREAM stream, BOOL) {
    if (!stream) return E_POINTER;
    DWORD version = m_desc.persistVersion;
    ULONG written = 0;
    HRESULT hr = stream->Write(&version, sizeof(version), &written);
    if (FAILED(hr)) return hr;
    return written == sizeof(version) ? S_OK : STG_E_CANTSAVE;
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = sizeof(DWORD);
    return S_OK;
}

STDMETHODIMP ControlBase::InitNew() { return S_OK; }

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
    if (!bag) return E_POINTER;
    Variant version;
    V_VT(version.Get()) = VT_I4;
    bag->Read(L"_Version", version.Get(), log);  // missing: defaults are allowed
    return S_OK;
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL, BOOL) {
    if (!bag) return E_POINTER;
    Variant version = Variant::FromI4(static_cast<LONG>(m_desc.persistVersion));
    return bag->Write(L"_Version", version.Get());
}

// ---- Connection points

STDMETHODIMP ControlBase::EnumConnectionPoints(IEnumConnectionPoints** out) {
    std::vector<IConnectionPoint*> points{&m_events};
    return ConnectionPointEnum::Create(points, out);
}

STDMETHODIMP ControlBase::FindConnectionPoint(REFIID riid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid != *m_desc.eventIid) return CONNECT_E_NOCONNECTION;
    *out = &m_events;
    m_events.AddRef();
    return S_OK;
}

// ---- Class information and property pages

STDMETHODIMP ControlBase::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibrary(lib.Receive());
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(*m_desc.clsid, info);
}

STDMETHODIMP ControlBase::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = *m_desc.eventIid;
    return S_OK;
}

STDMETHODIMP ControlBase::GetPages(CAUUID* pages) {
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    if (m_desc.propertyPageCount == 0) return S_OK;
    pages->pElems = static_cast<GUID*>(CoTaskMemAlloc(sizeof(GUID) * m_desc.propertyPageCount));
    if (!pages->pElems) return E_OUTOFMEMORY;
    for (ULONG i = 0; i < m_desc.propertyPageCount; ++i) pages->pElems[i] = m_desc.propertyPages[i];
    pages->cElems = m_desc.propertyPageCount;
    return S_OK;
}

}  // namespace nelo
