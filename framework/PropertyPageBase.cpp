#include "PropertyPageBase.h"

#include <cstring>

namespace nelo {
namespace {

// Size of a dialog template in pixels, as the frame needs it before the page exists.
SIZE DialogSizeInPixels(UINT dialogId) {
    SIZE size = {0, 0};
    HRSRC res = FindResourceW(GetModuleInstance(), MAKEINTRESOURCEW(dialogId), RT_DIALOG);
    HGLOBAL mem = res ? LoadResource(GetModuleInstance(), res) : nullptr;
    const auto* tpl = mem ? static_cast<const BYTE*>(LockResource(mem)) : nullptr;
    if (!tpl) return size;
    short cx = 0, cy = 0;
    // DLGTEMPLATEEX starts with dlgVer 1 and signature 0xFFFF; the classic header does not.
    if (reinterpret_cast<const WORD*>(tpl)[1] == 0xFFFF) {
        memcpy(&cx, tpl + 22, sizeof(cx));
        memcpy(&cy, tpl + 24, sizeof(cy));
    } else {
        memcpy(&cx, tpl + 14, sizeof(cx));
        memcpy(&cy, tpl + 16, sizeof(cy));
    }
    // Dialog units to pixels with the system font's base units (close enough for a frame).
    LONG base = GetDialogBaseUnits();
    size.cx = MulDiv(cx, LOWORD(base), 4);
    size.cy = MulDiv(cy, HIWORD(base), 8);
    return size;
}

LPOLESTR CoTaskString(UINT stringId) {
    const wchar_t* text = nullptr;
    int len = LoadStringW(GetModuleInstance(), stringId, reinterpret_cast<LPWSTR>(&text), 0);
    if (len < 0) len = 0;
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((len + 1) * sizeof(wchar_t)));
    if (!out) return nullptr;
    if (len) memcpy(out, text, len * sizeof(wchar_t));
    out[len] = L'\0';
    return out;
}

}  // namespace

PropertyPageBase::~PropertyPageBase() {
    if (m_hwnd) DestroyWindow(m_hwnd);
}

STDMETHODIMP PropertyPageBase::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyPage) {
        *ppv = static_cast<IPropertyPage*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) PropertyPageBase::AddRef() { return InterlockedIncrement(&m_ref); }

STDMETHODIMP_(ULONG) PropertyPageBase::Release() {
    LONG n = InterlockedDecrement(&m_ref);
    if (n == 0) delete this;
    return n;
}

STDMETHODIMP PropertyPageBase::SetPageSite(IPropertyPageSite* site) {
    m_site = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

STDMETHODIMP PropertyPageBase::Activate(HWND parent, LPCRECT rect, BOOL) {
    if (m_hwnd) return E_UNEXPECTED;
    m_hwnd = CreateDialogParamW(GetModuleInstance(), MAKEINTRESOURCEW(m_dialogId), parent, DialogProc,
                                reinterpret_cast<LPARAM>(this));
    if (!m_hwnd) return HRESULT_FROM_WIN32(GetLastError());
    if (rect) Move(rect);
    return S_OK;
}

STDMETHODIMP PropertyPageBase::Deactivate() {
    if (m_hwnd) {
        DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
    return S_OK;
}

STDMETHODIMP PropertyPageBase::GetPageInfo(PROPPAGEINFO* info) {
    if (!info) return E_POINTER;
    info->cb = sizeof(*info);
    info->pszTitle = CoTaskString(m_captionId);
    info->size = DialogSizeInPixels(m_dialogId);
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PropertyPageBase::SetObjects(ULONG count, IUnknown** objects) {
    if (count && !objects) return E_POINTER;
    m_objects.clear();
    for (ULONG i = 0; i < count; ++i) m_objects.emplace_back(objects[i]);
    return S_OK;
}

STDMETHODIMP PropertyPageBase::Show(UINT cmdShow) {
    if (!m_hwnd) return E_UNEXPECTED;
    ShowWindow(m_hwnd, cmdShow);
    return S_OK;
}

STDMETHODIMP PropertyPageBase::Move(LPCRECT rect) {
    if (!rect) return E_POINTER;
    if (!m_hwnd) return E_UNEXPECTED;
    MoveWindow(m_hwnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPageBase::IsPageDirty() { return S_FALSE; }
STDMETHODIMP PropertyPageBase::Apply() { return S_OK; }
STDMETHODIMP PropertyPageBase::Help(LPCOLESTR) { return E_NOTIMPL; }
STDMETHODIMP PropertyPageBase::TranslateAccelerator(MSG*) { return S_FALSE; }

INT_PTR CALLBACK PropertyPageBase::DialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace nelo
