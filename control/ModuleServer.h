// The module as a COM server: its two class factories and its self-registration.
#pragma once
#include <windows.h>

#include "ClassFactory.h"

// ProgIDs as they have always been registered (the page's keeps its 14-letter cut words).
extern const wchar_t* const kCtrlProgId;      // "NELORECOGNITION.NeloRecognitionCtrl.1"
extern const wchar_t* const kPropPageProgId;  // "NELORECOGNITIO.NeloRecognitioPropPage.1"

nelo::ClassFactory& CtrlFactory();
nelo::ClassFactory& PropPageFactory();

HRESULT NeloGetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
// S_OK, SELFREG_E_TYPELIB or SELFREG_E_CLASS, for the module file `module`.
HRESULT NeloRegisterServer(HMODULE module);
HRESULT NeloUnregisterServer();
