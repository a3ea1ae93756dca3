// The base of an ActiveX control: everything containers and script engines use, generic
// over the control's identity (CLSID, interfaces, type library, dispatch table).
//
// Windows: every control owns a message-only window, made on the creating thread by the
// constructor and destroyed with the control, so posted notifications and timers reach a
// control that is never in-place activated (a script's CreateObject). When a container
// in-place activates the control it also gets a visible child window, which draws nothing.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <olectl.h>
#include <string>

#include "ComPtr.h"
#include "Dispatch.h"
#include "EventConnectionPoint.h"
#include "Module.h"

namespace nelo {

LRESULT CALLBACK ControlNotifyWndProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK ControlViewWndProc(HWND, UINT, WPARAM, LPARAM);

struct ControlDescription {
    const CLSID* clsid;
    const IID* dispatchIid;       // the default dispinterface
    const IID* eventIid;          // the default source dispinterface
    const CLSID* propertyPages;   // may be nullptr when count is 0
    ULONG propertyPageCount;
    DWORD miscStatus;
    UINT userTypeNameId;          // string resource of the module
    DWORD persistVersion;         // (major << 16) | minor, written by both persistence interfaces
    const wchar_t* windowClassName;  // of the message-only window; the view adds ".View"
    const DispEntry* dispatchTable;
    size_t dispatchCount;
};

class ControlBase : public IDispatch,
                    public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IOleControl,
                    public IViewObject2,
                    public IPersistStreamInit,
                    public IPersistPropertyBag,
                    public IConnectionPointContainer,
                    public IProvideClassInfo2,
                    public ISpecifyPropertyPages {
public:
    explicit ControlBase(const ControlDescription& description);
    virtual ~ControlBase();
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    // Creates T (derived from ControlBase) and answers riid on it.
    template <class T>
    static HRESULT CreateInstance(REFIID riid, void** ppv) {
        T* object = new (std::nothrow) T();
        if (!object) return E_OUTOFMEMORY;
        object->AddRef();
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }

    // The message-only window that receives posted notifications and timers (null only
    // when the system refused to make it).
    HWND NotifyWindow() const { return m_hwndNotify; }
    HWND ViewWindow() const { return m_hwndView; }
    bool IsInPlaceActive() const { return m_inPlaceActive; }

    // Fires an event to every connected sink, synchronously, unless the container froze events.
    void FireEvent(DISPID id, std::initializer_list<Variant> args);
    EventConnectionPoint& Events() { return m_events; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR obj) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* mk) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** mk) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT posRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pal) override;

    // IOleWindow (shared by both in-place interfaces)
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    // IOleInPlaceObject
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override;
    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                      HDC targetDev, HDC hdc, LPCRECTL bounds, LPCRECTL wbounds,
                      BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target,
                             HDC targetDev, LOGPALETTE** colors) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* target, LPSIZEL size) override;

    // IPersist, IPersistStreamInit, IPersistPropertyBag
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // ISpecifyPropertyPages
    STDMETHODIMP GetPages(CAUUID* pages) override;

protected:
    // The object the dispatch table's handlers are called on (the most derived class).
    virtual void* DispatchObject() = 0;
    // Messages of the message-only window; the default is DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints the control into a device context (view window or container's Draw).
    virtual void OnDraw(HDC hdc, const RECT& bounds) {}
    // Extra interfaces answered by the derived control (an interface map hook).
    virtual HRESULT QueryExtraInterface(REFIID riid, void** ppv) { return E_NOINTERFACE; }

    // Destroys the windows now (idempotent); derived destructors call it once their own
    // timers are gone, so no message reaches a half-destroyed object.
    void DestroyControlWindows();

private:
    friend LRESULT CALLBACK ControlNotifyWndProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK ControlViewWndProc(HWND, UINT, WPARAM, LPARAM);

    HRESULT LoadTypeLibrary(ITypeLib** lib);
    HRESULT ActivateInPlace(bool uiActivate);
    HRESULT ShowPropertyPages(HWND parent);
    void CreateNotifyWindow();

    ControlDescription m_desc;
    ModuleLockHolder m_moduleLock;
    LONG m_ref = 0;
    EventConnectionPoint m_events;
    LONG m_freezeCount = 0;

    HWND m_hwndNotify = nullptr;
    HWND m_hwndView = nullptr;

    ComPtr<ITypeLib> m_typeLib;
    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_uiWindow;
    ComPtr<IOleAdviseHolder> m_adviseHolder;
    ComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAdviseAspects = 0;
    DWORD m_viewAdviseFlags = 0;
    bool m_inPlaceActive = false;
    bool m_uiActive = false;
    SIZEL m_extent = {2646, 1323};  // 100 x 50 pixels at 96 dpi, in HIMETRIC
    RECT m_posRect = {};
};

// Window classes are registered on first use by the module; a module that unloads must
// unregister them, since the system keeps them (with a dangling window procedure) otherwise.
void UnregisterControlWindowClasses();
// Registers a window class of the module once (thread-safe); false if the system refuses.
bool EnsureControlWindowClass(const std::wstring& name, WNDPROC proc);

}  // namespace nelo
