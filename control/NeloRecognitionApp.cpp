#include "NeloRecognitionApp.h"

#include "ControlBase.h"
#include "Module.h"

CNeloRecognitionApp theApp;

BOOL CNeloRecognitionApp::InitInstance(HINSTANCE instance) {
    m_hInstance = instance;
    nelo::SetModuleInstance(instance);
    m_nInstanceCount = 0;
    return TRUE;
}

int CNeloRecognitionApp::ExitInstance() {
    // The system keeps window classes of an unloaded module, with a window procedure that
    // no longer exists; nothing may use them after this point.
    nelo::UnregisterControlWindowClasses();
    nelo::ReleaseModuleActivationContext();
    return 0;
}
