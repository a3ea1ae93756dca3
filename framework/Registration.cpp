#include "Registration.h"

#include <oleauto.h>
#include <vector>

#include "ComPtr.h"

namespace nelo {
namespace {

bool SetKeyValue(HKEY root, const std::wstring& subKey, const wchar_t* valueName,
                 const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LSTATUS st = RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return st == ERROR_SUCCESS;
}

bool CreateEmptyKey(HKEY root, const std::wstring& subKey) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegisterProgId(const wchar_t* progId, const std::wstring& clsidText, const wchar_t* typeName) {
    std::wstring key = progId;
    return SetKeyValue(HKEY_CLASSES_ROOT, key, nullptr, typeName ? typeName : L"") &&
           SetKeyValue(HKEY_CLASSES_ROOT, key + L"\\CLSID", nullptr, clsidText);
}

bool WriteClassKeys(const ControlClassRegistration& reg, const std::wstring& modulePath) {
    const std::wstring clsidText = GuidToString(reg.clsid);
    const std::wstring base = L"CLSID\\" + clsidText;
    const HKEY hkcr = HKEY_CLASSES_ROOT;
    if (!SetKeyValue(hkcr, base, nullptr, reg.userTypeName ? reg.userTypeName : L"")) return false;
    if (!SetKeyValue(hkcr, base + L"\\InprocServer32", nullptr, modulePath)) return false;
    if (reg.threadingModel &&
        !SetKeyValue(hkcr, base + L"\\InprocServer32", L"ThreadingModel", reg.threadingModel))
        return false;
    if (reg.progId) {
        if (!SetKeyValue(hkcr, base + L"\\ProgID", nullptr, reg.progId)) return false;
        if (!RegisterProgId(reg.progId, clsidText, reg.userTypeName)) return false;
    }
    if (reg.versionIndependentProgId) {
        if (!SetKeyValue(hkcr, base + L"\\VersionIndependentProgID", nullptr,
                         reg.versionIndependentProgId))
            return false;
        if (!RegisterProgId(reg.versionIndependentProgId, clsidText, reg.userTypeName)) return false;
        if (reg.progId && !SetKeyValue(hkcr, std::wstring(reg.versionIndependentProgId) + L"\\CurVer",
                                       nullptr, reg.progId))
            return false;
    }
    if (reg.isControl && !CreateEmptyKey(hkcr, base + L"\\Control")) return false;
    if (reg.toolboxBitmapId) {
        std::wstring value = modulePath + L", " + std::to_wstring(reg.toolboxBitmapId);
        if (!SetKeyValue(hkcr, base + L"\\ToolboxBitmap32", nullptr, value)) return false;
    }
    if (reg.hasMiscStatus) {
        std::wstring status = std::to_wstring(reg.miscStatus);
        if (!SetKeyValue(hkcr, base + L"\\MiscStatus", nullptr, L"0")) return false;
        if (!SetKeyValue(hkcr, base + L"\\MiscStatus\\1", nullptr, status)) return false;
    }
    if (reg.libid != GUID_NULL &&
        !SetKeyValue(hkcr, base + L"\\TypeLib", nullptr, GuidToString(reg.libid)))
        return false;
    if (reg.version && !SetKeyValue(hkcr, base + L"\\Version", nullptr, reg.version)) return false;
    return true;
}

SYSKIND OwnSysKind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

}  // namespace

std::wstring GuidToString(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring GetModulePath(HMODULE module) {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return std::wstring();
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);  // truncated: try a larger buffer
    }
}

LSTATUS DeleteKeyTree(HKEY root, const std::wstring& subKey) {
    LSTATUS st = RegDeleteTreeW(root, subKey.c_str());
    if (st == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (st == ERROR_SUCCESS) st = RegDeleteKeyW(root, subKey.c_str());  // the tree call keeps the key
    return st == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : st;
}

bool RegisterClassKeys(const ControlClassRegistration& reg, const std::wstring& modulePath) {
    if (WriteClassKeys(reg, modulePath)) return true;
    UnregisterClassKeys(reg.clsid, reg.progId, reg.versionIndependentProgId);
    return false;
}

bool UnregisterClassKeys(const CLSID& clsid, const wchar_t* progId,
                         const wchar_t* versionIndependentProgId) {
    bool ok = DeleteKeyTree(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidToString(clsid)) == ERROR_SUCCESS;
    if (progId) ok = DeleteKeyTree(HKEY_CLASSES_ROOT, progId) == ERROR_SUCCESS && ok;
    if (versionIndependentProgId)
        ok = DeleteKeyTree(HKEY_CLASSES_ROOT, versionIndependentProgId) == ERROR_SUCCESS && ok;
    return ok;
}

HRESULT RegisterModuleTypeLib(HMODULE module) {
    std::wstring path = GetModulePath(module);
    if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Receive());
    if (FAILED(hr)) return hr;
    // The help folder is the module's own folder, where a help file would be installed.
    std::wstring helpDir = path.substr(0, path.find_last_of(L"\\/") + 1);
    return RegisterTypeLib(lib.Get(), &path[0], helpDir.empty() ? nullptr : &helpDir[0]);
}

HRESULT UnregisterTypeLibrary(const GUID& libid, WORD major, WORD minor) {
    const std::wstring libKey = L"TypeLib\\" + GuidToString(libid);
    const std::wstring versionKey = libKey + L"\\" + std::to_wstring(major) + L"." + std::to_wstring(minor);
    HRESULT hr = S_OK;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, versionKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        hr = UnRegisterTypeLib(libid, major, minor, LOCALE_NEUTRAL, OwnSysKind());
    }  // else nothing is registered for this version: already removed
    // The library's key stays only while other versions remain under it.
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, libKey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD subKeys = 0;
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (subKeys == 0) RegDeleteKeyW(HKEY_CLASSES_ROOT, libKey.c_str());
    }
    return hr;
}

}  // namespace nelo
