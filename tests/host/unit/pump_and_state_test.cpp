#include <gtest/gtest.h>

#include <windows.h>

#include "message_pump.h"
#include "run_state.h"
#include "watchdog.h"

namespace {

// Generous limits: these waits must pass on a loaded machine; they check
// what happens, not how fast.
constexpr DWORD kLongMs = 30000;

TEST(RunState, FirstStopDecidesTheOutcome) {
    CRunState state;
    EXPECT_FALSE(state.Stopping());
    EXPECT_EQ(state.Reason(), EStopReason::None);
    EXPECT_EQ(WaitForSingleObject(state.StopEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_TRUE(state.RequestStop(EStopReason::Quit, 7));
    EXPECT_FALSE(state.RequestStop(EStopReason::Timeout, kExitTimeout));
    EXPECT_FALSE(state.RequestStop(EStopReason::ScriptError, kExitScriptError));
    EXPECT_TRUE(state.Stopping());
    EXPECT_EQ(state.Reason(), EStopReason::Quit);
    EXPECT_EQ(state.ExitCode(), 7);
    EXPECT_EQ(WaitForSingleObject(state.StopEvent(), 0), static_cast<DWORD>(WAIT_OBJECT_0));

    std::wstring report;
    EXPECT_FALSE(state.TakePendingReport(report));
    state.SetPendingReport(L"ASSERT FAILED: x");
    EXPECT_TRUE(state.TakePendingReport(report));
    EXPECT_EQ(report, L"ASSERT FAILED: x");
    EXPECT_FALSE(state.TakePendingReport(report)) << "reported once";
}

// A window whose procedure records the posted values and, for one value,
// sets the stop event (as a script handler calling host.Quit would).
struct CRecorder {
    std::vector<WPARAM> seen;
    HANDLE stopOnSeven = nullptr;
};

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) {
        auto* r = reinterpret_cast<CRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        r->seen.push_back(wParam);
        if (wParam == 7 && r->stopOnSeven) SetEvent(r->stopOnSeven);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class PumpingWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecorderProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"NeloHostPumpTest";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_recorder));
        m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override {
        DestroyWindow(m_hwnd);
        CloseHandle(m_stop);
    }

    struct CPoster {
        HWND hwnd;
        std::vector<WPARAM> values;
        HANDLE setAfter = nullptr;  // set once everything is posted
    };
    static DWORD WINAPI PostFromThread(LPVOID p) {
        auto* poster = static_cast<CPoster*>(p);
        for (WPARAM v : poster->values) PostMessageW(poster->hwnd, WM_APP, v, 0);
        if (poster->setAfter) SetEvent(poster->setAfter);
        return 0;
    }
    void RunPoster(CPoster& poster) {
        HANDLE thread = CreateThread(nullptr, 0, PostFromThread, &poster, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        m_threads.push_back(thread);
    }
    void JoinPosters() {
        for (HANDLE t : m_threads) {
            WaitForSingleObject(t, kLongMs);
            CloseHandle(t);
        }
        m_threads.clear();
    }

    HWND m_hwnd = nullptr;
    HANDLE m_stop = nullptr;
    CRecorder m_recorder;
    std::vector<HANDLE> m_threads;
};

TEST_F(PumpingWaitTest, PassesTimeWhenNothingHappens) {
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(PumpingWait(nullptr, 50, m_stop), EWaitResult::TimedOut);
    EXPECT_GE(GetTickCount64() - start, 40u);  // tick granularity allows a little less
}

TEST_F(PumpingWaitTest, DispatchesMessagesPostedFromAnotherThreadWhileWaiting) {
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CPoster poster{m_hwnd, {1, 2, 3}, done};
    RunPoster(poster);
    EXPECT_EQ(PumpingWait(done, kLongMs, m_stop), EWaitResult::Signaled);
    // The last post may still be queued when `done` wins; a short pumping wait delivers it.
    for (int i = 0; i < 100 && m_recorder.seen.size() < 3; ++i) PumpingWait(nullptr, 10, m_stop);
    EXPECT_EQ(m_recorder.seen, (std::vector<WPARAM>{1, 2, 3}));
    JoinPosters();
    CloseHandle(done);
}

TEST_F(PumpingWaitTest, MessagesAlreadyQueuedAreNotMissed) {
    PostMessageW(m_hwnd, WM_APP, 5, 0);
    // Peeking marks the message as seen without removing it; a plain wait for
    // new input would then sleep through it.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    EXPECT_EQ(PumpingWait(nullptr, 200, m_stop), EWaitResult::TimedOut);
    EXPECT_EQ(m_recorder.seen, std::vector<WPARAM>{5});
}

TEST_F(PumpingWaitTest, AHandlerThatStopsTheRunEndsTheWait) {
    m_recorder.stopOnSeven = m_stop;
    CPoster poster{m_hwnd, {6, 7, 8}};
    RunPoster(poster);
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(PumpingWait(nullptr, INFINITE, m_stop), EWaitResult::Stopped);
    EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(kLongMs));
    ASSERT_GE(m_recorder.seen.size(), 2u);
    EXPECT_EQ(m_recorder.seen[1], 7u);
    JoinPosters();
    PumpPendingMessages();
}

TEST(Watchdog, TimeoutStopsTheRunWithItsExitCode) {
    CRunState state;
    {
        CWatchdog watchdog(state, 200, kLongMs);
        ASSERT_TRUE(watchdog.Start());
        // The script's side: waiting in host.Sleep until told to stop.
        EXPECT_EQ(PumpingWait(nullptr, kLongMs, state.StopEvent()), EWaitResult::Stopped);
        // Leaving the scope tells the watchdog the run unwound in time.
    }
    EXPECT_EQ(state.Reason(), EStopReason::Timeout);
    EXPECT_EQ(state.ExitCode(), kExitTimeout);
}

TEST(Watchdog, AFinishedRunIsLeftAlone) {
    CRunState state;
    {
        CWatchdog watchdog(state, kLongMs, kLongMs);
        ASSERT_TRUE(watchdog.Start());
    }
    EXPECT_FALSE(state.Stopping());
}

}  // namespace
