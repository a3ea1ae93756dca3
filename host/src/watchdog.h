// Bounds a run in time. After --timeout seconds it reports, asks the run to
// stop and interrupts the engine; once a stop is decided (also by host.Quit
// or an error), the script gets a grace period to unwind, and a script that
// will not (a loop that never calls the host) ends with the process.
#pragma once

#include <windows.h>
#include <activscp.h>

#include "run_state.h"

class CWatchdog {
public:
    CWatchdog(CRunState& state, DWORD timeoutMs, DWORD graceMs);
    ~CWatchdog();  // tells the thread the run has finished and waits for it
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

    bool Start();
    // The engine to interrupt on a timeout. Clearing it waits for an
    // interruption in progress, so the engine can then be closed safely.
    void SetEngine(IActiveScript* engine);

private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    void Watch();

    CRunState& m_state;
    DWORD m_timeoutMs;
    DWORD m_graceMs;
    CRITICAL_SECTION m_engineLock;
    IActiveScript* m_engine = nullptr;
    HANDLE m_hFinished;
    HANDLE m_hThread = nullptr;
};
