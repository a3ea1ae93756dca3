// Record requests reach the recorder in the order the script asked for them.
//
// Each OcxBeginRecord takes a number on the control's thread; its record thread makes
// the request only when every lower number is done. Without this two quick begins could
// reach the recorder the other way round, and the recording the script started last
// would be the one cancelled. Cancel and stop wait for the line to drain, so they reach
// the recorder after the request they were meant for instead of being wiped out by it.
#pragma once
#include <windows.h>

#include <set>

class CRecordRequestLine {
public:
    CRecordRequestLine() = default;
    CRecordRequestLine(const CRecordRequestLine&) = delete;
    CRecordRequestLine& operator=(const CRecordRequestLine&) = delete;

    // The next number, from 1; never reused.
    UINT_PTR TakeNumber();
    // Blocks until every lower number is done.
    void WaitTurn(UINT_PTR number);
    // The number's request has been made, or will never be (its thread did not start).
    // Numbers may be finished out of order; the line advances over them in order.
    void Finish(UINT_PTR number);
    // True once every number taken so far is done; false after timeoutMs.
    bool WaitAllFinished(DWORD timeoutMs);

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_advanced = CONDITION_VARIABLE_INIT;
    UINT_PTR m_nLastTaken = 0;
    UINT_PTR m_nDoneThrough = 0;          // every number up to this one is done
    std::set<UINT_PTR> m_doneAhead;       // done, but a lower number is not yet
};

// The module's one line (the recorder is one per process).
CRecordRequestLine& RecordRequests();
