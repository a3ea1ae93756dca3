// The module's application object: its folders and the number of live controls.
#pragma once
#include <windows.h>
#include <string>

#include "CriticalSection.h"

class CNeloRecognitionApp {
public:
    // Called when the module is loaded (DllMain) or, in tests, by the executable that links
    // the module's code.
    BOOL InitInstance(HINSTANCE instance);
    int ExitInstance();

    HINSTANCE m_hInstance = nullptr;
    std::wstring m_strModuleDir;  // the module's folder, with its trailing backslash
    std::wstring m_strWorkDir;    // temporary-files path + "\NeloRecognition"
    int m_nInstanceCount = 0;     // live CNeloRecognitionCtrl objects

    // Serialises the first-control set-up and last-control tear-down, in case a host
    // creates controls on more than one apartment thread.
    nelo::CriticalSection m_instanceLock;
};

extern CNeloRecognitionApp theApp;
