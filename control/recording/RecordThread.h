// One recording's hand-over to the recorder, made on a thread of its own so the script's
// call returns at once (the recorder's first request starts its worker and may wait).
//
// The thread ends as soon as the request has been made: what must outlive it until the
// recorder's last notice is the job in RecordJobs(), not the thread. So a thousand
// recordings leave no idle threads behind.
#pragma once
#include <windows.h>

#include <string>

#include "NeloRec.h"
#include "WorkerThread.h"

// PS_RecordSentenceWithVad, or a test's stand-in for the recorder.
using RecordRequestFn = int32_t(PSREC_API*)(const wchar_t* pszFile, PS_NOTIFYPROC pfnNotify, void* pUser);

class CRecordThread : public nelo::WorkerThread {
public:
    CRecordThread(std::wstring fileName, RecordRequestFn request);

    std::wstring m_strFileName;  // full path of the file to record
    UINT_PTR m_nTicket = 0;      // the job's ticket: the user pointer of its notices

protected:
    void Run() override;

private:
    // Waits for its turn, makes the request; FALSE when the recorder refused it (logged,
    // job withdrawn: no notice will come).
    BOOL InitInstance();

    RecordRequestFn m_pfnRequest;
};

// Registers a job whose notices go to `target` and starts its thread. False when the
// thread did not start; the job is then withdrawn and the caller reports the failure.
bool StartRecordJob(const std::wstring& fileName, HWND target, RecordRequestFn request);
