// --activate: a top-level window and the smallest container a control needs
// to be in-place active in it, as on a page: client site, in-place site and
// frame, control site, and ambient properties (UserMode TRUE).
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <string>

#include "com_object.h"
#include "com_ptr.h"

class CControlSite : public IOleClientSite,
                     public IOleInPlaceSite,
                     public IOleInPlaceFrame,
                     public IOleControlSite,
                     public IDispatch {
public:
    explicit CControlSite(HWND hwnd);

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    NELO_IMPLEMENT_REFCOUNT(CControlSite)

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL fShow) override;
    STDMETHODIMP RequestNewObjectLayout() override;

    // IOleWindow (shared by the in-place site and the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                  LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE scrollExtant) override;
    STDMETHODIMP OnUIDeactivate(BOOL fUndoable) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override;
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override;

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT lprectBorder) override;
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS pborderwidths) override;
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR pszObjName) override;
    STDMETHODIMP InsertMenus(HMENU hmenuShared, LPOLEMENUGROUPWIDTHS lpMenuWidths) override;
    STDMETHODIMP SetMenu(HMENU hmenuShared, HOLEMENU holemenu, HWND hwndActiveObject) override;
    STDMETHODIMP RemoveMenus(HMENU hmenuShared) override;
    STDMETHODIMP SetStatusText(LPCOLESTR pszStatusText) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg, WORD wID) override;

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override;
    STDMETHODIMP LockInPlaceActive(BOOL fLock) override;
    STDMETHODIMP GetExtendedControl(IDispatch** ppDisp) override;
    STDMETHODIMP TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) override;
    STDMETHODIMP TranslateAccelerator(MSG* pMsg, DWORD grfModifiers) override;
    STDMETHODIMP OnFocus(BOOL fGotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    bool InPlaceActive() const { return m_bInPlaceActive; }

private:
    virtual ~CControlSite() = default;

    CRefCount m_ref;
    HWND m_hwnd;
    bool m_bInPlaceActive = false;
};

// The window, the site and the control's activation, undone in reverse on
// destruction (in-place deactivate, close, drop the site, destroy the window).
class CActivation {
public:
    CActivation() = default;
    ~CActivation() { Deactivate(); }
    CActivation(const CActivation&) = delete;
    CActivation& operator=(const CActivation&) = delete;

    bool Activate(IUnknown* control, std::wstring& error);
    void Deactivate();
    HWND Window() const { return m_hwnd; }

private:
    HWND m_hwnd = nullptr;
    CComPtr<CControlSite> m_site;
    CComPtr<IOleObject> m_object;
};
