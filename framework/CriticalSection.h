// CRITICAL_SECTION with a scoped guard (the win32 thread model has no std::mutex).
#pragma once
#include <windows.h>

namespace nelo {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_cs); }
    ~CriticalSection() { DeleteCriticalSection(&m_cs); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&m_cs); }
    void Leave() { LeaveCriticalSection(&m_cs); }

private:
    CRITICAL_SECTION m_cs;
};

class LockGuard {
public:
    explicit LockGuard(CriticalSection& cs) : m_cs(cs) { m_cs.Enter(); }
    ~LockGuard() { m_cs.Leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    CriticalSection& m_cs;
};

}  // namespace nelo
