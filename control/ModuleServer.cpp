#include "ModuleServer.h"

#include <olectl.h>

#include "Module.h"
#include "NeloGuids.h"
#include "NeloRecognitionCtrl.h"
#include "NeloRecognitionPropPage.h"
#include "Registration.h"
#include "resource.h"

const wchar_t* const kCtrlProgId = L"NELORECOGNITION.NeloRecognitionCtrl.1";
const wchar_t* const kPropPageProgId = L"NELORECOGNITIO.NeloRecognitioPropPage.1";

nelo::ClassFactory& CtrlFactory() {
    static nelo::ClassFactory factory(CLSID_NeloRecognitionCtrl, &CNeloRecognitionCtrl::Create);
    return factory;
}

nelo::ClassFactory& PropPageFactory() {
    static nelo::ClassFactory factory(CLSID_NeloRecognitionPropPage, &CNeloRecognitionPropPage::Create);
    return factory;
}

HRESULT NeloGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    nelo::ClassFactory* const factories[] = {&CtrlFactory(), &PropPageFactory()};
    return nelo::GetClassObjectFrom(factories, 2, clsid, riid, ppv);
}

namespace {

std::wstring LoadModuleString(HMODULE module, UINT id) {
    const wchar_t* text = nullptr;
    int len = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return len > 0 ? std::wstring(text, len) : std::wstring();
}

bool RegisterClasses(HMODULE module) {
    const std::wstring path = nelo::GetModulePath(module);
    if (path.empty()) return false;
    const std::wstring ctrlName = LoadModuleString(module, IDS_NELORECOGNITION);
    const std::wstring pageName = LoadModuleString(module, IDS_NELORECOGNITION_PPG);

    nelo::ControlClassRegistration ctrl = {};
    ctrl.clsid = CLSID_NeloRecognitionCtrl;
    ctrl.progId = kCtrlProgId;
    ctrl.userTypeName = ctrlName.c_str();
    ctrl.threadingModel = L"Apartment";
    ctrl.isControl = true;
    ctrl.toolboxBitmapId = IDB_NELORECOGNITION;
    ctrl.miscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                      OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
    ctrl.hasMiscStatus = true;
    ctrl.libid = LIBID_NeloRecognitionLib;
    ctrl.version = L"1.0";

    // The property page is registered by CLSID only, without a ProgID key.
    nelo::ControlClassRegistration page = {};
    page.clsid = CLSID_NeloRecognitionPropPage;
    page.userTypeName = pageName.c_str();
    page.threadingModel = L"Apartment";
    page.libid = GUID_NULL;

    return nelo::RegisterClassKeys(ctrl, path) && nelo::RegisterClassKeys(page, path);
}

}  // namespace

HRESULT NeloRegisterServer(HMODULE module) {
    nelo::ModuleStateScope moduleState;
    if (FAILED(nelo::RegisterModuleTypeLib(module))) return SELFREG_E_TYPELIB;
    if (!RegisterClasses(module)) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT NeloUnregisterServer() {
    nelo::ModuleStateScope moduleState;
    if (FAILED(nelo::UnregisterTypeLibrary(LIBID_NeloRecognitionLib, kTypeLibMajor, kTypeLibMinor)))
        return SELFREG_E_TYPELIB;
    bool ok = nelo::UnregisterClassKeys(CLSID_NeloRecognitionCtrl, kCtrlProgId);
    ok = nelo::UnregisterClassKeys(CLSID_NeloRecognitionPropPage, nullptr) && ok;
    return ok ? S_OK : SELFREG_E_CLASS;
}
