// CHostTestSource: a small stand-in for the control with what the host
// relies on: IDispatch from a type library, IProvideClassInfo2, one
// connection point, events fired synchronously or posted from a worker
// thread to the object's window, and just enough IOleObject and
// IOleInPlaceObject to be in-place activated by a container.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <map>

class CHostTestSource : public IDispatch,
                        public IProvideClassInfo2,
                        public IConnectionPointContainer,
                        public IOleObject,
                        public IOleInPlaceObject {
public:
    static HRESULT Create(REFIID riid, void** ppv);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* excepInfo, UINT* argErr) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override;
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    STDMETHODIMP Update() override { return S_OK; }
    STDMETHODIMP IsUpToDate() override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return S_OK; }
    STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
    STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceObject
    STDMETHODIMP GetWindow(HWND* hwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override { return S_OK; }
    STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
    STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }

    // Calls every advised sink; returns how many were called.
    long FireEvent(DISPID event, ULONG wParam, LONG lParam);

private:
    // The connection point is its own COM object that shares our lifetime.
    class XConnectionPoint : public IConnectionPoint {
    public:
        explicit XConnectionPoint(CHostTestSource* outer) : m_outer(outer) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override { return m_outer->AddRef(); }
        STDMETHODIMP_(ULONG) Release() override { return m_outer->Release(); }
        STDMETHODIMP GetConnectionInterface(IID* iid) override;
        STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
        STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
        STDMETHODIMP Unadvise(DWORD cookie) override;
        STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override;

    private:
        CHostTestSource* m_outer;
    };

    CHostTestSource();
    virtual ~CHostTestSource();
    HRESULT LoadTypes();
    HRESULT Call(DISPID id, DISPPARAMS* params, LONG& result, UINT* argErr);
    HRESULT ActivateInPlace(IOleClientSite* site);
    static LRESULT CALLBACK NotifyWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    LONG m_cRef = 1;
    XConnectionPoint m_xPoint;
    ITypeLib* m_pTypeLib = nullptr;
    ITypeInfo* m_pDispInfo = nullptr;
    ITypeInfo* m_pClassInfo = nullptr;
    std::map<DWORD, IDispatch*> m_sinks;
    DWORD m_nNextCookie = 1;
    HWND m_hwndNotify = nullptr;   // receives the worker thread's posts
    IOleClientSite* m_pClientSite = nullptr;
    IOleInPlaceSite* m_pInPlaceSite = nullptr;
    HWND m_hwndControl = nullptr;  // our window inside the container's, while in-place active
    HWND m_hwndContainer = nullptr;
    long m_nAmbientUserMode = -1;  // -1: never asked a site
};
