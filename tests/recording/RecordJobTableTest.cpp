// Which notices reach a window and when a job lets go of the module: a job lives until
// its end code or until the recorder reports on a later job; anything else is dropped.
#include <gtest/gtest.h>

#include "Module.h"
#include "NeloRec.h"
#include "RecordJobTable.h"

namespace {

HWND FakeWindow(int n) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x1000 + n)); }

class RecordJobTableTest : public testing::Test {
protected:
    void SetUp() override { m_locksBefore = nelo::GetModuleLockCount(); }
    LONG HeldLocks() const { return nelo::GetModuleLockCount() - m_locksBefore; }

    CRecordJobTable m_table;
    LONG m_locksBefore = 0;
};

TEST_F(RecordJobTableTest, EveryEndCodeIsTheJobsLastNotice) {
    const int32_t endCodes[] = {REC_END_SILENCE, REC_END_CANCEL, REC_END_NOVOICE, REC_END_STOP, 0x40004};
    UINT_PTR ticket = 1;
    for (int32_t end : endCodes) {
        SCOPED_TRACE(end);
        m_table.Add(ticket, FakeWindow(1));
        EXPECT_EQ(HeldLocks(), 1);
        EXPECT_EQ(m_table.TakeNoticeTarget(ticket, NOTIFY_CLASS_RECORD, REC_CAPTURING), FakeWindow(1));
        EXPECT_EQ(m_table.TakeNoticeTarget(ticket, NOTIFY_CLASS_RECORD, REC_VOICE), FakeWindow(1));
        EXPECT_EQ(m_table.TakeNoticeTarget(ticket, NOTIFY_CLASS_RECORD, end), FakeWindow(1));  // delivered...
        EXPECT_EQ(m_table.Count(), 0u);                                                          // ...then retired
        EXPECT_EQ(HeldLocks(), 0);
        EXPECT_EQ(m_table.TakeNoticeTarget(ticket, NOTIFY_CLASS_RECORD, end), nullptr);  // a repeat is dropped
        ++ticket;
    }
}

TEST_F(RecordJobTableTest, NoticesThatEndNothingKeepTheJob) {
    m_table.Add(7, FakeWindow(1));
    const struct { int32_t nClass, nCode; } kept[] = {
        {NOTIFY_CLASS_RECORD, 0}, {NOTIFY_CLASS_RECORD, 3}, {NOTIFY_CLASS_RECORD, 5}, {NOTIFY_CLASS_RECORD, 0x10005},
        {NOTIFY_CLASS_PLAY, 4},  // an end-like code of another class ends no recording
        {18, 0x10004}};
    for (const auto& n : kept) {
        SCOPED_TRACE(testing::Message() << n.nClass << "/" << n.nCode);
        EXPECT_EQ(m_table.TakeNoticeTarget(7, n.nClass, n.nCode), FakeWindow(1));  // the control decides
        EXPECT_EQ(m_table.Count(), 1u);
    }
    EXPECT_EQ(HeldLocks(), 1);
}

TEST_F(RecordJobTableTest, ANoticeOfALaterJobRetiresEveryEarlierOne) {
    // Jobs 1 and 2 never got an end notice (device or file failure); job 3 reports.
    m_table.Add(1, FakeWindow(1));
    m_table.Add(2, FakeWindow(2));
    m_table.Add(3, FakeWindow(3));
    m_table.Add(4, FakeWindow(4));
    EXPECT_EQ(HeldLocks(), 4);
    EXPECT_EQ(m_table.TakeNoticeTarget(3, NOTIFY_CLASS_RECORD, REC_CAPTURING), FakeWindow(3));
    EXPECT_EQ(m_table.Count(), 2u);
    EXPECT_EQ(HeldLocks(), 2);
    EXPECT_EQ(m_table.TakeNoticeTarget(1, NOTIFY_CLASS_RECORD, REC_END_CANCEL), nullptr);
    EXPECT_EQ(m_table.TakeNoticeTarget(2, NOTIFY_CLASS_RECORD, REC_VOICE), nullptr);
    // Job 4, asked for later, is untouched.
    EXPECT_EQ(m_table.TakeNoticeTarget(4, NOTIFY_CLASS_RECORD, REC_CAPTURING), FakeWindow(4));
    EXPECT_EQ(m_table.Count(), 1u);
    EXPECT_EQ(m_table.TakeNoticeTarget(4, NOTIFY_CLASS_RECORD, REC_END_STOP), FakeWindow(4));
    EXPECT_EQ(HeldLocks(), 0);
}

TEST_F(RecordJobTableTest, WithdrawnAndUnknownTicketsAreDropped) {
    m_table.Add(1, FakeWindow(1));
    m_table.Add(2, FakeWindow(2));
    m_table.Withdraw(2);
    m_table.Withdraw(2);   // twice: harmless
    m_table.Withdraw(99);  // never added: harmless
    EXPECT_EQ(HeldLocks(), 1);
    EXPECT_EQ(m_table.TakeNoticeTarget(2, NOTIFY_CLASS_RECORD, REC_CAPTURING), nullptr);
    EXPECT_EQ(m_table.TakeNoticeTarget(0, NOTIFY_CLASS_RECORD, REC_CAPTURING), nullptr);
    EXPECT_EQ(m_table.Count(), 1u);  // a dropped notice retires nothing
    m_table.Withdraw(1);
    EXPECT_EQ(HeldLocks(), 0);
}

TEST_F(RecordJobTableTest, AJobWithoutAWindowHoldsTheModuleButPostsNowhere) {
    m_table.Add(1, nullptr);
    EXPECT_EQ(m_table.TakeNoticeTarget(1, NOTIFY_CLASS_RECORD, REC_CAPTURING), nullptr);
    EXPECT_EQ(m_table.Count(), 1u);
    EXPECT_EQ(m_table.TakeNoticeTarget(1, NOTIFY_CLASS_RECORD, REC_END_NOVOICE), nullptr);
    EXPECT_EQ(m_table.Count(), 0u);
    EXPECT_EQ(HeldLocks(), 0);
}

}  // namespace
