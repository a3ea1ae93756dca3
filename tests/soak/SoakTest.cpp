// Load and soak: operations repeated with the process's handle count, thread
// count and private bytes printed before, in the middle and after (the middle
// is the reference: the first cycles warm caches up), many score jobs at once
// over several sessions, and a control destroyed with the module asked to
// unload while its jobs are still running.
//
// Bounded cycle counts by default; the full soak runs 1000 cycles of each:
//   NELO_SOAK_CYCLES=1000 soak_test
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "FakePs.h"
#include "NeloGuids.h"
#include "ProcessFigures.h"
#include "SoakSupport.h"

namespace {

using namespace soak;

// Growth allowed from the middle to the end of a loop: what Wine's own
// caches and the heap's granularity can account for, far below one leaked
// handle, thread or buffer per cycle over hundreds of cycles.
const DWORD kHandleSlack = 24;
const DWORD kThreadSlack = 4;
const SIZE_T kPrivateSlack = 6u * 1024 * 1024;

// What one open and close of an "mpegvideo" device costs the process by
// itself, measured with bare MCI calls: Wine's media stack keeps some handles
// and memory per device opened, which is not the control's doing.
struct PlatformCost {
    double handles = 0;
    double privateBytes = 0;
};

PlatformCost MeasureMciOpenClose(const std::wstring& file) {
    auto cycle = [&file] {
        MCI_OPEN_PARMSW open = {};
        open.lpstrDeviceType = L"mpegvideo";
        open.lpstrElementName = file.c_str();
        if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open)) == 0) {
            MCI_GENERIC_PARMS close = {};
            mciSendCommandW(open.wDeviceID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
        }
    };
    cycle();
    const int n = 10;
    const ProcessFigures before = ProcessFigures::Now();
    for (int i = 0; i < n; ++i) cycle();
    const ProcessFigures after = ProcessFigures::Now();
    PlatformCost cost;
    cost.handles = std::max(0.0, (static_cast<double>(after.handles) - before.handles) / n);
    cost.privateBytes = std::max(0.0, (static_cast<double>(after.privateBytes) - before.privateBytes) / n);
    std::printf("[ figures  ] the platform alone, per MCI open and close: %.1f handles, %.1f KB\n", cost.handles,
                cost.privateBytes / 1024.0);
    return cost;
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        FakePs_Reset();
        ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_control.ReceiveVoid()), S_OK);
        ASSERT_EQ(m_events.Connect(m_control.Get()), S_OK);
        WriteFileBytes(RecordTempDir() + L"\\tone.wav", ToneWav(300));
    }
    void TearDown() override {
        m_events.Disconnect();
        m_control = nullptr;
        FakePs_Reset();
        PumpPending();
    }

    // Runs `cycle` n times, printing the figures at the start, the middle and
    // the end, and holds the end to the middle; `platform` is what the
    // platform itself keeps per cycle (MCI devices opened), allowed on top.
    void Loop(const char* what, int n, const std::function<void(int)>& cycle, PlatformCost platform = {}) {
        cycle(-1);  // one warm-up cycle: first-use allocations are not leaks
        PumpPending();
        const ProcessFigures before = ProcessFigures::Now();
        ProcessFigures middle;
        const ULONGLONG start = GetTickCount64();
        for (int i = 0; i < n; ++i) {
            if (i == n / 2) {
                PumpPending();
                middle = ProcessFigures::Now();
            }
            cycle(i);
            if (::testing::Test::HasFatalFailure()) return;
        }
        PumpPending();
        const ProcessFigures after = ProcessFigures::Now();
        std::printf("[ figures  ] %s, %d cycles in %.1f s\n", what, n, (GetTickCount64() - start) / 1000.0);
        std::printf("[ figures  ]   before  %s\n[ figures  ]   middle  %s\n[ figures  ]   after   %s\n",
                    before.Text().c_str(), middle.Text().c_str(), after.Text().c_str());
        const int secondHalf = n - n / 2;
        EXPECT_LE(after.handles, middle.handles + kHandleSlack + std::ceil(platform.handles * secondHalf)) << what;
        EXPECT_LE(after.threads, middle.threads + kThreadSlack) << what;
        EXPECT_LE(after.privateBytes, middle.privateBytes + kPrivateSlack + platform.privateBytes * secondHalf) << what;
    }

    size_t CountEvents(DISPID id) const {
        size_t n = 0;
        for (const auto& e : m_events.events) n += e.id == id;
        return n;
    }

    nelo::ComPtr<IDispatch> m_control;
    EventCounter m_events;
};

TEST_F(Soak, ScoreJobs) {
    const LONG session = Call(m_control.Get(), L"OcxStartSession");
    ASSERT_NE(session, 0);
    Loop("score job (by name, engine test double)", Cycles(300), [&](int) {
        const size_t before = CountEvents(DISPID_EVENT_SCORE_NOTIFY);
        ASSERT_EQ(Call(m_control.Get(), L"OcxScoreSoundByName",
                       {nelo::Variant::FromI4(session), nelo::Variant::FromString(L"tone.wav"), nelo::Variant::FromUI4(0),
                        nelo::Variant::FromI4(0)}), 1);
        ASSERT_TRUE(PumpUntil([&] { return CountEvents(DISPID_EVENT_SCORE_NOTIFY) > before; }, 30000));
        EXPECT_EQ(Call(m_control.Get(), L"OcxGetScoreState", {nelo::Variant::FromI4(session)}), 1);
    });
}

TEST_F(Soak, OpenPlayCloseOfASound) {
    Loop("open, play, close a sound", Cycles(60), [&](int) {
        ASSERT_EQ(Call(m_control.Get(), L"OcxOpenSoundByFile", {nelo::Variant::FromI4(0), nelo::Variant::FromString(L"tone.wav")}), 0);
        EXPECT_EQ(Call(m_control.Get(), L"OcxPlaySound"), 1);
        EXPECT_EQ(Call(m_control.Get(), L"OcxCloseSound"), 1);
    }, MeasureMciOpenClose(RecordTempDir() + L"\\tone.wav"));
}

TEST_F(Soak, MemoryBlockCreateWriteOpenRelease) {
    const std::wstring hex = Hex(ToneWav(100));
    Loop("memory block create, write, open, release", Cycles(60), [&](int) {
        const LONG block = Call(m_control.Get(), L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(static_cast<LONG>(hex.size() / 2))});
        ASSERT_GT(block, 0);
        EXPECT_EQ(Call(m_control.Get(), L"OcxMemoryBlockWriteByStr",
                       {nelo::Variant::FromI4(block), nelo::Variant::FromI4(0), nelo::Variant::FromString(hex.c_str())}),
                  static_cast<LONG>(hex.size() / 2));
        EXPECT_EQ(Call(m_control.Get(), L"OcxOpenSoundByMBBuf", {nelo::Variant::FromI4(block), nelo::Variant::FromI4(0)}), 1);
        EXPECT_EQ(Call(m_control.Get(), L"OcxMemoryBlockRelease", {nelo::Variant::FromI4(block)}), 1);
        EXPECT_EQ(Call(m_control.Get(), L"OcxCloseSound"), 1);
    }, MeasureMciOpenClose(RecordTempDir() + L"\\tone.wav"));
}

TEST_F(Soak, ControlCreateDestroy) {
    Loop("control create and destroy", Cycles(300), [&](int) {
        nelo::ComPtr<IDispatch> other;
        ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, other.ReceiveVoid()), S_OK);
        EXPECT_NE(Call(other.Get(), L"OcxStartSession"), 0);
        other = nullptr;
    });
}

// Real capture through the virtual microphone (silence): each recording ends
// by its no-voice time of 300 ms.
TEST_F(Soak, ShortRecordings) {
    ASSERT_EQ(Call(m_control.Get(), L"OcxSetRecordNoVoiceTime", {nelo::Variant::FromI4(300)}), 1);
    Loop("short recording (no-voice time 300 ms)", Cycles(6), [&](int) {
        const size_t before = m_events.events.size();
        ASSERT_EQ(Call(m_control.Get(), L"OcxBeginRecord", {nelo::Variant::FromString(L"soak.wav"), nelo::Variant::FromI4(0)}), 0);
        // States 1 then 6 (no voice); generous: capture under Wine starts late.
        ASSERT_TRUE(PumpUntil([&] {
            for (size_t i = before; i < m_events.events.size(); ++i)
                if (m_events.events[i].id == DISPID_EVENT_RECORD_NOTIFY && m_events.events[i].lParam >= 4) return true;
            return false;
        }, 60000)) << "no end of recording";
        LONG state, last = 0;
        while ((state = Call(m_control.Get(), L"OcxGetRecordState")) != 0) last = state;
        EXPECT_EQ(last, 6);
    });
}

// 64 jobs at once over 8 sessions, all held inside the engine until every one
// has started: each notification arrives, and only once.
TEST_F(Soak, SixtyFourScoreJobsOverEightSessions) {
    std::vector<LONG> sessions;
    for (int i = 0; i < 8; ++i) sessions.push_back(Call(m_control.Get(), L"OcxStartSession"));
    FakePs_Hold("PsSoundByName");
    FakePs_Hold("PsSoundByPoint");
    for (int job = 0; job < 64; ++job) {
        const LONG session = sessions[job % 8];
        if (job % 2 == 0) {
            ASSERT_EQ(Call(m_control.Get(), L"OcxScoreSoundByName",
                           {nelo::Variant::FromI4(session), nelo::Variant::FromString(L"tone.wav"),
                            nelo::Variant::FromUI4(0), nelo::Variant::FromI4(0)}), 1);
        } else {
            ASSERT_EQ(Call(m_control.Get(), L"OcxScoreSoundByStr",
                           {nelo::Variant::FromI4(session), nelo::Variant::FromString(L"52494646"),
                            nelo::Variant::FromUI4(0), nelo::Variant::FromI4(0)}), 1);
        }
    }
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByName", 32, 60000));
    ASSERT_TRUE(FakePs_WaitHeld("PsSoundByPoint", 32, 60000));
    // Every third job fails inside the engine.
    for (int i = 0; i < 64; ++i) FakePs_ReleaseOne(i % 2 ? "PsSoundByPoint" : "PsSoundByName", i % 3 == 0 ? 0 : 1);
    ASSERT_TRUE(PumpUntil([&] { return CountEvents(DISPID_EVENT_SCORE_NOTIFY) >= 64; }, 60000))
        << CountEvents(DISPID_EVENT_SCORE_NOTIFY) << " of 64 notifications";
    PumpUntil([] { return false; }, 500);  // late duplicates would arrive now
    std::map<LONG, int> perSession;
    for (const auto& e : m_events.events)
        if (e.id == DISPID_EVENT_SCORE_NOTIFY) ++perSession[static_cast<LONG>(e.wParam)];
    EXPECT_EQ(CountEvents(DISPID_EVENT_SCORE_NOTIFY), 64u);
    for (LONG s : sessions) EXPECT_EQ(perSession[s], 8) << "session " << s;
    int queued = 0;
    for (LONG s : sessions)
        while (Call(m_control.Get(), L"OcxGetScoreState", {nelo::Variant::FromI4(s)}) != 0) ++queued;
    EXPECT_EQ(queued, 64);
    std::printf("[ figures  ] 64 score jobs over 8 sessions: %zu notifications, %d states read\n",
                CountEvents(DISPID_EVENT_SCORE_NOTIFY), queued);
}

}  // namespace
