#include "RecordJobTable.h"

#include "NeloRec.h"
#include "SrwGuard.h"

namespace {

bool IsEndNotice(int32_t nClass, int32_t nCode) {
    return nClass == NOTIFY_CLASS_RECORD && (static_cast<uint32_t>(nCode) & REC_END_MASK) == REC_END_LOW;
}

}  // namespace

void CRecordJobTable::Add(UINT_PTR ticket, HWND target) {
    Job job{target, std::make_unique<nelo::ModuleLockHolder>()};
    CSrwExclusive lock(m_lock);
    m_jobs[ticket] = std::move(job);
}

void CRecordJobTable::Withdraw(UINT_PTR ticket) {
    std::unique_ptr<nelo::ModuleLockHolder> released;  // let go outside the lock
    CSrwExclusive lock(m_lock);
    auto it = m_jobs.find(ticket);
    if (it == m_jobs.end()) return;
    released = std::move(it->second.moduleHold);
    m_jobs.erase(it);
}

HWND CRecordJobTable::TakeNoticeTarget(UINT_PTR ticket, int32_t nClass, int32_t nCode) {
    std::map<UINT_PTR, Job> retired;  // module locks are given back after the lock is released
    HWND target = nullptr;
    {
        CSrwExclusive lock(m_lock);
        auto it = m_jobs.find(ticket);
        if (it == m_jobs.end()) return nullptr;
        target = it->second.target;
        // Earlier jobs will hear nothing more: the recorder has moved on to this one.
        auto firstKept = IsEndNotice(nClass, nCode) ? std::next(it) : it;
        retired.insert(std::make_move_iterator(m_jobs.begin()), std::make_move_iterator(firstKept));
        m_jobs.erase(m_jobs.begin(), firstKept);
    }
    return target;
}

size_t CRecordJobTable::Count() const {
    CSrwExclusive lock(m_lock);
    return m_jobs.size();
}

CRecordJobTable& RecordJobs() {
    // Never destroyed: the recorder's thread may still call in while the process ends.
    static CRecordJobTable* const table = new CRecordJobTable;
    return *table;
}
