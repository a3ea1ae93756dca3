// Embedding: IOleObject, in-place activation, IOleControl and IViewObject2 of the control base.
#include "ControlBase.h"

#include <string>

namespace nelo {

// ---- IOleObject

STDMETHODIMP ControlBase::SetClientSite(IOleClientSite* site) {
    m_clientSite = ComPtr<IOleClientSite>(site);
    if (!site) {
        m_inPlaceSite = nullptr;
    }
    return S_OK;
}

STDMETHODIMP ControlBase::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = m_clientSite.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP ControlBase::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP ControlBase::Close(DWORD) {
    InPlaceDeactivate();
    if (m_adviseHolder) m_adviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP ControlBase::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::GetMoniker(DWORD, DWORD, IMoniker** mk) {
    if (mk) *mk = nullptr;
    return E_NOTIMPL;
}
STDMETHODIMP ControlBase::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                 LPCRECT posRect) {
    if (site && !m_clientSite) m_clientSite = ComPtr<IOleClientSite>(site);
    if (posRect) m_posRect = *posRect;
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(true);
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(false);
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (m_hwndView) ShowWindow(m_hwndView, SW_HIDE);
            return S_OK;
        case OLEIVERB_PROPERTIES:
            return ShowPropertyPages(parent);
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

STDMETHODIMP ControlBase::EnumVerbs(IEnumOLEVERB** verbs) {
    if (!verbs) return E_POINTER;
    return OleRegEnumVerbs(*m_desc.clsid, verbs);
}

STDMETHODIMP ControlBase::Update() { return S_OK; }
STDMETHODIMP ControlBase::IsUpToDate() { return S_OK; }

STDMETHODIMP ControlBase::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP ControlBase::GetUserType(DWORD form, LPOLESTR* type) {
    if (!type) return E_POINTER;
    *type = nullptr;
    const wchar_t* text = nullptr;
    int len = LoadStringW(GetModuleInstance(), m_desc.userTypeNameId, reinterpret_cast<LPWSTR>(&text), 0);
    if (len <= 0) return OLE_S_USEREG;
    *type = static_cast<LPOLESTR>(CoTaskMemAlloc((len + 1) * sizeof(wchar_t)));
    if (!*type) return E_OUTOFMEMORY;
    memcpy(*type, text, len * sizeof(wchar_t));
    (*type)[len] = L'\0';
    return S_OK;
}

STDMETHODIMP ControlBase::SetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    m_extent = *size;
    return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, SIZEL* size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    *size = m_extent;
    return S_OK;
}

STDMETHODIMP ControlBase::Advise(IAdviseSink* sink, DWORD* connection) {
    if (!connection) return E_POINTER;
    *connection = 0;
    if (!m_adviseHolder) {
        HRESULT hr = CreateOleAdviseHolder(m_adviseHolder.Receive());
        if (FAILED(hr)) return hr;
    }
    return m_adviseHolder->Advise(sink, connection);
}

STDMETHODIMP ControlBase::Unadvise(DWORD connection) {
    if (!m_adviseHolder) return OLE_E_NOCONNECTION;
    return m_adviseHolder->Unadvise(connection);
}

STDMETHODIMP ControlBase::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!m_adviseHolder) return S_OK;
    return m_adviseHolder->EnumAdvise(advise);
}

STDMETHODIMP ControlBase::GetMiscStatus(DWORD, DWORD* status) {
    if (!status) return E_POINTER;
    *status = m_desc.miscStatus;
    return S_OK;
}

STDMETHODIMP ControlBase::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT ControlBase::ShowPropertyPages(HWND parent) {
    if (m_desc.propertyPageCount == 0) return S_OK;
    IUnknown* self = static_cast<IDispatch*>(this);
    LPOLESTR caption = nullptr;
    GetUserType(USERCLASSTYPE_SHORT, &caption);
    HRESULT hr = OleCreatePropertyFrame(parent, 0, 0, caption, 1, &self, m_desc.propertyPageCount,
                                        const_cast<CLSID*>(m_desc.propertyPages),
                                        GetUserDefaultLCID(), 0, nullptr);
    CoTaskMemFree(caption);
    return hr;
}

// ---- In-place activation

HRESULT ControlBase::ActivateInPlace(bool uiActivate) {
    if (!m_clientSite) return E_UNEXPECTED;
    if (!m_inPlaceSite) {
        HRESULT hr = m_clientSite->QueryInterface(IID_IOleInPlaceSite, m_inPlaceSite.ReceiveVoid());
        if (FAILED(hr)) return hr;
    }
    if (!m_inPlaceActive) {
        if (m_inPlaceSite->CanInPlaceActivate() != S_OK) return E_FAIL;
        m_inPlaceSite->OnInPlaceActivate();
        m_inPlaceActive = true;
    }
    if (!m_hwndView) {
        HWND parent = nullptr;
        if (FAILED(m_inPlaceSite->GetWindow(&parent)) || !parent) return E_FAIL;
        RECT pos = m_posRect, clip = m_posRect;
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof(frameInfo);
        m_frame = nullptr;
        m_uiWindow = nullptr;
        if (SUCCEEDED(m_inPlaceSite->GetWindowContext(m_frame.Receive(), m_uiWindow.Receive(), &pos,
                                                      &clip, &frameInfo)))
            m_posRect = pos;
        std::wstring viewClass = std::wstring(m_desc.windowClassName) + L".View";
        if (!EnsureControlWindowClass(viewClass, ControlViewWndProc)) return E_FAIL;
        m_hwndView = CreateWindowExW(0, viewClass.c_str(), L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS,
                                     m_posRect.left, m_posRect.top, m_posRect.right - m_posRect.left,
                                     m_posRect.bottom - m_posRect.top, parent, nullptr,
                                     GetModuleInstance(), this);
        if (!m_hwndView) return HRESULT_FROM_WIN32(GetLastError());
    } else {
        ShowWindow(m_hwndView, SW_SHOW);
    }
    if (uiActivate && !m_uiActive) {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
        IOleInPlaceActiveObject* active = this;
        if (m_frame) m_frame->SetActiveObject(active, nullptr);
        if (m_uiWindow) m_uiWindow->SetActiveObject(active, nullptr);
    }
    return S_OK;
}

STDMETHODIMP ControlBase::GetWindow(HWND* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = m_hwndView;
    return m_hwndView ? S_OK : E_FAIL;
}

STDMETHODIMP ControlBase::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::InPlaceDeactivate() {
    if (!m_inPlaceActive) return S_OK;
    UIDeactivate();
    if (m_hwndView) {
        HWND view = m_hwndView;
        m_hwndView = nullptr;
        DestroyWindow(view);
    }
    m_inPlaceActive = false;
    ComPtr<IOleInPlaceSite> site = m_inPlaceSite;  // the site may re-enter while notified
    if (site) site->OnInPlaceDeactivate();
    m_frame = nullptr;
    m_uiWindow = nullptr;
    return S_OK;
}

STDMETHODIMP ControlBase::UIDeactivate() {
    if (!m_uiActive) return S_OK;
    m_uiActive = false;
    if (m_frame) m_frame->SetActiveObject(nullptr, nullptr);
    if (m_uiWindow) m_uiWindow->SetActiveObject(nullptr, nullptr);
    if (m_inPlaceSite) m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP ControlBase::SetObjectRects(LPCRECT pos, LPCRECT) {
    if (!pos) return E_POINTER;
    m_posRect = *pos;
    if (m_hwndView)
        MoveWindow(m_hwndView, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

STDMETHODIMP ControlBase::ReactivateAndUndo() { return E_NOTIMPL; }

STDMETHODIMP ControlBase::TranslateAccelerator(LPMSG) { return S_FALSE; }
STDMETHODIMP ControlBase::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlBase::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP ControlBase::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP ControlBase::EnableModeless(BOOL) { return S_OK; }

// ---- IOleControl

STDMETHODIMP ControlBase::GetControlInfo(CONTROLINFO* info) {
    if (!info) return E_POINTER;
    info->hAccel = nullptr;  // no mnemonics
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP ControlBase::OnMnemonic(MSG*) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::OnAmbientPropertyChange(DISPID) { return S_OK; }

STDMETHODIMP ControlBase::FreezeEvents(BOOL freeze) {
    if (freeze) ++m_freezeCount;
    else if (m_freezeCount > 0) --m_freezeCount;
    return S_OK;
}

// ---- IViewObject2

STDMETHODIMP ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc,
                               LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                               ULONG_PTR) {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!hdc) return E_INVALIDARG;
    RECT rect = {};
    if (bounds) rect = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    OnDraw(hdc, rect);
    return S_OK;
}

STDMETHODIMP ControlBase::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
    if (colors) *colors = nullptr;
    return S_FALSE;
}

STDMETHODIMP ControlBase::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
STDMETHODIMP ControlBase::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    m_viewSink = ComPtr<IAdviseSink>(sink);
    m_viewAdviseAspects = aspects;
    m_viewAdviseFlags = flags;
    return S_OK;
}

STDMETHODIMP ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = m_viewAdviseAspects;
    if (flags) *flags = m_viewAdviseFlags;
    if (sink) {
        *sink = m_viewSink.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    return GetExtent(aspect, size);
}

}  // namespace nelo
