#include "WorkerThread.h"

#include "Module.h"

namespace nelo {
namespace {

volatile LONG g_running = 0;

// A load reference on the module that contains this code (the DLL, or the test executable
// that links it statically).
HMODULE PinOwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(&PinOwnModule), &module);
    return module;
}

}  // namespace

bool WorkerThread::Start(WorkerThread* job) {
    if (!job) return false;
    LockModule();
    InterlockedIncrement(&g_running);
    HANDLE thread = CreateThread(nullptr, 0, &WorkerThread::ThreadMain, job, 0, nullptr);
    if (!thread) {
        InterlockedDecrement(&g_running);
        UnlockModule();
        delete job;
        return false;
    }
    CloseHandle(thread);
    return true;
}

LONG WorkerThread::RunningCount() { return InterlockedCompareExchange(&g_running, 0, 0); }

DWORD WINAPI WorkerThread::ThreadMain(void* param) {
    HMODULE pinned = PinOwnModule();
    auto* job = static_cast<WorkerThread*>(param);
    try {
        job->Run();
    } catch (...) {
        // A job's failure must not end the host process; the job reports through its own means.
    }
    delete job;
    InterlockedDecrement(&g_running);
    UnlockModule();
    if (pinned) FreeLibraryAndExitThread(pinned, 0);
    return 0;
}

}  // namespace nelo
