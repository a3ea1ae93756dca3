#include "RecorderApp.h"

#include "RecorderMessages.h"

namespace nelo::rec {

std::atomic<rtvad*> g_pRecorder{nullptr};
std::atomic<int32_t> g_nNoVoiceTime{0};
std::atomic<int32_t> g_nTailSilenceTime{0};
std::atomic<int32_t> g_nMaxRecordTime{0};
std::atomic<int32_t> g_bAutoStopEN{0};
SRWLOCK g_requestLock = SRWLOCK_INIT;
CNeloRecApp theApp;

void CNeloRecApp::InitInstance(HMODULE module) {
    m_hModule = module;
    g_pRecorder = nullptr;
    g_nNoVoiceTime = 5000;
    g_nTailSilenceTime = 2000;
    g_nMaxRecordTime = 18000;
    g_bAutoStopEN = 1;
}

// The worker holds a reference on the library while it runs, so this runs
// at process exit (or after the worker has gone); the quit request is still
// made, as callers of the library have always seen it.
void CNeloRecApp::ExitInstance() {
    if (rtvad* worker = g_pRecorder.load()) {
        worker->Post(WM_RECORDER_QUIT, 0, 0);
        Sleep(100);
    }
}

rtvad* EnsureWorker() {
    if (rtvad* worker = g_pRecorder.load()) return worker;
    // A reference for the worker's thread: its code must stay mapped until
    // the thread has ended, which FreeLibraryAndExitThread guarantees.
    HMODULE pinned = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(&EnsureWorker), &pinned))
        pinned = nullptr;
    SettingsSnapshot settings{g_nNoVoiceTime.load(), g_nTailSilenceTime.load(), g_nMaxRecordTime.load(),
                              g_bAutoStopEN.load()};
    bool threadStarted = false;
    rtvad* worker = rtvad::Create(settings, pinned, &threadStarted);
    if (!worker) {
        if (pinned && !threadStarted) FreeLibrary(pinned);
        return nullptr;
    }
    g_pRecorder = worker;
    return worker;
}

}  // namespace nelo::rec

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        nelo::rec::theApp.InitInstance(instance);
        break;
    case DLL_PROCESS_DETACH:
        nelo::rec::theApp.ExitInstance();
        break;
    default:
        break;
    }
    return TRUE;
}
