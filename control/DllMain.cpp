// Entry points of NeloRecognition.dll.
#include <windows.h>

#include "Module.h"
#include "ModuleServer.h"
#include "NeloRecognitionApp.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            DisableThreadLibraryCalls(instance);
            return theApp.InitInstance(instance);
        case DLL_PROCESS_DETACH:
            // At process exit the system reclaims everything; clean up only on FreeLibrary.
            if (!reserved) theApp.ExitInstance();
            break;
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return nelo::CanUnloadModuleNow(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* ppv) { return NeloGetClassObject(clsid, riid, ppv); }

STDAPI DllRegisterServer() { return NeloRegisterServer(theApp.m_hInstance); }

STDAPI DllUnregisterServer() { return NeloUnregisterServer(); }
