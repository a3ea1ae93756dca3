// NeloRec.dll end to end under Wine: capture from the virtual microphone
// (silence unless a test plays speech into it), the recording file, and MCI
// playback. Needs the environment of tools/env/testenv.sh and the spoken
// sentences of make_speech.sh. Capture's first buffer comes about 1.5 s after
// the start, so limits are generous and counted from the first notice.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cmath>
#include <memory>
#include <cstdio>
#include <string>
#include <vector>

#include "MessageBoxWatcher.h"
#include "MicPlayer.h"
#include "NeloRec.h"
#include "NoticeLog.h"
#include "SpeechFiles.h"
#include "TempFile.h"

namespace nelo::rec {
namespace {

using namespace test;

constexpr DWORD kFirstNoticeLimit = 30000;
constexpr DWORD kEndLimit = 60000;

double Rms(const std::vector<uint8_t>& wav, size_t from) {
    double sum = 0;
    size_t n = 0;
    for (size_t at = from; at + 1 < wav.size(); at += 2, ++n) {
        const int16_t s = static_cast<int16_t>(wav[at] | (wav[at + 1] << 8));
        sum += double(s) * s;
    }
    return n ? std::sqrt(sum / n) : 0.0;
}

class LiveRecorder : public ::testing::Test {
protected:
    void SetUp() override {
        PS_RecordSetNoVoiceTime(5000);
        PS_RecordSetTailSilenceTime(2000);
        PS_RecordSetMaxRecordTime(18000);
        PS_RecordSetAutoStopEN(1);
    }
};

TEST_F(LiveRecorder, SpeechGivesCapturingVoiceAndEndSilenceThenACompleteFile) {
    TempPath file(L"live-speech");
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(file.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForCode(REC_CAPTURING, kFirstNoticeLimit)) << "no capture from the virtual microphone";
    MicPlayer mic;
    ASSERT_TRUE(mic.Start(MicPlayer::UnixSpeechFile("sentence1-lead.wav")));
    ASSERT_TRUE(log.WaitForEnd(kEndLimit));
    EXPECT_TRUE(mic.WaitDone(30000));

    const auto notices = log.Snapshot();
    ASSERT_EQ(log.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_VOICE, REC_END_SILENCE}));
    for (const auto& n : notices) {
        EXPECT_EQ(n.nClass, NOTIFY_CLASS_RECORD);
        EXPECT_NE(n.threadId, GetCurrentThreadId());
    }
    const auto wav = ReadAll(file.c_str());
    ASSERT_TRUE(IsRecordingWav(wav));
    // The 2.7 s sentence, up to 0.5 s before it and about 1.1 s after it.
    const double seconds = (wav.size() - 44) / 32000.0;
    EXPECT_GE(seconds, 2.4);
    EXPECT_LE(seconds, 5.0);
    EXPECT_GT(Rms(wav, 44), 300.0) << "the file holds the speech, not silence";
    std::printf("[ figures  ] recording of %.2f s, RMS %.0f\n", seconds, Rms(wav, 44));
}

TEST_F(LiveRecorder, StopBeforeAnyAnalysedBufferGivesAnEmptyFileAndStopCode) {
    TempPath file(L"live-stop");
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(file.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_EQ(PS_RecordStop(), 0);
    ASSERT_TRUE(log.WaitForEnd(kEndLimit));
    EXPECT_EQ(log.Codes(), (std::vector<int32_t>{REC_END_STOP}));
    const auto wav = ReadAll(file.c_str());
    ASSERT_EQ(wav.size(), 44u);
    EXPECT_TRUE(IsRecordingWav(wav));
}

// Cancel and stop requests served before a recording's start are wiped by it:
// the recording then runs normally (here: until its own stop request).
TEST_F(LiveRecorder, EarlierCancelAndStopDoNotReachTheNextRecording) {
    ASSERT_EQ(PS_RecordCancel(), 0);
    ASSERT_EQ(PS_RecordStop(), 0);
    NoticeLog barrier;  // makes sure both were served before the record request
    ASSERT_EQ(PS_PlayFile(L"C:\\missing-barrier.wav", &NoticeLog::Proc, &barrier), 0);
    ASSERT_TRUE(barrier.WaitForCode(PLAY_END, kEndLimit));

    TempPath file(L"live-after-cancel");
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(file.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForCode(REC_CAPTURING, kFirstNoticeLimit));
    ASSERT_EQ(PS_RecordStop(), 0);
    ASSERT_TRUE(log.WaitForEnd(kEndLimit));
    EXPECT_EQ(log.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_END_STOP}));
    const auto wav = ReadAll(file.c_str());
    ASSERT_TRUE(IsRecordingWav(wav));
    EXPECT_GT(wav.size(), 44u) << "at least one analysed buffer was stored";
}

TEST_F(LiveRecorder, CancelDuringCaptureGivesTheCancelCodeAndNoFile) {
    TempPath file(L"live-cancel");
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(file.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForCode(REC_CAPTURING, kFirstNoticeLimit));
    ASSERT_EQ(PS_RecordCancel(), 0);
    ASSERT_TRUE(log.WaitForEnd(kEndLimit));
    EXPECT_EQ(log.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_END_CANCEL}));
    EXPECT_FALSE(FileExists(file.c_str()));
}

TEST_F(LiveRecorder, NoSpeechEndsWithNoVoiceAndAtMostHalfASecondOfAudio) {
    PS_RecordSetNoVoiceTime(600);  // 11 analysed buffers
    TempPath file(L"live-novoice");
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(file.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForEnd(kEndLimit));
    EXPECT_EQ(log.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_END_NOVOICE}));
    const auto wav = ReadAll(file.c_str());
    ASSERT_TRUE(IsRecordingWav(wav));
    EXPECT_EQ(wav.size(), 44u + 16000u) << "11 buffers of pre-voice audio, the newest 8000 samples kept";
}

// A record request while another recording captures: the running one ends as
// a cancel for its own receiver, the new one records into its own file.
TEST_F(LiveRecorder, ANewRequestWhileCapturingCancelsTheRunningRecording) {
    TempPath fileA(L"live-first"), fileB(L"live-second");
    NoticeLog logA, logB;
    ASSERT_EQ(PS_RecordSentenceWithVad(fileA.c_str(), &NoticeLog::Proc, &logA), 0);
    ASSERT_TRUE(logA.WaitForCode(REC_CAPTURING, kFirstNoticeLimit));
    ASSERT_EQ(PS_RecordSentenceWithVad(fileB.c_str(), &NoticeLog::Proc, &logB), 0);
    ASSERT_TRUE(logA.WaitForEnd(kEndLimit));
    ASSERT_TRUE(logB.WaitForCode(REC_CAPTURING, kFirstNoticeLimit));
    ASSERT_EQ(PS_RecordStop(), 0);
    ASSERT_TRUE(logB.WaitForEnd(kEndLimit));

    EXPECT_EQ(logA.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_END_CANCEL}));
    EXPECT_EQ(logB.Codes(), (std::vector<int32_t>{REC_CAPTURING, REC_END_STOP}));
    EXPECT_FALSE(FileExists(fileA.c_str()));
    EXPECT_TRUE(IsRecordingWav(ReadAll(fileB.c_str())));
}

TEST_F(LiveRecorder, UnwritablePathShowsTheMessageBoxAndSendsNoEndNotice) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + L"no-such-folder-4711\\x.wav";
    NoticeLog log;
    ASSERT_EQ(PS_RecordSentenceWithVad(path.c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_EQ(PS_RecordStop(), 0);
    const FoundBox box = WaitForWorkerMessageBox(kEndLimit);
    ASSERT_NE(box.hwnd, nullptr) << "no message box from the worker";
    EXPECT_EQ(box.text.rfind(L"\x5F55\x97F3\x6587\x4EF6\x6253\x5F00\x5931\x8D25!", 0), 0u)  // 录音文件打开失败!
        << "text: " << std::string(box.text.begin(), box.text.end());
    DismissWorkerMessageBox(box);

    // The worker serves requests in order: once a later request has been
    // answered, no end notice for the recording can still be on its way.
    NoticeLog barrier;
    ASSERT_EQ(PS_PlayFile(L"C:\\missing-barrier.wav", &NoticeLog::Proc, &barrier), 0);
    ASSERT_TRUE(barrier.WaitForCode(PLAY_END, kEndLimit));
    EXPECT_TRUE(log.Snapshot().empty());
}

// Record requests through the worker leave no memory behind: each carries a
// 2 KB path copy that the worker must free, and each replaced recording frees
// its device, headers and stores. (Failed MCI opens cannot serve here: Wine's
// "mpegvideo" device itself keeps about 1 MB per failed open.)
TEST_F(LiveRecorder, ManyReplacedRecordingsLeakNothing) {
    // Committed private memory (Wine reports it as PagefileUsage only).
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        return static_cast<double>(counters.PagefileUsage);
    };
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const std::wstring path = std::wstring(dir) + std::wstring(900, L'r') + L".wav";
    auto runBatch = [&](int n) {
        std::vector<std::unique_ptr<NoticeLog>> logs;
        for (int i = 0; i < n; ++i) {
            logs.push_back(std::make_unique<NoticeLog>());
            ASSERT_EQ(PS_RecordSentenceWithVad(path.c_str(), &NoticeLog::Proc, logs.back().get()), 0);
            if (i > 0) {
                ASSERT_TRUE(logs[i - 1]->WaitForEnd(kEndLimit)) << i;
            }
        }
        ASSERT_EQ(PS_RecordCancel(), 0);
        ASSERT_TRUE(logs.back()->WaitForEnd(kEndLimit));
        for (auto& log : logs) ASSERT_EQ(log->Codes(), (std::vector<int32_t>{REC_END_CANCEL}));
    };
    runBatch(20);  // warm-up: the heap and the audio driver settle
    const double bytesBefore = privateBytes();
    ASSERT_GT(bytesBefore, 0.0) << "no memory figure to compare";
    runBatch(300);
    const double grown = privateBytes() - bytesBefore;
    std::printf("[ figures  ] committed memory after 300 more recordings: %+.0f KB\n", grown / 1024);
    // 300 lost path copies alone would be 540 KB, lost stores far more.
    EXPECT_LT(grown, 256.0 * 1024);
    DeleteFileW(path.c_str());
}

TEST_F(LiveRecorder, PlaybackReportsPositionPausesResumesAndCancels) {
    NoticeLog log;
    const std::wstring file = SpeechFile(L"sentence2.wav");
    ASSERT_EQ(PS_PlayFile(file.c_str(), &NoticeLog::Proc, &log), 0);

    int32_t pos = 0, length = 0;
    auto waitFor = [&](auto done, DWORD limitMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            PS_PlayGetTimePos(&pos, &length);
            if (done()) return true;
            if (GetTickCount() - start >= limitMs) return false;
            Sleep(20);
        }
    };
    ASSERT_TRUE(waitFor([&] { return pos > 0; }, 20000)) << "playback never advanced";
    const double expectedMs = ReadWavSamples(file).size() / 16.0;
    EXPECT_NEAR(length, expectedMs, 60.0);

    ASSERT_EQ(PS_PlayPause(1), 0);
    // Paused within a poll period or two: the position stops moving.
    int32_t last = -1;
    ASSERT_TRUE(waitFor(
        [&] {
            const bool still = pos == last;
            last = pos;
            if (!still) Sleep(200);
            return still;
        },
        10000));
    const int32_t pausedAt = pos;
    for (int i = 0; i < 3; ++i) {
        Sleep(100);
        PS_PlayGetTimePos(&pos, nullptr);
        EXPECT_EQ(pos, pausedAt);
    }
    EXPECT_TRUE(log.Snapshot().empty()) << "paused playback has not ended";

    ASSERT_EQ(PS_PlayPause(0), 0);
    ASSERT_TRUE(waitFor([&] { return pos > pausedAt; }, 10000)) << "playback did not resume";

    ASSERT_EQ(PS_PlayCancel(), 0);
    ASSERT_TRUE(log.WaitForCode(PLAY_END, 10000));
    EXPECT_EQ(log.Snapshot().size(), 1u);
    PS_PlayGetTimePos(&pos, &length);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(length, 0);
}

TEST_F(LiveRecorder, PlaybackToTheEndSendsOnePlayEnd) {
    NoticeLog log;
    ASSERT_EQ(PS_PlayFile(SpeechFile(L"sentence1.wav").c_str(), &NoticeLog::Proc, &log), 0);
    ASSERT_TRUE(log.WaitForCode(PLAY_END, 30000));
    // A later request is served only after the loop ended, so nothing more can come.
    NoticeLog barrier;
    ASSERT_EQ(PS_PlayFile(L"C:\\missing-barrier.wav", &NoticeLog::Proc, &barrier), 0);
    ASSERT_TRUE(barrier.WaitForCode(PLAY_END, 30000));
    EXPECT_EQ(log.Snapshot().size(), 1u);
}

}  // namespace
}  // namespace nelo::rec
