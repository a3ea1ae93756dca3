#include "control_site.h"

namespace {

const wchar_t kWindowClass[] = L"NeloHostPage";

LRESULT CALLBACK PageWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool RegisterPageClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PageWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

CControlSite::CControlSite(HWND hwnd) : m_hwnd(hwnd) {}

STDMETHODIMP CControlSite::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame) *ppv = static_cast<IOleInPlaceFrame*>(this);
    else if (riid == IID_IOleControlSite) *ppv = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IDispatch) *ppv = static_cast<IDispatch*>(this);
    else { *ppv = nullptr; return E_NOINTERFACE; }
    AddRef();
    return S_OK;
}

// IOleClientSite
STDMETHODIMP CControlSite::SaveObject() { return S_OK; }
STDMETHODIMP CControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CControlSite::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
}
STDMETHODIMP CControlSite::ShowObject() { return S_OK; }
STDMETHODIMP CControlSite::OnShowWindow(BOOL) { return S_OK; }
STDMETHODIMP CControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleWindow
STDMETHODIMP CControlSite::GetWindow(HWND* phwnd) {
    if (!phwnd) return E_POINTER;
    *phwnd = m_hwnd;
    return S_OK;
}
STDMETHODIMP CControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// IOleInPlaceSite
STDMETHODIMP CControlSite::CanInPlaceActivate() { return S_OK; }
STDMETHODIMP CControlSite::OnInPlaceActivate() {
    m_bInPlaceActive = true;
    return S_OK;
}
STDMETHODIMP CControlSite::OnUIActivate() { return S_OK; }
STDMETHODIMP CControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                            LPRECT lprcPosRect, LPRECT lprcClipRect,
                                            LPOLEINPLACEFRAMEINFO lpFrameInfo) {
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect || !lpFrameInfo) return E_POINTER;
    *ppFrame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *ppDoc = nullptr;  // the frame is the document window too
    GetClientRect(m_hwnd, lprcPosRect);
    *lprcClipRect = *lprcPosRect;
    lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_hwnd;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}
STDMETHODIMP CControlSite::Scroll(SIZE) { return E_NOTIMPL; }
STDMETHODIMP CControlSite::OnUIDeactivate(BOOL) { return S_OK; }
STDMETHODIMP CControlSite::OnInPlaceDeactivate() {
    m_bInPlaceActive = false;
    return S_OK;
}
STDMETHODIMP CControlSite::DiscardUndoState() { return S_OK; }
STDMETHODIMP CControlSite::DeactivateAndUndo() { return S_OK; }
STDMETHODIMP CControlSite::OnPosRectChange(LPCRECT) { return S_OK; }

// IOleInPlaceUIWindow / IOleInPlaceFrame: no toolbars, no menus.
STDMETHODIMP CControlSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
STDMETHODIMP CControlSite::SetBorderSpace(LPCBORDERWIDTHS) { return OLE_E_INVALIDRECT; }
STDMETHODIMP CControlSite::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) { return S_OK; }
STDMETHODIMP CControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
STDMETHODIMP CControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
STDMETHODIMP CControlSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
STDMETHODIMP CControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
STDMETHODIMP CControlSite::EnableModeless(BOOL) { return S_OK; }
STDMETHODIMP CControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

// IOleControlSite
STDMETHODIMP CControlSite::OnControlInfoChanged() { return S_OK; }
STDMETHODIMP CControlSite::LockInPlaceActive(BOOL) { return S_OK; }
STDMETHODIMP CControlSite::GetExtendedControl(IDispatch** ppDisp) {
    if (ppDisp) *ppDisp = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP CControlSite::TransformCoords(POINTL*, POINTF*, DWORD) { return E_NOTIMPL; }
STDMETHODIMP CControlSite::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }
STDMETHODIMP CControlSite::OnFocus(BOOL) { return S_OK; }
STDMETHODIMP CControlSite::ShowPropertyFrame() { return E_NOTIMPL; }

// IDispatch: ambient properties by their standard DISPIDs.
STDMETHODIMP CControlSite::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}
STDMETHODIMP CControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}
STDMETHODIMP CControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

STDMETHODIMP CControlSite::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* pVarResult,
                                  EXCEPINFO*, UINT*) {
    if (!(wFlags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!pVarResult) return E_POINTER;
    VariantInit(pVarResult);
    auto setBool = [&](bool value) {
        V_VT(pVarResult) = VT_BOOL;
        V_BOOL(pVarResult) = value ? VARIANT_TRUE : VARIANT_FALSE;
    };
    switch (dispIdMember) {
    case DISPID_AMBIENT_USERMODE: setBool(true); return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS: setBool(false); return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(GetSysColor(COLOR_WINDOW));
        return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
        V_VT(pVarResult) = VT_I4;
        V_I4(pVarResult) = static_cast<LONG>(GetSysColor(COLOR_WINDOWTEXT));
        return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
        V_VT(pVarResult) = VT_BSTR;
        V_BSTR(pVarResult) = SysAllocString(L"ctrl");
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

bool CActivation::Activate(IUnknown* control, std::wstring& error) {
    m_object = CComPtr<IUnknown>::Share(control).As<IOleObject>(IID_IOleObject);
    if (!m_object) { error = L"the control has no IOleObject"; return false; }
    if (!RegisterPageClass()) { error = L"cannot register the page window class"; return false; }
    m_hwnd = CreateWindowExW(0, kWindowClass, L"NeloHost", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                             CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, GetModuleHandleW(nullptr),
                             nullptr);
    if (!m_hwnd) { error = L"cannot create the page window (error " + std::to_wstring(GetLastError()) + L")"; return false; }
    m_site = CComPtr<CControlSite>::Adopt(new CControlSite(m_hwnd));
    IOleClientSite* clientSite = static_cast<IOleClientSite*>(m_site.Get());
    HRESULT hr = m_object->SetClientSite(clientSite);
    if (FAILED(hr)) { error = L"IOleObject::SetClientSite failed"; return false; }
    m_object->SetHostNames(L"NeloHost", nullptr);
    RECT rect;
    GetClientRect(m_hwnd, &rect);
    hr = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, m_hwnd, &rect);
    if (FAILED(hr)) { error = L"DoVerb(OLEIVERB_INPLACEACTIVATE) failed"; return false; }
    return true;
}

void CActivation::Deactivate() {
    if (m_object) {
        auto inPlace = m_object.As<IOleInPlaceObject>(IID_IOleInPlaceObject);
        if (inPlace) inPlace->InPlaceDeactivate();
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.Reset();
    }
    m_site.Reset();
    if (m_hwnd) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}
