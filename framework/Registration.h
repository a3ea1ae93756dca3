// Self-registration of in-process classes and of the module's type library under
// HKEY_CLASSES_ROOT, and their removal.
#pragma once
#include <windows.h>
#include <string>

namespace nelo {

std::wstring GuidToString(const GUID& guid);
std::wstring GetModulePath(HMODULE module);

struct ControlClassRegistration {
    CLSID clsid;
    const wchar_t* progId;              // "Vendor.Class.1"
    const wchar_t* versionIndependentProgId;  // nullptr: none is registered
    const wchar_t* userTypeName;        // default value of the CLSID key and of the ProgID key
    const wchar_t* threadingModel;      // "Apartment"
    bool isControl;                     // writes the "Control" marker key
    int toolboxBitmapId;                // 0: no ToolboxBitmap32 key
    DWORD miscStatus;                   // written under MiscStatus and MiscStatus\1 (DVASPECT_CONTENT)
    bool hasMiscStatus;
    GUID libid;                         // GUID_NULL: no TypeLib key
    const wchar_t* version;             // "1.0", or nullptr
};

// Writes the class's keys for the given module file; false (with nothing left half-written
// that a later unregistration would miss) when a key cannot be written.
bool RegisterClassKeys(const ControlClassRegistration& reg, const std::wstring& modulePath);
// Removes the CLSID key tree and, when given, the ProgID key trees. Keys that are already
// gone count as removed.
bool UnregisterClassKeys(const CLSID& clsid, const wchar_t* progId,
                         const wchar_t* versionIndependentProgId = nullptr);

// Registers the type library embedded as TYPELIB 1 in the module (the same file that holds it).
HRESULT RegisterModuleTypeLib(HMODULE module);
// Removes the registration of the given library version (all its entries and interface keys).
HRESULT UnregisterTypeLibrary(const GUID& libid, WORD major, WORD minor);

// Deletes a key and everything under it; S_OK also when it did not exist.
LSTATUS DeleteKeyTree(HKEY root, const std::wstring& subKey);

}  // namespace nelo
