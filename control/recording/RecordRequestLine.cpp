#include "RecordRequestLine.h"

#include "SrwGuard.h"

UINT_PTR CRecordRequestLine::TakeNumber() {
    CSrwExclusive hold(m_lock);
    return ++m_nLastTaken;
}

void CRecordRequestLine::WaitTurn(UINT_PTR number) {
    CSrwExclusive hold(m_lock);
    while (m_nDoneThrough + 1 < number) SleepConditionVariableSRW(&m_advanced, &m_lock, INFINITE, 0);
}

void CRecordRequestLine::Finish(UINT_PTR number) {
    {
        CSrwExclusive hold(m_lock);
        if (number <= m_nDoneThrough) return;
        m_doneAhead.insert(number);
        while (!m_doneAhead.empty() && *m_doneAhead.begin() == m_nDoneThrough + 1) {
            m_doneAhead.erase(m_doneAhead.begin());
            ++m_nDoneThrough;
        }
    }
    WakeAllConditionVariable(&m_advanced);
}

bool CRecordRequestLine::WaitAllFinished(DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    CSrwExclusive hold(m_lock);
    const UINT_PTR target = m_nLastTaken;  // later begins are not waited for
    while (m_nDoneThrough < target) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        SleepConditionVariableSRW(&m_advanced, &m_lock, static_cast<DWORD>(deadline - now), 0);
    }
    return true;
}

CRecordRequestLine& RecordRequests() {
    // Never destroyed: record threads may still be finishing while the process ends.
    static CRecordRequestLine* const line = new CRecordRequestLine;
    return *line;
}
