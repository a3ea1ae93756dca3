// Library-level state of NeloRec: the recording defaults, the one worker, and
// the lock that serialises its creation and each request's group of posts.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "rtvad.h"

namespace nelo::rec {

extern std::atomic<rtvad*> g_pRecorder;           // null until the first request that needs it
extern std::atomic<int32_t> g_nNoVoiceTime;       // defaults copied into a new worker
extern std::atomic<int32_t> g_nTailSilenceTime;
extern std::atomic<int32_t> g_nMaxRecordTime;
extern std::atomic<int32_t> g_bAutoStopEN;
extern SRWLOCK g_requestLock;

class CNeloRecApp {
public:
    void InitInstance(HMODULE module);
    void ExitInstance();
    HMODULE Module() const { return m_hModule; }

private:
    HMODULE m_hModule = nullptr;
};

extern CNeloRecApp theApp;

// Returns the worker, creating it if needed; null if its thread cannot be
// started. Call with g_requestLock held exclusively.
rtvad* EnsureWorker();

class RequestLock {
public:
    RequestLock() { AcquireSRWLockExclusive(&g_requestLock); }
    ~RequestLock() { ReleaseSRWLockExclusive(&g_requestLock); }
    RequestLock(const RequestLock&) = delete;
    RequestLock& operator=(const RequestLock&) = delete;
};

}  // namespace nelo::rec
