// The engine called from many threads at once, as the control's score
// threads do: shared and separate sessions, sessions ended, reset and
// reloaded while their scores run, per-thread error codes, and no growth in
// memory or handles over a thousand operations.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <atomic>
#include <memory>
#include <vector>

#include "ErrorCodes.h"
#include "NeloPS.h"
#include "support/TestData.h"
#include "support/Win32Thread.h"

using namespace nelo;
using namespace nelo::test;

namespace {

struct Fixtures {
    std::vector<uint8_t> lesson = DefaultLessonBytes();
    std::vector<uint8_t> speech = WavOf(Speak(DefaultWords(), Voice{150, 1.1, 1.04, 20, 31}).samples);
};

const Fixtures& Data() {
    static const Fixtures f;
    return f;
}

int NewLoadedSession() {
    const int s = PsStartSession();
    const auto& l = Data().lesson;
    if (s && PsLoadNet(s, l.data(), static_cast<int>(l.size())) != 0) return 0;
    return s;
}

bool ScoreSpeech(int session) {
    const auto& w = Data().speech;
    PSSOUND sound{w.data(), static_cast<uint32_t>(w.size())};
    return PsSoundByPoint(session, &sound, 0, -1);
}

size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    return pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage;
}

}  // namespace

TEST(EngineThreads, SixteenScoresAtOnceOnSharedAndOwnSessions) {
    const int shared = NewLoadedSession();
    ASSERT_NE(shared, 0);
    std::atomic<int> failures{0}, scored{0};
    std::atomic<int> overallSeen{-1};
    {
        std::vector<std::unique_ptr<Win32Thread>> threads;
        for (int t = 0; t < 16; ++t) {
            threads.emplace_back(new Win32Thread([&, t] {
                const int own = NewLoadedSession();
                for (int round = 0; round < 3; ++round) {
                    const int s = (t + round) % 2 ? shared : own;
                    if (!ScoreSpeech(s)) {
                        ++failures;
                        continue;
                    }
                    ++scored;
                    // One sound scored anywhere gives one and the same answer.
                    const int overall = PsGetSentenceResult(s, PS_SENT_OVERALL);
                    int expected = -1;
                    if (!overallSeen.compare_exchange_strong(expected, overall) && expected != overall) ++failures;
                }
                PsEndSession(own);
            }));
            ASSERT_TRUE(threads.back()->started());
        }
        for (auto& th : threads) ASSERT_TRUE(th->join());
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(scored.load(), 48);
    EXPECT_TRUE(PsEndSession(shared));
}

TEST(EngineThreads, EndResetAndReloadWhileScoresRun) {
    // Long sounds keep the scores busy while the session changes under them.
    std::vector<int16_t> longSpeech;
    for (int i = 0; i < 6; ++i) {
        const auto part = Speak(DefaultWords(), Voice{120.0 + 10 * i, 1.0, 1.0, 10, static_cast<unsigned>(40 + i)}).samples;
        longSpeech.insert(longSpeech.end(), part.begin(), part.end());
    }
    const std::vector<uint8_t> wav = WavOf(longSpeech);
    for (int round = 0; round < 12; ++round) {
        const int s = NewLoadedSession();
        ASSERT_NE(s, 0);
        Event started;
        std::atomic<int> outcomes[2] = {{0}, {0}};
        std::vector<std::unique_ptr<Win32Thread>> scorers;
        for (int t = 0; t < 4; ++t)
            scorers.emplace_back(new Win32Thread([&] {
                started.set();
                PSSOUND sound{wav.data(), static_cast<uint32_t>(wav.size())};
                const bool ok = PsSoundByPoint(s, &sound, 0, -1);
                ++outcomes[ok ? 1 : 0];
                // Queries after the session went away fail cleanly.
                PsGetSentenceResult(s, PS_SENT_OVERALL);
                PsGetWordResult(s, 1, PS_WORD_SCORE);
            }));
        ASSERT_TRUE(started.wait());
        switch (round % 3) {
        case 0: EXPECT_TRUE(PsEndSession(s)); break;
        case 1: EXPECT_TRUE(PsResetSession(s)); break;
        default: {
            const auto& l = Data().lesson;
            EXPECT_EQ(PsLoadNet(s, l.data(), static_cast<int>(l.size())), 0);
        }
        }
        for (auto& th : scorers) ASSERT_TRUE(th->join()) << "a score never returned";
        EXPECT_EQ(outcomes[0] + outcomes[1], 4);
        if (round % 3 != 0) {
            // Scores that overlapped the change were refused, the others stored:
            // either way the session answers consistently afterwards.
            const int overall = PsGetSentenceResult(s, PS_SENT_OVERALL);
            EXPECT_TRUE(overall >= 0 || PsGetSessionErrCode(s) == kErrNoResult || PsGetSessionErrCode(s) == kErrSessionChanged);
            EXPECT_TRUE(PsEndSession(s));
        }
    }
    const int after = NewLoadedSession();
    EXPECT_TRUE(ScoreSpeech(after));
    PsEndSession(after);
}

TEST(EngineThreads, EachThreadReadsTheErrorOfItsOwnCall) {
    const int s = NewLoadedSession();
    Event firstFailed, secondFailed;
    int codeSeenByFirst = -1, codeSeenBySecond = -1;
    {
        Win32Thread first([&] {
            PsSoundByName(s, "C:\\no\\such\\recording.wav", 0, -1);
            firstFailed.set();
            secondFailed.wait();
            codeSeenByFirst = PsGetSessionErrCode(s);
        });
        Win32Thread second([&] {
            firstFailed.wait();
            PsSetRange(s, 3, 1);
            secondFailed.set();
            codeSeenBySecond = PsGetSessionErrCode(s);
        });
        ASSERT_TRUE(first.join());
        ASSERT_TRUE(second.join());
    }
    EXPECT_EQ(codeSeenByFirst, kErrSoundOpen);
    EXPECT_EQ(codeSeenBySecond, kErrInvalidRange);
    // This thread's own latest call on the session (loading it) succeeded...
    EXPECT_EQ(PsGetSessionErrCode(s), 0);
    // ...while a thread that made no call on it sees the session's latest.
    int codeSeenByBystander = -1;
    {
        Win32Thread bystander([&] { codeSeenByBystander = PsGetSessionErrCode(s); });
        ASSERT_TRUE(bystander.join());
    }
    EXPECT_EQ(codeSeenByBystander, kErrInvalidRange);
    PsEndSession(s);
}

TEST(EngineResources, NoGrowthOverAThousandOperations) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "nelo_engine_leak.wav";
    {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        const auto& w = Data().speech;
        std::fwrite(w.data(), 1, w.size(), f);
        std::fclose(f);
    }
    auto cycle = [&](int i) {
        const int s = NewLoadedSession();
        ASSERT_NE(s, 0);
        ASSERT_TRUE(i % 2 ? ScoreSpeech(s) : PsSoundByName(s, path.c_str(), 0, -1));
        char text[256];
        ASSERT_EQ(PsGetOrgText(s, text, sizeof text), 0);
        PsSoundByName(s, "C:\\missing.wav", 0, -1);
        ASSERT_TRUE(PsEndSession(s));
    };
    for (int i = 0; i < 100; ++i) cycle(i);  // warm-up: heaps and caches settle
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    const size_t before = PrivateBytes();
    for (int i = 0; i < 1000; ++i) cycle(i);
    const size_t after = PrivateBytes();
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    // A leak of one lesson per cycle would be well over 100 MB here.
    EXPECT_LT(after, before + 8 * 1024 * 1024) << before << " -> " << after;
    DeleteFileA(path.c_str());
}
