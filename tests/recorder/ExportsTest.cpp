// The exports' own answers, without audio: what happens before the worker
// exists (this process starts without one, so the first test runs first and
// the suite must not be shuffled), refused paths, and the play queries.
#include <gtest/gtest.h>

#include <string>

#include "NeloRec.h"
#include "NoticeLog.h"

namespace nelo::rec {
namespace {

using test::NoticeLog;

// PS_PlayPause answers 100 exactly while no worker exists: the probe for
// "did that call create the worker".
bool WorkerExists() { return PS_PlayPause(0) != PS_ERR_NO_WORKER; }

TEST(ExportsBeforeAnyWorker, QueriesAnswer100AndNothingButARecordOrPlayRequestCreatesTheWorker) {
    ASSERT_FALSE(WorkerExists());

    int32_t pos = -7, length = -9;
    EXPECT_EQ(PS_PlayGetTimePos(&pos, &length), PS_ERR_NO_WORKER);
    EXPECT_EQ(pos, -7);
    EXPECT_EQ(length, -9);
    EXPECT_EQ(PS_PlayGetTimePos(nullptr, nullptr), PS_ERR_NO_WORKER);
    EXPECT_EQ(PS_PlayPause(1), PS_ERR_NO_WORKER);

    // Setters accept anything (validation is the caller's) and create nothing.
    for (int32_t value : {0, -5, 5000}) {
        EXPECT_EQ(PS_RecordSetNoVoiceTime(value), 0);
        EXPECT_EQ(PS_RecordSetTailSilenceTime(value), 0);
        EXPECT_EQ(PS_RecordSetMaxRecordTime(value), 0);
        EXPECT_EQ(PS_RecordSetAutoStopEN(value), 0);
    }
    PS_RecordSetNoVoiceTime(5000);
    PS_RecordSetTailSilenceTime(2000);
    PS_RecordSetMaxRecordTime(18000);
    PS_RecordSetAutoStopEN(1);
    EXPECT_EQ(PS_RecordStop(), 0);
    EXPECT_FALSE(WorkerExists()) << "PS_RecordStop never creates the worker";

    // Refused paths: a non-zero result, nothing posted, no worker created.
    const std::wstring tooLong(1024, L'a');
    NoticeLog log;
    struct Case {
        const char* what;
        const wchar_t* path;
    } cases[] = {{"null", nullptr}, {"empty", L""}, {"1024 characters", tooLong.c_str()}};
    for (const auto& c : cases) {
        EXPECT_EQ(PS_RecordSentenceWithVad(c.path, &NoticeLog::Proc, &log), PS_ERR_BAD_PATH) << c.what;
        EXPECT_EQ(PS_PlayFile(c.path, &NoticeLog::Proc, &log), PS_ERR_BAD_PATH) << c.what;
    }
    EXPECT_FALSE(WorkerExists());

    // A cancel creates the worker (its queue ready before the post) and
    // reports nothing, since no recording runs.
    EXPECT_EQ(PS_RecordCancel(), 0);
    EXPECT_TRUE(WorkerExists());
    EXPECT_TRUE(log.Snapshot().empty());
}

TEST(ExportsWithAWorker, PlayQueriesWithoutPlaybackReportZeros) {
    ASSERT_EQ(PS_RecordCancel(), 0);  // makes sure the worker exists
    int32_t pos = -7, length = -9;
    EXPECT_EQ(PS_PlayGetTimePos(&pos, &length), 0);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(PS_PlayGetTimePos(nullptr, &length), 0);
    EXPECT_EQ(PS_PlayGetTimePos(nullptr, nullptr), 0);
    EXPECT_EQ(PS_PlayPause(1), 0);
    EXPECT_EQ(PS_PlayCancel(), 0);
}

// The longest accepted path (1023 characters) reaches the worker whole: a
// play request for a missing file of that length ends with PLAY_END.
TEST(ExportsWithAWorker, LongestAcceptedPathIsServedAndAMissingFileEndsPlaybackAtOnce) {
    std::wstring path = L"C:\\";
    path += std::wstring(PS_MAX_PATH_CHARS - path.size() - 4, L'p') + L".wav";
    ASSERT_EQ(path.size(), static_cast<size_t>(PS_MAX_PATH_CHARS));
    NoticeLog log;
    ASSERT_EQ(PS_PlayFile(path.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForCode(PLAY_END, 20000));
    const auto notices = log.Snapshot();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].nClass, NOTIFY_CLASS_PLAY);
    EXPECT_NE(notices[0].threadId, GetCurrentThreadId()) << "notices come from the worker thread";
}

// Requests from several threads at once: each group of posts stays whole, so
// every caller gets its own notice for its own file.
TEST(ExportsWithAWorker, ConcurrentRequestsEachGetTheirOwnNotice) {
    constexpr int kThreads = 8;
    NoticeLog logs[kThreads];
    struct Arg {
        NoticeLog* log;
        int index;
    } args[kThreads];
    HANDLE threads[kThreads];
    for (int i = 0; i < kThreads; ++i) {
        args[i] = {&logs[i], i};
        threads[i] = CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                auto* a = static_cast<Arg*>(p);
                const std::wstring path = L"C:\\missing-" + std::to_wstring(a->index) + L".wav";
                return static_cast<DWORD>(PS_PlayFile(path.c_str(), &NoticeLog::Proc, a->log));
            },
            &args[i], 0, nullptr);
        ASSERT_NE(threads[i], nullptr);
    }
    WaitForMultipleObjects(kThreads, threads, TRUE, INFINITE);
    for (int i = 0; i < kThreads; ++i) {
        DWORD code = 1;
        GetExitCodeThread(threads[i], &code);
        CloseHandle(threads[i]);
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(logs[i].WaitForCode(PLAY_END, 20000)) << i;
    }
    for (int i = 0; i < kThreads; ++i) EXPECT_EQ(logs[i].Snapshot().size(), 1u) << i;
}

}  // namespace
}  // namespace nelo::rec
