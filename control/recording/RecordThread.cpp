#include "RecordThread.h"

#include <memory>

#include "RecordJobTable.h"
#include "RecordNotifyProc.h"
#include "RecordRequestLine.h"
#include "log/Log.h"

namespace {

// Marks the number done however the request ends, so later requests never wait forever.
class CTurnDone {
public:
    explicit CTurnDone(UINT_PTR number) : m_number(number) {}
    ~CTurnDone() { RecordRequests().Finish(m_number); }
    CTurnDone(const CTurnDone&) = delete;
    CTurnDone& operator=(const CTurnDone&) = delete;

private:
    UINT_PTR m_number;
};

}  // namespace

CRecordThread::CRecordThread(std::wstring fileName, RecordRequestFn request)
    : m_strFileName(std::move(fileName)), m_pfnRequest(request) {}

void CRecordThread::Run() { InitInstance(); }

BOOL CRecordThread::InitInstance() {
    CTurnDone done(m_nTicket);
    RecordRequests().WaitTurn(m_nTicket);
    const int32_t r = m_pfnRequest(m_strFileName.c_str(), RecordNotifyProc, reinterpret_cast<void*>(m_nTicket));
    if (r == 0) return TRUE;
    RecordJobs().Withdraw(m_nTicket);
    LogError(FormatMessageText(L"PS_RecordSentenceWithVad Failed! ERRCODE[%d]", static_cast<int>(r)));
    return FALSE;
}

bool StartRecordJob(const std::wstring& fileName, HWND target, RecordRequestFn request) {
    auto job = std::make_unique<CRecordThread>(fileName, request);  // may throw: nothing taken yet
    const UINT_PTR ticket = RecordRequests().TakeNumber();
    try {
        RecordJobs().Add(ticket, target);
    } catch (...) {
        RecordRequests().Finish(ticket);
        throw;
    }
    job->m_nTicket = ticket;
    if (nelo::WorkerThread::Start(job.release())) return true;  // Start deletes a job it cannot run
    RecordJobs().Withdraw(ticket);
    RecordRequests().Finish(ticket);
    return false;
}
