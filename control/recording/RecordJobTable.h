// The record jobs the recorder may still call back for, keyed by ticket.
//
// The recorder calls RecordNotifyProc with the user pointer handed in with each request,
// on its own thread, possibly after the control that asked has gone. So the user pointer
// is a ticket, never an object address: a notice whose ticket is no longer here is
// dropped, and nothing the recorder holds can ever point at freed memory. A job keeps
// the module loaded (a module lock) and knows only the window to post to.
//
// A job retires at its last notice: its end code (4 in the low 16 bits), or any notice of
// a later ticket, since the recorder finishes one recording, with its end notice if it
// has one, before it reports on the next. Tickets therefore must follow the order in
// which requests reach the recorder (CRecordRequestLine sees to that).
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "Module.h"

class CRecordJobTable {
public:
    CRecordJobTable() = default;
    CRecordJobTable(const CRecordJobTable&) = delete;
    CRecordJobTable& operator=(const CRecordJobTable&) = delete;

    // A job whose notices go to `target`. Tickets are non-zero and never reused.
    void Add(UINT_PTR ticket, HWND target);
    // The request was never made or was refused: no notice will come.
    void Withdraw(UINT_PTR ticket);
    // The window a notice goes to; null when the notice is to be dropped (unknown or
    // retired ticket, or a job without a window). Retires what this notice ends.
    HWND TakeNoticeTarget(UINT_PTR ticket, int32_t nClass, int32_t nCode);

    size_t Count() const;

private:
    struct Job {
        HWND target;
        std::unique_ptr<nelo::ModuleLockHolder> moduleHold;
    };

    mutable SRWLOCK m_lock = SRWLOCK_INIT;
    std::map<UINT_PTR, Job> m_jobs;
};

// The module's one table (the recorder is one per process).
CRecordJobTable& RecordJobs();
