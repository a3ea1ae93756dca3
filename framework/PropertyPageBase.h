// A property page shown by a property frame: a dialog template of the module as a child of
// the frame, with a caption from the module's strings. The base exchanges no property;
// derived pages override Apply and the dialog procedure when they have some.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <new>
#include <vector>

#include "ComPtr.h"
#include "Module.h"

namespace nelo {

class PropertyPageBase : public IPropertyPage {
public:
    PropertyPageBase(UINT dialogId, UINT captionId) : m_dialogId(dialogId), m_captionId(captionId) {}
    virtual ~PropertyPageBase();

    template <class T>
    static HRESULT CreateInstance(REFIID riid, void** ppv) {
        T* page = new (std::nothrow) T();
        if (!page) return E_OUTOFMEMORY;
        page->AddRef();
        HRESULT hr = page->QueryInterface(riid, ppv);
        page->Release();
        return hr;
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT cmdShow) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override;
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR helpDir) override;
    STDMETHODIMP TranslateAccelerator(MSG* msg) override;

    HWND Window() const { return m_hwnd; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    ModuleLockHolder m_lock;
    LONG m_ref = 0;
    UINT m_dialogId;
    UINT m_captionId;
    HWND m_hwnd = nullptr;
    ComPtr<IPropertyPageSite> m_site;
    std::vector<ComPtr<IUnknown>> m_objects;
};

}  // namespace nelo
