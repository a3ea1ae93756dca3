// A job on a Win32 thread of its own. The job holds the module for its whole life: the
// module lock (DllCanUnloadNow answers S_FALSE while it runs) and a load reference that the
// thread gives back with FreeLibraryAndExitThread, so no instruction of the module runs
// after the module could have been unloaded.
//
// Jobs are self-deleting: Start hands the object to its thread, which deletes it when Run
// returns. Whoever must hear from a job gives it a window handle to post to, never a
// pointer to itself; a post to a destroyed window fails harmlessly.
#pragma once
#include <windows.h>

namespace nelo {

class WorkerThread {
public:
    WorkerThread() = default;
    virtual ~WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts job on a new thread and gives up ownership of it. False when the thread could
    // not be started; the job has then been deleted without running.
    static bool Start(WorkerThread* job);

    // Number of jobs started and not yet finished, process-wide (diagnostics and tests).
    static LONG RunningCount();

protected:
    virtual void Run() = 0;

private:
    static DWORD WINAPI ThreadMain(void* param);
};

}  // namespace nelo
