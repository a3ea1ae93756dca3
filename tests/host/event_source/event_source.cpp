#include "event_source.h"

#include <vector>

#include "event_source_ids.h"

namespace {

const wchar_t kNotifyClass[] = L"NeloHostTestSourceNotify";
const UINT kWmFireBase = WM_APP + 100;  // + event id

struct CPostJob {
    HWND hwnd;
    DISPID event;
    ULONG wParam;
    LONG lParam;
    LONG count;
    LONG intervalMs;
};

// Holds its own reference on the module, dropped by FreeLibraryAndExitThread,
// so the module cannot be unloaded under a running thread.
DWORD WINAPI PostThread(LPVOID param) {
    CPostJob job = *static_cast<CPostJob*>(param);
    delete static_cast<CPostJob*>(param);
    for (LONG i = 0; i < job.count; ++i) {
        Sleep(static_cast<DWORD>(job.intervalMs));
        PostMessageW(job.hwnd, kWmFireBase + static_cast<UINT>(job.event), static_cast<WPARAM>(job.wParam),
                     static_cast<LPARAM>(job.lParam + i));
    }
    FreeLibraryAndExitThread(g_hServerModule, 0);
}

bool RegisterNotifyClass() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = g_hServerModule;
    wc.lpszClassName = kNotifyClass;
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HRESULT CHostTestSource::Create(REFIID riid, void** ppv) {
    CHostTestSource* object = new CHostTestSource();
    HRESULT hr = object->LoadTypes();
    if (SUCCEEDED(hr)) hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

CHostTestSource::CHostTestSource() : m_xPoint(this) {
    InterlockedIncrement(&g_cServerRefs);
    if (RegisterNotifyClass()) {
        m_hwndNotify = CreateWindowExW(0, kNotifyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, g_hServerModule, nullptr);
        if (m_hwndNotify) {
            SetWindowLongPtrW(m_hwndNotify, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetWindowLongPtrW(m_hwndNotify, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NotifyWindowProc));
        }
    }
}

CHostTestSource::~CHostTestSource() {
    InPlaceDeactivate();
    if (m_pClientSite) m_pClientSite->Release();
    if (m_hwndNotify) DestroyWindow(m_hwndNotify);
    for (auto& sink : m_sinks) sink.second->Release();
    if (m_pClassInfo) m_pClassInfo->Release();
    if (m_pDispInfo) m_pDispInfo->Release();
    if (m_pTypeLib) m_pTypeLib->Release();
    InterlockedDecrement(&g_cServerRefs);
}

HRESULT CHostTestSource::LoadTypes() {
    wchar_t path[MAX_PATH];
    if (!GetModuleFileNameW(g_hServerModule, path, MAX_PATH)) return E_FAIL;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, &m_pTypeLib);
    if (SUCCEEDED(hr)) hr = m_pTypeLib->GetTypeInfoOfGuid(kDiidHostTestSource, &m_pDispInfo);
    if (SUCCEEDED(hr)) hr = m_pTypeLib->GetTypeInfoOfGuid(kClsidHostTestSource, &m_pClassInfo);
    return hr;
}

LRESULT CALLBACK CHostTestSource::NotifyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg > kWmFireBase && msg <= kWmFireBase + kEventB) {
        auto* self = reinterpret_cast<CHostTestSource*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            self->AddRef();  // a handler may drop the last outside reference
            self->FireEvent(static_cast<DISPID>(msg - kWmFireBase), static_cast<ULONG>(wParam),
                            static_cast<LONG>(lParam));
            self->Release();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

STDMETHODIMP CHostTestSource::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kDiidHostTestSource) *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2) *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (riid == IID_IConnectionPointContainer) *ppv = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IOleObject) *ppv = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject) *ppv = static_cast<IOleInPlaceObject*>(this);
    else { *ppv = nullptr; return E_NOINTERFACE; }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CHostTestSource::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&m_cRef));
}

STDMETHODIMP_(ULONG) CHostTestSource::Release() {
    LONG n = InterlockedDecrement(&m_cRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CHostTestSource::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (!ppTInfo) return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0) return DISP_E_BADINDEX;
    m_pDispInfo->AddRef();
    *ppTInfo = m_pDispInfo;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return DispGetIDsOfNames(m_pDispInfo, names, count, ids);
}

STDMETHODIMP CHostTestSource::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT* argErr) {
    if (!(flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    LONG value = 0;
    HRESULT hr = Call(id, params, value, argErr);
    if (SUCCEEDED(hr) && result) {
        VariantInit(result);
        V_VT(result) = VT_I4;
        V_I4(result) = value;
    }
    return hr;
}

HRESULT CHostTestSource::Call(DISPID id, DISPPARAMS* params, LONG& result, UINT* argErr) {
    VARIANT a[5];
    const VARTYPE fireTypes[] = {VT_I4, VT_UI4, VT_I4, VT_I4, VT_I4};
    auto getArgs = [&](UINT n) -> HRESULT {
        if (!params || params->cArgs != n) return DISP_E_BADPARAMCOUNT;
        for (UINT i = 0; i < n; ++i) {
            VariantInit(&a[i]);
            HRESULT hr = DispGetParam(params, i, fireTypes[i], &a[i], argErr);
            if (FAILED(hr)) return hr;
        }
        return S_OK;
    };
    HRESULT hr = S_OK;
    switch (id) {
    case kDispFire:
        if (FAILED(hr = getArgs(3))) return hr;
        if (V_I4(&a[0]) != kEventA && V_I4(&a[0]) != kEventB) return DISP_E_OVERFLOW;
        result = FireEvent(V_I4(&a[0]), V_UI4(&a[1]), V_I4(&a[2]));
        return S_OK;
    case kDispPostFromThread: {
        if (FAILED(hr = getArgs(5))) return hr;
        if ((V_I4(&a[0]) != kEventA && V_I4(&a[0]) != kEventB) || V_I4(&a[3]) < 0 || V_I4(&a[4]) < 0 || !m_hwndNotify)
            return DISP_E_OVERFLOW;
        HMODULE pinned = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&PostThread), &pinned);
        auto* job = new CPostJob{m_hwndNotify, V_I4(&a[0]), V_UI4(&a[1]), V_I4(&a[2]), V_I4(&a[3]), V_I4(&a[4])};
        HANDLE thread = CreateThread(nullptr, 0, PostThread, job, 0, nullptr);
        if (!thread) { delete job; FreeLibrary(pinned); return E_OUTOFMEMORY; }
        CloseHandle(thread);
        result = 1;
        return S_OK;
    }
    case kDispSinkCount:
        result = static_cast<LONG>(m_sinks.size());
        return S_OK;
    case kDispInPlaceActive:
        result = m_hwndControl != nullptr;
        return S_OK;
    case kDispAmbientUserMode:
        result = m_nAmbientUserMode;
        return S_OK;
    case kDispWindowParented:
        result = m_hwndControl && GetParent(m_hwndControl) == m_hwndContainer && IsWindow(m_hwndContainer);
        return S_OK;
    case kDispAdd: {
        if (!params || params->cArgs != 2) return DISP_E_BADPARAMCOUNT;
        VARIANT x, y;
        VariantInit(&x);
        VariantInit(&y);
        if (FAILED(hr = DispGetParam(params, 0, VT_I4, &x, argErr))) return hr;
        if (FAILED(hr = DispGetParam(params, 1, VT_I4, &y, argErr))) return hr;
        result = V_I4(&x) + V_I4(&y);
        return S_OK;
    }
    case kDispTouch: {
        if (!params || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT path;
        VariantInit(&path);
        if (FAILED(hr = DispGetParam(params, 0, VT_BSTR, &path, argErr))) return hr;
        HANDLE file = CreateFileW(V_BSTR(&path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        VariantClear(&path);
        if (file == INVALID_HANDLE_VALUE) return E_FAIL;
        CloseHandle(file);
        result = 1;
        return S_OK;
    }
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

long CHostTestSource::FireEvent(DISPID event, ULONG wParam, LONG lParam) {
    // A handler may advise or unadvise: call a snapshot.
    std::vector<IDispatch*> sinks;
    for (auto& s : m_sinks) {
        s.second->AddRef();
        sinks.push_back(s.second);
    }
    for (IDispatch* sink : sinks) {
        VARIANT args[2];  // last argument first
        VariantInit(&args[0]);
        VariantInit(&args[1]);
        V_VT(&args[0]) = VT_I4;
        V_I4(&args[0]) = lParam;
        V_VT(&args[1]) = VT_UI4;
        V_UI4(&args[1]) = wParam;
        DISPPARAMS params = {args, nullptr, 2, 0};
        sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        sink->Release();
    }
    return static_cast<long>(sinks.size());
}

STDMETHODIMP CHostTestSource::GetClassInfo(ITypeInfo** ppTI) {
    if (!ppTI) return E_POINTER;
    m_pClassInfo->AddRef();
    *ppTI = m_pClassInfo;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = kDiidHostTestSourceEvents;
    return S_OK;
}

STDMETHODIMP CHostTestSource::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostTestSource::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (!ppCP) return E_POINTER;
    *ppCP = nullptr;
    if (riid != kDiidHostTestSourceEvents) return CONNECT_E_NOCONNECTION;
    *ppCP = &m_xPoint;
    AddRef();
    return S_OK;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = kDiidHostTestSourceEvents;
    return S_OK;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (!ppCPC) return E_POINTER;
    *ppCPC = static_cast<IConnectionPointContainer*>(m_outer);
    m_outer->AddRef();
    return S_OK;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    // A sink must answer the event interface's IID, as with any control.
    if (FAILED(sink->QueryInterface(kDiidHostTestSourceEvents, reinterpret_cast<void**>(&dispatch))) || !dispatch)
        return CONNECT_E_CANNOTCONNECT;
    *cookie = m_outer->m_nNextCookie++;
    m_outer->m_sinks[*cookie] = dispatch;
    return S_OK;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::Unadvise(DWORD cookie) {
    auto it = m_outer->m_sinks.find(cookie);
    if (it == m_outer->m_sinks.end()) return CONNECT_E_NOCONNECTION;
    IDispatch* sink = it->second;
    m_outer->m_sinks.erase(it);
    sink->Release();
    return S_OK;
}

STDMETHODIMP CHostTestSource::XConnectionPoint::EnumConnections(IEnumConnections** ppEnum) {
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CHostTestSource::SetClientSite(IOleClientSite* site) {
    if (m_pClientSite) m_pClientSite->Release();
    m_pClientSite = site;
    if (!site) return S_OK;
    site->AddRef();
    IDispatch* ambient = nullptr;
    if (SUCCEEDED(site->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&ambient))) && ambient) {
        VARIANT value;
        VariantInit(&value);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                      &none, &value, nullptr, nullptr)) &&
            V_VT(&value) == VT_BOOL)
            m_nAmbientUserMode = V_BOOL(&value) ? 1 : 0;
        VariantClear(&value);
        ambient->Release();
    }
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = m_pClientSite;
    if (m_pClientSite) m_pClientSite->AddRef();
    return S_OK;
}

STDMETHODIMP CHostTestSource::Close(DWORD) {
    return InPlaceDeactivate();
}

STDMETHODIMP CHostTestSource::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
    if (verb != OLEIVERB_INPLACEACTIVATE && verb != OLEIVERB_SHOW && verb != OLEIVERB_UIACTIVATE)
        return OLEOBJ_S_INVALIDVERB;
    return ActivateInPlace(site ? site : m_pClientSite);
}

HRESULT CHostTestSource::ActivateInPlace(IOleClientSite* site) {
    if (m_hwndControl) return S_OK;
    if (!site) return E_UNEXPECTED;
    IOleInPlaceSite* inPlace = nullptr;
    if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))) || !inPlace)
        return E_NOINTERFACE;
    if (inPlace->CanInPlaceActivate() != S_OK) { inPlace->Release(); return E_FAIL; }
    inPlace->OnInPlaceActivate();
    HWND parent = nullptr;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    RECT pos = {}, clip = {};
    OLEINPLACEFRAMEINFO info = {};
    info.cb = sizeof(info);
    HRESULT hr = inPlace->GetWindow(&parent);
    if (SUCCEEDED(hr)) hr = inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info);
    if (frame) frame->Release();
    if (doc) doc->Release();
    if (SUCCEEDED(hr))
        m_hwndControl = CreateWindowExW(0, L"STATIC", L"test source", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                                        pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, g_hServerModule,
                                        nullptr);
    if (!m_hwndControl) {
        inPlace->OnInPlaceDeactivate();
        inPlace->Release();
        return FAILED(hr) ? hr : E_FAIL;
    }
    m_hwndContainer = parent;
    m_pInPlaceSite = inPlace;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClsidHostTestSource;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
    return S_OK;
}

STDMETHODIMP CHostTestSource::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_hwndControl;
    return m_hwndControl ? S_OK : E_FAIL;
}

STDMETHODIMP CHostTestSource::InPlaceDeactivate() {
    if (m_hwndControl) {
        DestroyWindow(m_hwndControl);
        m_hwndControl = nullptr;
        m_hwndContainer = nullptr;
    }
    if (m_pInPlaceSite) {
        m_pInPlaceSite->OnInPlaceDeactivate();
        m_pInPlaceSite->Release();
        m_pInPlaceSite = nullptr;
    }
    return S_OK;
}

STDMETHODIMP CHostTestSource::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (m_hwndControl && pos)
        MoveWindow(m_hwndControl, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}
