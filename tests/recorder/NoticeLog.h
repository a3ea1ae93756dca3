// Collects the notices of one request (its PS_NOTIFYPROC user pointer is the
// log itself) and lets the test wait for them with generous limits.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "NeloRec.h"

namespace nelo::rec::test {

struct Notice {
    int32_t nClass;
    int32_t nCode;
    DWORD threadId;
};

class NoticeLog {
public:
    NoticeLog() {
        InitializeCriticalSection(&m_lock);
        InitializeConditionVariable(&m_changed);
    }
    ~NoticeLog() { DeleteCriticalSection(&m_lock); }
    NoticeLog(const NoticeLog&) = delete;
    NoticeLog& operator=(const NoticeLog&) = delete;

    static int32_t PSREC_API Proc(void* user, int32_t nClass, int32_t nCode) {
        auto* self = static_cast<NoticeLog*>(user);
        EnterCriticalSection(&self->m_lock);
        self->m_notices.push_back({nClass, nCode, GetCurrentThreadId()});
        LeaveCriticalSection(&self->m_lock);
        WakeAllConditionVariable(&self->m_changed);
        return 0;
    }

    std::vector<Notice> Snapshot() {
        EnterCriticalSection(&m_lock);
        auto copy = m_notices;
        LeaveCriticalSection(&m_lock);
        return copy;
    }

    std::vector<int32_t> Codes() {
        std::vector<int32_t> codes;
        for (const auto& n : Snapshot()) codes.push_back(n.nCode);
        return codes;
    }

    // Waits until `done` holds for the notices so far, or the limit passes.
    bool WaitUntil(const std::function<bool(const std::vector<Notice>&)>& done, DWORD limitMs) {
        const DWORD start = GetTickCount();
        EnterCriticalSection(&m_lock);
        bool ok = done(m_notices);
        while (!ok) {
            const DWORD spent = GetTickCount() - start;
            if (spent >= limitMs) break;
            SleepConditionVariableCS(&m_changed, &m_lock, limitMs - spent);
            ok = done(m_notices);
        }
        LeaveCriticalSection(&m_lock);
        return ok;
    }

    bool WaitForCode(int32_t code, DWORD limitMs) {
        return WaitUntil(
            [code](const std::vector<Notice>& n) {
                for (const auto& x : n)
                    if (x.nCode == code) return true;
                return false;
            },
            limitMs);
    }

    // Waits for a recording's end notice (low 16 bits 4).
    bool WaitForEnd(DWORD limitMs) {
        return WaitUntil(
            [](const std::vector<Notice>& n) {
                for (const auto& x : n)
                    if ((x.nCode & REC_END_MASK) == REC_END_LOW) return true;
                return false;
            },
            limitMs);
    }

private:
    CRITICAL_SECTION m_lock;
    CONDITION_VARIABLE m_changed;
    std::vector<Notice> m_notices;
};

}  // namespace nelo::rec::test
