// Score jobs against the engine test double: what each job hands the engine, on which
// thread, the one notification it posts, the score list's newest-first lookup, and jobs that
// outlive their control.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "ControlWithFakeEngine.h"
#include "Module.h"
#include "NeloRecognitionApp.h"
#include "WorkerThread.h"
#include "folders/WorkFolders.h"

namespace {

const DWORD kWait = 30000;  // generous: a loaded machine may be slow to start threads

class ScoreJobsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakePs_Reset();
        FakePs_SetResult("PsGetSessionErrCode", 31);
        m_logStart = LogSize();
        m_ctrl.reset(new ControlWithFakeEngine());
    }
    void TearDown() override {
        FakePs_Release("PsSoundByPoint");
        FakePs_Release("PsSoundByName");
        m_ctrl.reset();
        // No job of this test may run into the next one.
        EXPECT_TRUE(PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait));
    }
    std::string CloseAndReadLog() {
        m_ctrl.reset();
        PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait);
        return LogSince(m_logStart);
    }
    CNeloRecognitionCtrl& Ctrl() { return m_ctrl->Ctrl(); }
    const std::vector<ScoreEvent>& Events() { return m_ctrl->ScoreEvents(); }
    bool WaitEvents(size_t n) {
        return PumpUntil([&] { return Events().size() >= n; }, kWait);
    }
    LONG ScoreHex(LONG session, const wchar_t* hex, ULONG offset = 0, LONG len = 0) {
        BSTR s = SysAllocString(hex);
        LONG r = Ctrl().OcxScoreSoundByStr(session, s, offset, len);
        SysFreeString(s);
        return r;
    }

    size_t m_logStart = 0;
    std::unique_ptr<ControlWithFakeEngine> m_ctrl;
};

TEST_F(ScoreJobsTest, LengthZeroOrLessReachesTheEngineAsMinusOne) {
    struct Row { ULONG offset; LONG len; LONG engineLen; } rows[] = {
        {0, 0, -1}, {7, -5, -1}, {0xFFFFFFFFu, 4000, 4000}, {250, 1, 1},
    };
    size_t n = 0;
    for (const Row& r : rows) {
        ASSERT_EQ(1, ScoreHex(9, L"0102", r.offset, r.len));
        ASSERT_TRUE(WaitEvents(++n));
        FAKEPSCALL call = CallsOf("PsSoundByPoint").back();
        EXPECT_EQ(static_cast<int64_t>(r.offset), call.args[0]) << r.len;
        EXPECT_EQ(r.engineLen, call.args[1]) << r.len;
    }
}

TEST_F(ScoreJobsTest, BytesReachTheEngineOnAThreadOfTheirOwn) {
    ScriptArrayArg arg({1, 2, 255});
    ASSERT_EQ(1, Ctrl().OcxScoreSoundByBuf(4, arg.Arg(), 0, 0));
    ASSERT_EQ(1, ScoreHex(4, L"0A1bFF"));
    ASSERT_TRUE(WaitEvents(2));
    std::vector<FAKEPSCALL> calls = CallsOf("PsSoundByPoint");
    ASSERT_EQ(2u, calls.size());
    for (const FAKEPSCALL& c : calls) {
        EXPECT_EQ(4, c.nSession);
        EXPECT_EQ(3u, c.nDataSize);
        EXPECT_NE(GetCurrentThreadId(), c.nThreadId);
    }
    EXPECT_NE(calls[0].nThreadId, calls[1].nThreadId);
    // Either order of arrival: compare as a set.
    std::map<int, std::string> bytes;
    for (const FAKEPSCALL& c : calls) bytes[c.data[0]] = std::string(reinterpret_cast<const char*>(c.data), 3);
    EXPECT_EQ(std::string("\x01\x02\xFF", 3), bytes[0x01]);
    EXPECT_EQ(std::string("\x0A\x1B\xFF", 3), bytes[0x0A]);
}

TEST_F(ScoreJobsTest, ByNameHandsTheEngineTheFullPathInTheRecordFolder) {
    BSTR name = SysAllocString(L"sub\\a.wav");
    ASSERT_EQ(1, Ctrl().OcxScoreSoundByName(6, name, 10, 20));
    SysFreeString(name);
    ASSERT_TRUE(WaitEvents(1));
    FAKEPSCALL call = CallsOf("PsSoundByName").at(0);
    std::string expected;
    for (wchar_t ch : GetRecordTempDir(theApp.m_strWorkDir) + L"\\sub\\a.wav") expected += static_cast<char>(ch);
    EXPECT_EQ(expected, std::string(call.szText));
    EXPECT_EQ(10, call.args[0]);
    EXPECT_EQ(20, call.args[1]);
}

TEST_F(ScoreJobsTest, FailingEngineCallGivesOutcomeTwoAfterItsLine) {
    FakePs_SetResult("PsSoundByPoint", 0);
    FakePs_SetResult("PsSoundByName", 0);
    ASSERT_EQ(1, ScoreHex(12, L"00"));
    ASSERT_TRUE(WaitEvents(1));
    BSTR name = SysAllocString(L"b.wav");
    ASSERT_EQ(1, Ctrl().OcxScoreSoundByName(13, name, 0, 0));
    SysFreeString(name);
    ASSERT_TRUE(WaitEvents(2));
    EXPECT_EQ(12u, Events()[0].wParam);
    EXPECT_EQ(2, Events()[0].lParam);
    EXPECT_EQ(13u, Events()[1].wParam);
    EXPECT_EQ(2, Events()[1].lParam);
    EXPECT_EQ(2, Ctrl().OcxGetScoreState(13));
    // The code was asked on the job's thread, for the job's session.
    std::vector<FAKEPSCALL> codes = CallsOf("PsGetSessionErrCode");
    ASSERT_EQ(2u, codes.size());
    EXPECT_EQ(12, codes[0].nSession);
    EXPECT_EQ(CallsOf("PsSoundByPoint")[0].nThreadId, codes[0].nThreadId);
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, "PsSoundByPoint Failed! ERRCODE[31]")) << log;
    EXPECT_TRUE(HasLogLine(log, "PsSoundByName Failed! ERRCODE[31]")) << log;
}

// Refused requests start no job, leave the score list as it was and write their line.
struct RefusalCase {
    const char* label;
    std::function<LONG(CNeloRecognitionCtrl&)> call;
    const char* logLine;
};

class ScoreRefusalTest : public ScoreJobsTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(ScoreRefusalTest, NoJobAndTheListKept) {
    const RefusalCase& c = GetParam();
    Ctrl().OnScoreNotify(3, 1);  // an unread outcome
    EXPECT_EQ(0, c.call(Ctrl())) << c.label;
    EXPECT_EQ(0, nelo::WorkerThread::RunningCount());
    EXPECT_EQ(0, FakePs_CallCount());
    EXPECT_EQ(1, Ctrl().OcxGetScoreState(3)) << c.label;
    const std::string log = CloseAndReadLog();
    EXPECT_TRUE(HasLogLine(log, c.logLine)) << c.label << "\n" << log;
}

LONG ByName(CNeloRecognitionCtrl& c, const wchar_t* name) {
    BSTR s = name ? SysAllocString(name) : nullptr;
    LONG r = c.OcxScoreSoundByName(1, s, 0, 0);
    SysFreeString(s);
    return r;
}

const RefusalCase kRefusals[] = {
    {"empty array",
     [](CNeloRecognitionCtrl& c) {
         ScriptArrayArg arg({});
         return c.OcxScoreSoundByBuf(1, arg.Arg(), 0, 0);
     },
     "OcxScoreSoundByBuf: length of vData is incorrect!"},
    {"not an array",
     [](CNeloRecognitionCtrl& c) {
         VARIANT v;
         V_VT(&v) = VT_I4;
         V_I4(&v) = 1;
         return c.OcxScoreSoundByBuf(1, v, 0, 0);
     },
     "OcxScoreSoundByBuf: param of vData is incorrect!"},
    {"array element out of range",
     [](CNeloRecognitionCtrl& c) {
         ScriptArrayArg arg({1, 256});
         return c.OcxScoreSoundByBuf(1, arg.Arg(), 0, 0);
     },
     "OcxScoreSoundByBuf: param of vData is incorrect!"},
    {"empty hex string",
     [](CNeloRecognitionCtrl& c) {
         BSTR s = SysAllocString(L"");
         LONG r = c.OcxScoreSoundByStr(1, s, 0, 0);
         SysFreeString(s);
         return r;
     },
     "OcxScoreSoundByBuf: length of vData is incorrect!"},
    {"one hex digit", [](CNeloRecognitionCtrl& c) {
         BSTR s = SysAllocString(L"7");
         LONG r = c.OcxScoreSoundByStr(1, s, 0, 0);
         SysFreeString(s);
         return r;
     },
     "OcxScoreSoundByBuf: length of vData is incorrect!"},
    {"empty name", [](CNeloRecognitionCtrl& c) { return ByName(c, L""); },
     "OcxScoreSoundByName: param of strFileName is incorrect!"},
    {"null name", [](CNeloRecognitionCtrl& c) { return ByName(c, nullptr); },
     "OcxScoreSoundByName: param of strFileName is incorrect!"},
    {"climbing name", [](CNeloRecognitionCtrl& c) { return ByName(c, L"..\\..\\x.wav"); },
     "OcxScoreSoundByName: param of strFileName is incorrect!"},
    {"absolute name", [](CNeloRecognitionCtrl& c) { return ByName(c, L"C:\\windows\\win.ini"); },
     "OcxScoreSoundByName: param of strFileName is incorrect!"},
    {"too long a name", [](CNeloRecognitionCtrl& c) { return ByName(c, std::wstring(300, L'a').c_str()); },
     "OcxScoreSoundByName: param of strFileName is incorrect!"},
};
INSTANTIATE_TEST_SUITE_P(Requests, ScoreRefusalTest, ::testing::ValuesIn(kRefusals));

TEST_F(ScoreJobsTest, ScoreStateIsReadOnceAndZeroBeforeAnyOutcome) {
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(7));
    ASSERT_EQ(1, ScoreHex(7, L"11"));
    ASSERT_TRUE(WaitEvents(1));
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(8));
    EXPECT_EQ(1, Ctrl().OcxGetScoreState(7));
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(7));
}

TEST_F(ScoreJobsTest, TwoJobsOfOneSessionGiveTheLastArrivedOutcomeFirst) {
    FakePs_Hold("PsSoundByPoint");
    ASSERT_EQ(1, ScoreHex(7, L"01"));
    ASSERT_EQ(1, ScoreHex(7, L"02"));
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByPoint", 2, kWait));
    ASSERT_TRUE(FakePs_ReleaseOne("PsSoundByPoint", 0));  // first to arrive: failed
    ASSERT_TRUE(WaitEvents(1));
    ASSERT_TRUE(FakePs_ReleaseOne("PsSoundByPoint", 1));  // last to arrive: scored
    ASSERT_TRUE(WaitEvents(2));
    EXPECT_EQ(2, Events()[0].lParam);
    EXPECT_EQ(1, Events()[1].lParam);
    EXPECT_EQ(1, Ctrl().OcxGetScoreState(7));
    EXPECT_EQ(2, Ctrl().OcxGetScoreState(7));
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(7));
}

TEST_F(ScoreJobsTest, ANewJobDropsUnreadOutcomesOfEverySession) {
    ASSERT_EQ(1, ScoreHex(7, L"01"));
    ASSERT_TRUE(WaitEvents(1));
    FakePs_Hold("PsSoundByPoint");
    ASSERT_EQ(1, ScoreHex(8, L"02"));
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(7));  // its event had fired; the record is gone
    FakePs_Release("PsSoundByPoint");
    ASSERT_TRUE(WaitEvents(2));
    EXPECT_EQ(7u, Events()[0].wParam);
    EXPECT_EQ(1, Ctrl().OcxGetScoreState(8));
}

TEST_F(ScoreJobsTest, StateIsQueuedBeforeTheEventFires) {
    m_ctrl->ReadStateInHandler(true);
    FakePs_SetResult("PsSoundByPoint", 0);
    ASSERT_EQ(1, ScoreHex(21, L"01"));
    ASSERT_TRUE(WaitEvents(1));
    EXPECT_EQ(2, Events()[0].stateReadInHandler);
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(21));  // the handler took it
}

TEST_F(ScoreJobsTest, ThirtyTwoJobsOverSeveralSessionsAllNotifyOnce) {
    const int kJobs = 32, kSessions = 4;
    FakePs_Hold("PsSoundByPoint");
    for (int i = 0; i < kJobs; ++i) {
        wchar_t hex[8];
        swprintf(hex, 8, L"%02X", i);
        ASSERT_EQ(1, ScoreHex(100 + i % kSessions, hex)) << i;
    }
    // All 32 inside the engine at once before any finishes.
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByPoint", kJobs, kWait));
    for (int i = 0; i < kJobs; ++i) ASSERT_TRUE(FakePs_ReleaseOne("PsSoundByPoint", i % 3 == 0 ? 0 : 1));
    ASSERT_TRUE(WaitEvents(kJobs));
    EXPECT_TRUE(PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait));
    PumpUntil([] { return false; }, 200);  // nothing more may arrive
    ASSERT_EQ(static_cast<size_t>(kJobs), Events().size());

    std::map<ULONG, int> perSession;
    int failed = 0;
    for (const ScoreEvent& e : Events()) {
        ++perSession[e.wParam];
        failed += e.lParam == 2;
    }
    EXPECT_EQ(static_cast<size_t>(kSessions), perSession.size());
    for (auto& s : perSession) EXPECT_EQ(kJobs / kSessions, s.second) << s.first;
    EXPECT_EQ(11, failed);
    // Every outcome is queued; each session gives back its own, then 0.
    for (int s = 0; s < kSessions; ++s) {
        int read = 0;
        while (Ctrl().OcxGetScoreState(100 + s) != 0) ++read;
        EXPECT_EQ(kJobs / kSessions, read) << s;
    }
}

TEST_F(ScoreJobsTest, AJobKeepsTheModuleUntilItsThreadEnds) {
    const LONG before = nelo::GetModuleLockCount();
    FakePs_Hold("PsSoundByName");
    BSTR name = SysAllocString(L"a.wav");
    ASSERT_EQ(1, Ctrl().OcxScoreSoundByName(2, name, 0, 0));
    SysFreeString(name);
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByName", 1, kWait));
    m_ctrl->Destroy();  // the control's own count is gone; the job's remains
    EXPECT_EQ(S_FALSE, nelo::CanUnloadModuleNow());
    EXPECT_EQ(before, nelo::GetModuleLockCount());  // control -1, job +1
    FakePs_Release("PsSoundByName");
    ASSERT_TRUE(PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait));
    EXPECT_EQ(before - 1, nelo::GetModuleLockCount());
}

TEST_F(ScoreJobsTest, ControlDestroyedWhileItsJobRunsIsNeverReached) {
    FakePs_Hold("PsSoundByPoint");
    ASSERT_EQ(1, ScoreHex(44, L"0102"));
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByPoint", 1, kWait));
    m_ctrl.reset();  // destroyed while its job is inside the engine

    // A new control is alive when the old job ends: the outcome must not reach it.
    m_ctrl.reset(new ControlWithFakeEngine());
    FakePs_Release("PsSoundByPoint");
    ASSERT_TRUE(PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait));
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(0, Ctrl().OcxGetScoreState(44));
    EXPECT_EQ(1, FakePs_CountCalls("PsSoundByPoint"));
}

TEST_F(ScoreJobsTest, AThousandJobsLeaveNoThreadOrHandleBehind) {
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    const int kJobs = 1000;
    for (int i = 0; i < kJobs; ++i) {
        ASSERT_EQ(1, ScoreHex(1 + i % 5, L"A0A1A2A3"));
        if (i % 50 == 49) {
            ASSERT_TRUE(WaitEvents(static_cast<size_t>(i + 1)));
        }
    }
    ASSERT_TRUE(WaitEvents(kJobs));
    ASSERT_TRUE(PumpUntil([] { return nelo::WorkerThread::RunningCount() == 0; }, kWait));
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LT(static_cast<long>(handlesAfter) - static_cast<long>(handlesBefore), 20);
    EXPECT_EQ(static_cast<size_t>(kJobs), Events().size());
}

}  // namespace
