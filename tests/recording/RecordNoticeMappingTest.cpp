// What the control makes of each recorder notice: codes 1 to 3 pass through with all 32
// bits, end codes become states 4 to 7, anything else is ignored or logged.
#include <gtest/gtest.h>

#include "RecordNotice.h"

namespace {

struct NoticeCase {
    WPARAM noticeClass;
    DWORD code;
    RecordNoticeDecision::Action action;
    DWORD state;
    const wchar_t* logText;
};

const wchar_t kUnknownEnd[] = L"录音 - 未知结束";
const wchar_t kUnknownClass[] = L"录音 - 未知回调";

const NoticeCase kCases[] = {
    // Progress codes pass through unchanged, high bits included.
    {17, 1, RecordNoticeDecision::Queue, 1, nullptr},
    {17, 2, RecordNoticeDecision::Queue, 2, nullptr},
    {17, 3, RecordNoticeDecision::Queue, 3, nullptr},
    {17, 0x10002, RecordNoticeDecision::Queue, 0x10002, nullptr},
    {17, 0xFFFF0001u, RecordNoticeDecision::Queue, 0xFFFF0001u, nullptr},
    // End codes by their high half.
    {17, 0x00004, RecordNoticeDecision::Queue, 4, nullptr},
    {17, 0x10004, RecordNoticeDecision::Queue, 5, nullptr},
    {17, 0x20004, RecordNoticeDecision::Queue, 6, nullptr},
    {17, 0x30004, RecordNoticeDecision::Queue, 7, nullptr},
    {17, 0x40004, RecordNoticeDecision::LogOnly, 0, kUnknownEnd},
    {17, 0xFFFF0004u, RecordNoticeDecision::LogOnly, 0, kUnknownEnd},
    // Low part 0 or 5 and above: silently ignored.
    {17, 0, RecordNoticeDecision::Ignore, 0, nullptr},
    {17, 5, RecordNoticeDecision::Ignore, 0, nullptr},
    {17, 0x10000, RecordNoticeDecision::Ignore, 0, nullptr},
    {17, 0xFFFF, RecordNoticeDecision::Ignore, 0, nullptr},
    // Other classes, whatever the code (the play class too).
    {18, 1, RecordNoticeDecision::LogOnly, 0, kUnknownClass},
    {33, 1, RecordNoticeDecision::LogOnly, 0, kUnknownClass},
    {0, 4, RecordNoticeDecision::LogOnly, 0, kUnknownClass},
};

TEST(RecordNoticeMapping, EachNoticeGivesItsStateOrItsLine) {
    for (const NoticeCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "class " << c.noticeClass << " code 0x" << std::hex << c.code);
        // As RecordNotifyProc posts it: the 32-bit code widened without sign extension.
        const RecordNoticeDecision d = DecideRecordNotice(c.noticeClass, static_cast<LPARAM>(c.code));
        EXPECT_EQ(d.action, c.action);
        if (c.action == RecordNoticeDecision::Queue) {
            EXPECT_EQ(d.state, c.state);
        }
        if (c.logText) {
            ASSERT_NE(d.logText, nullptr);
            EXPECT_STREQ(d.logText, c.logText);
        }
    }
}

TEST(RecordNoticeMapping, OnlyTheLow32BitsOfTheMessageWordCount) {
    // A sign-extended code on a 64-bit LPARAM maps as its 32 bits do.
    const LPARAM signExtended = static_cast<LPARAM>(static_cast<int32_t>(0xFFFF0001u));
    const RecordNoticeDecision d = DecideRecordNotice(17, signExtended);
    EXPECT_EQ(d.action, RecordNoticeDecision::Queue);
    EXPECT_EQ(d.state, 0xFFFF0001u);
}

}  // namespace
