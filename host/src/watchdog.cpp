#include "watchdog.h"

#include <string>

#include "console_out.h"

CWatchdog::CWatchdog(CRunState& state, DWORD timeoutMs, DWORD graceMs)
    : m_state(state), m_timeoutMs(timeoutMs), m_graceMs(graceMs),
      m_hFinished(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&m_engineLock);
}

CWatchdog::~CWatchdog() {
    SetEvent(m_hFinished);
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
    CloseHandle(m_hFinished);
    DeleteCriticalSection(&m_engineLock);
}

void CWatchdog::SetEngine(IActiveScript* engine) {
    EnterCriticalSection(&m_engineLock);
    m_engine = engine;
    LeaveCriticalSection(&m_engineLock);
}

bool CWatchdog::Start() {
    m_hThread = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    return m_hThread != nullptr;
}

DWORD WINAPI CWatchdog::ThreadMain(LPVOID self) {
    static_cast<CWatchdog*>(self)->Watch();
    return 0;
}

void CWatchdog::Watch() {
    HANDLE handles[2] = {m_hFinished, m_state.StopEvent()};
    DWORD r = WaitForMultipleObjects(2, handles, FALSE, m_timeoutMs);
    if (r == WAIT_OBJECT_0) return;
    if (r == WAIT_TIMEOUT) {
        if (m_state.RequestStop(EStopReason::Timeout, kExitTimeout))
            WriteLine(EStream::Err, L"NeloHost: timeout: the script was still running after " +
                                        (m_timeoutMs % 1000 ? std::to_wstring(m_timeoutMs) + L" ms"
                                                            : std::to_wstring(m_timeoutMs / 1000) + L" s"));
        // The engines document this call as safe from any thread; it ends a
        // script that is busy in its own code rather than in a host call.
        EnterCriticalSection(&m_engineLock);
        if (m_engine) {
            EXCEPINFO e = {};
            m_engine->InterruptScriptThread(SCRIPTTHREADID_BASE, &e, 0);
        }
        LeaveCriticalSection(&m_engineLock);
    }
    if (WaitForSingleObject(m_hFinished, m_graceMs) == WAIT_OBJECT_0) return;
    WriteLine(EStream::Err, L"NeloHost: the script did not stop; ending the process");
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(m_state.ExitCode()));
}
