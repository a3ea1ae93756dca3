// A scoped exclusive hold of an SRW lock (the recording pieces pair it with a
// condition variable, which a critical section would not suit as well).
#pragma once
#include <windows.h>

class CSrwExclusive {
public:
    explicit CSrwExclusive(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~CSrwExclusive() { ReleaseSRWLockExclusive(&m_lock); }
    CSrwExclusive(const CSrwExclusive&) = delete;
    CSrwExclusive& operator=(const CSrwExclusive&) = delete;
    SRWLOCK& Lock() { return m_lock; }

private:
    SRWLOCK& m_lock;
};
