// The log file as other programs see it: exact bytes, appending, buffering,
// sharing, and what happens when it cannot be opened.
#include "LogTestSupport.h"

#include <gtest/gtest.h>

using namespace logtest;

namespace {

class LogFile : public ::testing::Test {
protected:
    void SetUp() override { m_previousClock = SetLogClock(FixedClock); }
    void TearDown() override {
        CloseLog();
        SetLogClock(m_previousClock);
    }

    CScratchFolder m_folder;
    std::wstring m_path = m_folder / L"NeloRecognition.log";
    LogClock m_previousClock = nullptr;
};

TEST_F(LogFile, SessionWritesBannersAroundErrorLines) {
    ASSERT_TRUE(OpenLog(m_path));
    EXPECT_TRUE(LogError(L"DeleteFile Failed!"));
    EXPECT_TRUE(LogError(L"PsResetSession Failed!"));
    CloseLog();
    EXPECT_EQ(StartLine() + Line("(ERROR)", "DeleteFile Failed!") + Line("(ERROR)", "PsResetSession Failed!") +
                  EndLine(),
              ReadAll(m_path));
}

TEST_F(LogFile, AppendsToEarlierContentAndEverySessionAddsAPair) {
    ASSERT_TRUE(WriteAll(m_path, "earlier line\r\n", CREATE_NEW));
    for (int session = 0; session < 2; ++session) {
        ASSERT_TRUE(OpenLog(m_path));
        CloseLog();
    }
    EXPECT_EQ("earlier line\r\n" + StartLine() + EndLine() + StartLine() + EndLine(), ReadAll(m_path));
}

TEST_F(LogFile, SecondOpenIsRefusedAndAddsNoBanner) {
    ASSERT_TRUE(OpenLog(m_path));
    EXPECT_FALSE(OpenLog(m_path));
    EXPECT_FALSE(OpenLog(m_folder / L"other.log"));
    EXPECT_FALSE(Exists(m_folder / L"other.log"));
    CloseLog();
    CloseLog();  // a closed log ignores a second close
    EXPECT_EQ(StartLine() + EndLine(), ReadAll(m_path));
}

TEST_F(LogFile, UnopenableFileLeavesEveryOperationQuiet) {
    const std::wstring paths[] = {m_folder / L"missing-folder\\NeloRecognition.log", L"", m_folder.path()};
    for (const std::wstring& path : paths) {
        EXPECT_FALSE(OpenLog(path)) << path.c_str();
        EXPECT_FALSE(LogError(L"x"));
        EXPECT_FALSE(LogInfo(L"x"));
        CloseLog();
    }
    EXPECT_FALSE(Exists(m_folder / L"missing-folder"));
    // A failed open does not stop the next first control from opening.
    ASSERT_TRUE(OpenLog(m_path));
    CloseLog();
    EXPECT_EQ(StartLine() + EndLine(), ReadAll(m_path));
}

TEST_F(LogFile, ErrorLinesWaitForAnInfoLineOrTheClose) {
    ASSERT_TRUE(OpenLog(m_path));
    ASSERT_TRUE(LogError(L"first"));
    EXPECT_EQ(StartLine(), ReadAll(m_path));
    ASSERT_TRUE(LogInfo(L"info"));
    EXPECT_EQ(StartLine() + Line("(ERROR)", "first") + Line("(INFO)", "info"), ReadAll(m_path));
    ASSERT_TRUE(LogError(L"second"));
    CloseLog();
    EXPECT_EQ(StartLine() + Line("(ERROR)", "first") + Line("(INFO)", "info") + Line("(ERROR)", "second") +
                  EndLine(),
              ReadAll(m_path));
}

// When the buffer fills, what reaches the disk ends with a whole line, and
// a line larger than the buffer arrives whole.
TEST_F(LogFile, FullBufferWritesWholeLinesOnly) {
    ASSERT_TRUE(OpenLog(m_path));
    std::string expected = StartLine();
    for (int i = 0; i < 200; ++i) {
        const std::string text = "error number " + std::to_string(i);
        ASSERT_TRUE(LogError(std::wstring(text.begin(), text.end())));
        expected += Line("(ERROR)", text);
        const std::string onDisk = ReadAll(m_path);
        ASSERT_EQ(0u, expected.compare(0, onDisk.size(), onDisk)) << "line " << i;
        ASSERT_EQ("\r\n", onDisk.substr(onDisk.size() - 2));
    }
    EXPECT_GT(ReadAll(m_path).size(), StartLine().size());
    const std::string big(3 * 4096, 'z');
    ASSERT_TRUE(LogError(std::wstring(big.begin(), big.end())));
    expected += Line("(ERROR)", big);
    const std::string onDisk = ReadAll(m_path);
    EXPECT_EQ(expected, onDisk);
    CloseLog();
}

// Another process appending to the same file between our lines (a second
// browser, say) must not be overwritten by them.
TEST_F(LogFile, SharesTheFileWithAnotherWriter) {
    ASSERT_TRUE(OpenLog(m_path));
    ASSERT_TRUE(WriteAll(m_path, "other writer\r\n", OPEN_EXISTING));
    ASSERT_TRUE(LogInfo(L"ours"));
    ASSERT_TRUE(WriteAll(m_path, "other again\r\n", OPEN_EXISTING));
    CloseLog();
    EXPECT_EQ(StartLine() + "other writer\r\n" + Line("(INFO)", "ours") + "other again\r\n" + EndLine(),
              ReadAll(m_path));
}

TEST_F(LogFile, LineWithoutClockHasAnEmptyStamp) {
    ASSERT_TRUE(OpenLog(m_path));
    SetLogClock(BrokenClock);
    ASSERT_TRUE(LogInfo(L"x"));
    SetLogClock(FixedClock);
    CloseLog();
    EXPECT_EQ(StartLine() + "(INFO)x\r\n" + EndLine(), ReadAll(m_path));
}

TEST_F(LogFile, WritesTextBeyondAsciiAsUtf8) {
    ASSERT_TRUE(OpenLog(m_path));
    ASSERT_TRUE(LogError(L"\u521b\u5efa\u76ee\u5f55\u5931\u8d25\uff1a" L"C:\\caf\u00e9"));
    CloseLog();
    EXPECT_EQ(StartLine() +
                  Line("(ERROR)", "\xE5\x88\x9B\xE5\xBB\xBA\xE7\x9B\xAE\xE5\xBD\x95\xE5\xA4\xB1\xE8\xB4\xA5"
                                  "\xEF\xBC\x9A" "C:\\caf\xC3\xA9") +
                  EndLine(),
              ReadAll(m_path));
}

TEST_F(LogFile, RealClockStampsTheLocalTime) {
    SetLogClock(nullptr);
    SYSTEMTIME before;
    ::GetLocalTime(&before);
    ASSERT_TRUE(OpenLog(m_path));
    CloseLog();
    const std::string bytes = ReadAll(m_path);
    const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char datePart[16];
    snprintf(datePart, sizeof datePart, "%04d-%s-%02d ", before.wYear, months[before.wMonth - 1], before.wDay);
    // The day may turn between the two readings; only the layout matters then.
    ASSERT_GE(bytes.size(), 20u);
    if (bytes.compare(0, 12, datePart) != 0) {
        SYSTEMTIME after;
        ::GetLocalTime(&after);
        ASSERT_NE(before.wDay, after.wDay) << bytes;
    }
    EXPECT_EQ(':', bytes[14]);
    EXPECT_EQ(':', bytes[17]);
    EXPECT_EQ("(INFO)=============================Start=============================\r\n", bytes.substr(20, 71));
}

TEST_F(LogFile, ThousandSessionsLeakNoHandles) {
    DWORD before = 0, after = 0;
    ASSERT_TRUE(OpenLog(m_path));
    CloseLog();
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &before));
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(OpenLog(m_path));
        LogError(L"e");
        CloseLog();
    }
    ASSERT_TRUE(::GetProcessHandleCount(::GetCurrentProcess(), &after));
    EXPECT_EQ(before, after);
}

TEST(LogFormat, UsesTheWideConventionsOfThePlatform) {
    struct Case {
        std::wstring expected;
        std::wstring actual;
    } const cases[] = {
        {L"PsLoadNet Failed! ERRCODE[-3]", FormatMessageText(L"PsLoadNet Failed! ERRCODE[%d]", -3)},
        {L"Open logfile failed:C:\\t\\a.log\n", FormatMessageText(L"Open logfile failed:%s\n", L"C:\\t\\a.log")},
        {L"\u521b\u5efa\u76ee\u5f55\u5931\u8d25\uff1aD:\\x",
         FormatMessageText(L"\u521b\u5efa\u76ee\u5f55\u5931\u8d25\uff1a%s", L"D:\\x")},
        {L"narrow", FormatMessageText(L"%S", "narrow")},
        {L"000000FF|  7|x", FormatMessageText(L"%08X|%3u|%c", 255u, 7u, L'x')},
        {L"", FormatMessageText(L"")},
        {L"", FormatMessageText(nullptr)},
        {L"100%", FormatMessageText(L"%d%%", 100)},
    };
    for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
    const std::wstring longText(5000, L'q');
    EXPECT_EQ(L"[" + longText + L"]", FormatMessageText(L"[%s]", longText.c_str()));
}

}  // namespace
