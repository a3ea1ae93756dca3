// Creating the control: by ProgID through the registry (as a page's
// <object> or a script's CreateObject does), or straight from a module file
// without any registration.
#pragma once

#include <windows.h>
#include <string>

#include "com_ptr.h"

// The module a control was loaded from by path. It is freed only after the
// control is gone and the module agrees it can unload.
class CModuleHolder {
public:
    CModuleHolder() = default;
    ~CModuleHolder();
    CModuleHolder(const CModuleHolder&) = delete;
    CModuleHolder& operator=(const CModuleHolder&) = delete;

    bool Load(const std::wstring& path);
    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule = nullptr;
};

class CCreatedControl {
public:
    CCreatedControl() = default;
    CCreatedControl(const CCreatedControl&) = delete;
    CCreatedControl& operator=(const CCreatedControl&) = delete;
    ~CCreatedControl() { Release(); }

    bool CreateByProgId(const std::wstring& progId, std::wstring& error);
    bool CreateFromModule(const std::wstring& modulePath, std::wstring& error);

    IUnknown* Unknown() const { return m_unknown.Get(); }
    IDispatch* Dispatch() const { return m_dispatch.Get(); }
    void Release() { m_dispatch.Reset(); m_unknown.Reset(); }

private:
    bool Adopt(CComPtr<IUnknown> unknown, std::wstring& error);

    // Declared first, destroyed last: the module outlives the object.
    CModuleHolder m_module;
    CComPtr<IUnknown> m_unknown;
    CComPtr<IDispatch> m_dispatch;
};

// The first creatable coclass in a type library file (for --module).
bool FirstCreatableClass(const std::wstring& typeLibPath, CLSID& clsid, std::wstring& error);

std::wstring HResultText(HRESULT hr);
