// The engine's view of its host: named items ("host", "ctrl"), error
// reports, and a window for any UI. Scripts never get to show a message
// box (a test run has nobody to click it): UI requests fail as errors.
#pragma once

#include <windows.h>
#include <activscp.h>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "run_state.h"

class CScriptSite : public IActiveScriptSite, public IActiveScriptSiteWindow, public IActiveScriptSiteUIControl {
public:
    explicit CScriptSite(CRunState& state);

    // A name the script can use, and what it refers to.
    void AddItem(const std::wstring& name, IUnknown* object);
    // Source files by the context cookie given with their text.
    DWORD AddSourceFile(const std::wstring& displayName);
    void SetWindow(HWND hwnd) { m_hwnd = hwnd; }
    // Drops the items; the engine is closed by then.
    void ClearItems() { m_items.clear(); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    NELO_IMPLEMENT_REFCOUNT(CScriptSite)

    // IActiveScriptSite
    STDMETHODIMP GetLCID(LCID* plcid) override;
    STDMETHODIMP GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem, ITypeInfo** ppti) override;
    STDMETHODIMP GetDocVersionString(BSTR* pbstrVersion) override;
    STDMETHODIMP OnScriptTerminate(const VARIANT* pvarResult, const EXCEPINFO* pexcepinfo) override;
    STDMETHODIMP OnStateChange(SCRIPTSTATE ssScriptState) override;
    STDMETHODIMP OnScriptError(IActiveScriptError* pscripterror) override;
    STDMETHODIMP OnEnterScript() override;
    STDMETHODIMP OnLeaveScript() override;

    // IActiveScriptSiteWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;

    // IActiveScriptSiteUIControl
    STDMETHODIMP GetUIBehavior(SCRIPTUICITEM UicItem, SCRIPTUICHANDLING* pUicHandling) override;

private:
    virtual ~CScriptSite() = default;
    std::wstring SourceName(DWORD cookie) const;

    struct CItem {
        std::wstring name;
        CComPtr<IUnknown> object;
    };

    CRefCount m_ref;
    CRunState& m_state;
    std::vector<CItem> m_items;
    std::vector<std::wstring> m_sourceFiles;
    HWND m_hwnd = nullptr;
};
