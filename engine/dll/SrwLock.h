// Slim reader/writer lock with scoped holders.
#pragma once
#include <windows.h>

namespace nelo {

class SrwLock {
public:
    SrwLock() { InitializeSRWLock(&lock_); }
    SrwLock(const SrwLock&) = delete;
    SrwLock& operator=(const SrwLock&) = delete;
    SRWLOCK* get() { return &lock_; }

private:
    SRWLOCK lock_;
};

class ExclusiveHold {
public:
    explicit ExclusiveHold(SrwLock& l) : l_(l) { AcquireSRWLockExclusive(l_.get()); }
    ~ExclusiveHold() { ReleaseSRWLockExclusive(l_.get()); }
    ExclusiveHold(const ExclusiveHold&) = delete;
    ExclusiveHold& operator=(const ExclusiveHold&) = delete;

private:
    SrwLock& l_;
};

class SharedHold {
public:
    explicit SharedHold(SrwLock& l) : l_(l) { AcquireSRWLockShared(l_.get()); }
    ~SharedHold() { ReleaseSRWLockShared(l_.get()); }
    SharedHold(const SharedHold&) = delete;
    SharedHold& operator=(const SharedHold&) = delete;

private:
    SrwLock& l_;
};

}  // namespace nelo
