// The first control of a process prepares the folders and opens the log with its start
// banner; later controls only count; the last one writes the end banner.
#include <gtest/gtest.h>

#include <regex>

#include "ControlTestSupport.h"
#include "Module.h"
#include "NeloRecognitionApp.h"

namespace {

using test::ReadLogLines;

const std::string kStart = "=============================Start=============================";
const std::string kEnd = "=============================End=============================";

bool IsInfoLine(const std::string& line, const std::string& text) {
    static const std::regex stamp(R"(^\d{4}-(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)-\d{2} \d{2}:\d{2}:\d{2}\(INFO\))");
    std::smatch m;
    return std::regex_search(line, m, stamp) && line.substr(m.length()) == text;
}

size_t CountInfo(const std::vector<std::string>& lines, const std::string& text) {
    size_t n = 0;
    for (auto& l : lines) n += IsInfoLine(l, text) ? 1 : 0;
    return n;
}

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(theApp.m_nInstanceCount, 0) << "a control of an earlier test is still alive";
        test::RemoveTree(test::WorkDir());
        test::TakeMessageBoxes();
    }
};

TEST_F(LifecycleTest, FirstSecondAndLastControlsShareOneSetUpAndOneTearDown) {
    // A file where the working folder belongs is replaced by the folder.
    test::WriteFileText(test::WorkDir(), "not a folder");

    test::Control first = test::CreateControl();
    ASSERT_TRUE(first.dispatch);
    EXPECT_EQ(theApp.m_nInstanceCount, 1);
    EXPECT_TRUE(test::PathIsFolder(test::WorkDir()));
    EXPECT_TRUE(test::PathIsFolder(test::RecordTempDir()));
    std::vector<std::string> lines = ReadLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsInfoLine(lines[0], kStart)) << lines[0];
    EXPECT_EQ(test::Utf8(theApp.m_strWorkDir).substr(0, test::Utf8(test::TempRoot()).size()), test::Utf8(test::TempRoot()));

    // A second control while the first lives: no folder work, no banner.
    test::WriteFileText(test::RecordTempDir() + L"\\left-over.wav", "RIFF");
    test::Control second = test::CreateControl();
    EXPECT_EQ(theApp.m_nInstanceCount, 2);
    EXPECT_TRUE(test::PathIsFile(test::RecordTempDir() + L"\\left-over.wav"));
    EXPECT_EQ(ReadLogLines().size(), 1u);

    // Destroying the first of two: no end banner.
    first = test::Control();
    EXPECT_EQ(theApp.m_nInstanceCount, 1);
    EXPECT_EQ(CountInfo(ReadLogLines(), kEnd), 0u);

    // The last one: the end banner closes the log.
    second = test::Control();
    EXPECT_EQ(theApp.m_nInstanceCount, 0);
    lines = ReadLogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsInfoLine(lines[1], kEnd)) << lines[1];
    EXPECT_TRUE(test::TakeMessageBoxes().empty());
}

TEST_F(LifecycleTest, ANewFirstControlEmptiesTheRecordFolderAgainAndAppendsToTheLog) {
    { test::Control once = test::CreateControl(); }
    test::WriteFileText(test::RecordTempDir() + L"\\a.wav", "x");
    test::WriteFileText(test::RecordTempDir() + L"\\SND1A.tmp", "");
    CreateDirectoryW((test::RecordTempDir() + L"\\keep").c_str(), nullptr);
    test::WriteFileText(test::RecordTempDir() + L"\\keep\\inner.txt", "stays");

    test::Control again = test::CreateControl();
    EXPECT_FALSE(test::PathIsFile(test::RecordTempDir() + L"\\a.wav"));
    EXPECT_FALSE(test::PathIsFile(test::RecordTempDir() + L"\\SND1A.tmp"));
    EXPECT_TRUE(test::PathIsFile(test::RecordTempDir() + L"\\keep\\inner.txt"));
    again = test::Control();

    const std::vector<std::string> lines = ReadLogLines();
    ASSERT_EQ(lines.size(), 4u);  // Start, End, Start, End: earlier content kept
    EXPECT_TRUE(IsInfoLine(lines[0], kStart));
    EXPECT_TRUE(IsInfoLine(lines[1], kEnd));
    EXPECT_TRUE(IsInfoLine(lines[2], kStart));
    EXPECT_TRUE(IsInfoLine(lines[3], kEnd));
}

TEST_F(LifecycleTest, ALogThatCannotBeOpenedIsReportedOnceAndTheControlsStillWork) {
    CreateDirectoryW(test::WorkDir().c_str(), nullptr);
    CreateDirectoryW(test::LogPath().c_str(), nullptr);  // a folder where the log file should be

    test::Control first = test::CreateControl();
    test::Control second = test::CreateControl();
    std::vector<test::ShownBox> boxes = test::TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    // The temporary path keeps its backslash and "\NeloRecognition" adds one: the file
    // system reads the double backslash as one.
    EXPECT_EQ(boxes[0].text, L"Open logfile failed:" + test::TempRoot() + L"\\NeloRecognition\\NeloRecognition.log\n");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(test::CallLong(first.dispatch.Get(), L"OcxGetRecordState"), 0);
    first = test::Control();
    second = test::Control();
    EXPECT_TRUE(test::TakeMessageBoxes().empty());

    // The next first control tries again, and succeeds once the obstacle is gone.
    RemoveDirectoryW(test::LogPath().c_str());
    { test::Control later = test::CreateControl(); }
    EXPECT_TRUE(test::TakeMessageBoxes().empty());
    EXPECT_EQ(CountInfo(ReadLogLines(), kStart), 1u);
}

TEST_F(LifecycleTest, AThousandControlsComeAndGoWithoutLeakingHandlesOrWindows) {
    // The next free handle value: handle tables hand out the lowest free slot, so handles
    // leaked by the loop would push it up by about one slot each.
    auto nextHandle = [] {
        HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        CloseHandle(probe);
        return reinterpret_cast<ULONG_PTR>(probe);
    };
    { test::Control warmUp = test::CreateControl(); }
    const ULONG_PTR before = nextHandle();
    for (int i = 0; i < 1000; ++i) {
        test::Control c = test::CreateControl();
        ASSERT_NE(c.object->NotifyWindow(), nullptr);
        PostMessageW(c.object->NotifyWindow(), WM_RECORD_NOTIFY, 17, 1);
        test::PumpPending();
        ASSERT_EQ(test::CallLong(c.dispatch.Get(), L"OcxGetRecordState"), 1);
    }
    // The system's own caches move it a little; a leak per control would add a thousand slots.
    EXPECT_LT(nextHandle(), before + 50 * sizeof(void*));
    EXPECT_EQ(nelo::GetModuleLockCount(), 0);  // no control object left behind
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, CNeloRecognitionCtrl::kNotifyWindowClass, nullptr), nullptr);
    EXPECT_EQ(theApp.m_nInstanceCount, 0);
    EXPECT_EQ(CountInfo(ReadLogLines(), kStart), 1001u);
}

}  // namespace
