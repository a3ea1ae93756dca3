#include "control_factory.h"

#include <oleauto.h>

std::wstring HResultText(HRESULT hr) {
    wchar_t buf[32];
    wsprintfW(buf, L"0x%08lX", static_cast<unsigned long>(hr));
    return buf;
}

CModuleHolder::~CModuleHolder() {
    if (!m_hModule) return;
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnloadNow>(
        reinterpret_cast<void*>(GetProcAddress(m_hModule, "DllCanUnloadNow")));
    // A module whose objects or threads are still alive stays mapped; the
    // process is about to end anyway.
    if (!canUnload || canUnload() == S_OK) FreeLibrary(m_hModule);
}

bool CModuleHolder::Load(const std::wstring& path) {
    m_hModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    return m_hModule != nullptr;
}

bool FirstCreatableClass(const std::wstring& typeLibPath, CLSID& clsid, std::wstring& error) {
    CComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(typeLibPath.c_str(), REGKIND_NONE, lib.Out());
    if (FAILED(hr)) { error = L"no type library in " + typeLibPath + L" (" + HResultText(hr) + L")"; return false; }
    UINT count = lib->GetTypeInfoCount();
    for (UINT i = 0; i < count; ++i) {
        TYPEKIND kind;
        if (FAILED(lib->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
        CComPtr<ITypeInfo> info;
        if (FAILED(lib->GetTypeInfo(i, info.Out()))) continue;
        TYPEATTR* attr = nullptr;
        if (FAILED(info->GetTypeAttr(&attr))) continue;
        bool bCreatable = (attr->wTypeFlags & TYPEFLAG_FCANCREATE) != 0;
        CLSID found = attr->guid;
        info->ReleaseTypeAttr(attr);
        if (bCreatable) { clsid = found; return true; }
    }
    error = L"the type library of " + typeLibPath + L" has no creatable class";
    return false;
}

bool CCreatedControl::Adopt(CComPtr<IUnknown> unknown, std::wstring& error) {
    m_unknown = unknown;
    m_dispatch = m_unknown.As<IDispatch>(IID_IDispatch);
    if (!m_dispatch) {
        error = L"the object has no IDispatch";
        Release();
        return false;
    }
    return true;
}

bool CCreatedControl::CreateByProgId(const std::wstring& progId, std::wstring& error) {
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) { error = L"unknown ProgID " + progId + L" (" + HResultText(hr) + L")"; return false; }
    CComPtr<IUnknown> unknown;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown, unknown.OutVoid());
    if (FAILED(hr)) { error = L"cannot create " + progId + L" (" + HResultText(hr) + L")"; return false; }
    return Adopt(unknown, error);
}

bool CCreatedControl::CreateFromModule(const std::wstring& modulePath, std::wstring& error) {
    if (!m_module.Load(modulePath)) {
        error = L"cannot load " + modulePath + L" (error " + std::to_wstring(GetLastError()) + L")";
        return false;
    }
    CLSID clsid;
    if (!FirstCreatableClass(modulePath, clsid, error)) return false;
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(m_module.Get(), "DllGetClassObject")));
    if (!getClassObject) { error = modulePath + L" exports no DllGetClassObject"; return false; }
    CComPtr<IClassFactory> factory;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, factory.OutVoid());
    if (FAILED(hr)) { error = L"DllGetClassObject failed (" + HResultText(hr) + L")"; return false; }
    CComPtr<IUnknown> unknown;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, unknown.OutVoid());
    if (FAILED(hr)) { error = L"IClassFactory::CreateInstance failed (" + HResultText(hr) + L")"; return false; }
    return Adopt(unknown, error);
}
