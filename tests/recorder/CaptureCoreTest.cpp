// One recording's per-buffer decisions, driven with exact buffers.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "SignalGen.h"

namespace nelo::rec {
namespace {

using test::Concat;
using test::CoreDriver;
using test::Noise;
using test::Silence;

constexpr size_t B = kBufferSamples;

std::vector<int16_t> Loud(size_t buffers, uint32_t seed = 7) { return Noise(buffers * B, 8000, seed); }
std::vector<int16_t> Quiet(size_t buffers) { return Silence(buffers * B); }

TEST(CaptureCore, SettlingDiscardsTheFirst16000BytesThenReportsCapturingOnce) {
    struct Case {
        size_t samplesPerBuffer;
        size_t discarded;
    } cases[] = {{B, 9}, {500, 16}, {480, 17}};
    for (const auto& c : cases) {
        CoreDriver d;
        const auto zeros = Silence(B);
        for (size_t i = 0; i < c.discarded; ++i) {
            const auto out = d.Feed(zeros.data(), c.samplesPerBuffer);
            ASSERT_FALSE(out.bReportCapturing) << c.samplesPerBuffer << " at " << i;
            ASSERT_TRUE(out.bRequeue);
        }
        EXPECT_EQ(d.Core().PreVoiceSamples(), 0) << "settling buffers are not stored";
        EXPECT_TRUE(d.Feed(zeros.data(), c.samplesPerBuffer).bReportCapturing) << c.samplesPerBuffer;
        for (int i = 0; i < 5; ++i) d.Feed(zeros.data(), c.samplesPerBuffer);
        EXPECT_EQ(d.capturingNotices(), 1);
    }
}

TEST(CaptureCore, NoVoiceEndsAfterMoreThanNoVoiceTimeOver60Buffers) {
    struct Case {
        int32_t noVoiceTime;
        size_t endsOnAnalysedBuffer;  // 1-based
    } cases[] = {{5000, 84}, {120, 3}, {119, 2}, {60, 2}, {59, 1}, {0, 1}};
    for (const auto& c : cases) {
        RecordSettings s;
        s.nNoVoiceTime = c.noVoiceTime;
        CoreDriver d(s);
        d.Settle();
        d.FeedAll(Quiet(200));
        ASSERT_EQ(d.ends(), 1) << c.noVoiceTime;
        EXPECT_EQ(d.end(), CaptureEnd::NoVoice);
        EXPECT_EQ(d.endAt() - 9 + 1, c.endsOnAnalysedBuffer) << c.noVoiceTime;
        EXPECT_EQ(d.Core().VoiceBytesForFile(), 0);
        // The ending buffer is still stored before the pre-voice audio.
        EXPECT_EQ(d.Core().PreVoiceSamples(), static_cast<int32_t>(c.endsOnAnalysedBuffer * B));
        EXPECT_EQ(d.Core().PreVoiceSamplesForFile(), std::min<int32_t>(8000, c.endsOnAnalysedBuffer * B));
    }
}

TEST(CaptureCore, TailSilenceBelowOneBufferEndsAtTheFirstAnalysedBuffer) {
    RecordSettings s;
    s.nTailSilenceTime = 50;
    CoreDriver d(s);
    d.Settle();
    const auto out = d.Feed(Quiet(1).data(), B);
    EXPECT_TRUE(out.bReportCapturing);
    EXPECT_FALSE(out.bReportVoice);
    EXPECT_EQ(out.end, CaptureEnd::Silence);
    EXPECT_FALSE(out.bRequeue);
    EXPECT_EQ(d.Core().VoiceBytes(), 32 * (120 - 25)) << "the adjustment is applied";
    EXPECT_EQ(d.Core().VoiceBytesForFile(), 0) << "but bounded by what is held";
}

TEST(CaptureCore, TailSilenceBelowOneBufferWithAutoStopOffDoesNotEnd) {
    RecordSettings s;
    s.nTailSilenceTime = 50;
    s.bAutoStopEN = 0;
    CoreDriver d(s);
    d.Settle();
    d.FeedAll(Quiet(10));
    EXPECT_EQ(d.ends(), 0);
}

// Three quiet analysed buffers, 20 loud ones, then silence: the onset comes
// with the first loud buffer, the silent run starts one buffer after the
// speech (that window still holds speech) and ends the recording when it
// reaches tail / 60 buffers; the ending buffer is not stored.
TEST(CaptureCore, SpeechThenSilenceEndsByTailSilenceWithTheLengthAdjustment) {
    struct Case {
        int32_t tail;
        size_t silentBuffersStored;  // silent buffers in the voice store at the end
        int32_t fileBytes;
    } cases[] = {
        {2000, 33, (20 + 33) * 1920 - 28160},   // 33 silent buffers counted, last 880 ms dropped
        {1000, 16, (20 + 16) * 1920 - 12160},
        {120, 2, (20 + 2) * 1920},              // + 1920 would exceed what is held
        {240, 4, (20 + 4) * 1920},              // no adjustment
    };
    for (const auto& c : cases) {
        RecordSettings s;
        s.nTailSilenceTime = c.tail;
        CoreDriver d(s);
        d.Settle();
        d.FeedAll(Concat({Quiet(3), Loud(20), Quiet(100)}));
        ASSERT_EQ(d.voiceNotices(), 1) << c.tail;
        EXPECT_EQ(d.voiceAt(), 9u + 3u) << "onset with the first loud buffer";
        ASSERT_EQ(d.ends(), 1) << c.tail;
        EXPECT_EQ(d.end(), CaptureEnd::Silence);
        EXPECT_EQ(d.endAt(), 9u + 3u + 20u + c.silentBuffersStored) << c.tail;
        EXPECT_EQ(d.Core().VoiceBytesHeld(), static_cast<int32_t>((20 + c.silentBuffersStored) * 1920));
        EXPECT_EQ(d.Core().VoiceBytesForFile(), c.fileBytes) << c.tail;
        EXPECT_EQ(d.Core().PreVoiceSamples(), static_cast<int32_t>(3 * B));
    }
}

TEST(CaptureCore, WithAutoStopOffSpeechEndsOnlyByStop) {
    RecordSettings s;
    s.bAutoStopEN = 0;
    CoreDriver d(s);
    d.Settle();
    d.FeedAll(Concat({Quiet(3), Loud(5), Quiet(150)}));
    EXPECT_EQ(d.ends(), 0);
    d.Core().RequestStop();
    const auto out = d.Feed(Quiet(1).data(), B);
    EXPECT_EQ(out.end, CaptureEnd::Stop);
    EXPECT_EQ(d.Core().VoiceBytesForFile(), (5 + 150) * 1920) << "a stop request adjusts nothing";
}

TEST(CaptureCore, MaximumTimeEndsWithStopAndTheLengthAdjustmentBounded) {
    struct Case {
        int32_t tail;
        int32_t raw;
        int32_t file;
    } cases[] = {
        {2000, 19200 - 28160, 0},      // negative: nothing of the voice segment
        {1000, 19200 - 12160, 7040},
        {240, 19200, 19200},
        {100, 19200 + 2240, 19200},    // positive: bounded to what is held
    };
    for (const auto& c : cases) {
        RecordSettings s;
        s.nMaxRecordTime = 600;  // 19200 bytes, 10 buffers
        s.nTailSilenceTime = c.tail;
        s.bAutoStopEN = 0;
        CoreDriver d(s);
        d.Settle();
        d.FeedAll(Loud(40));
        ASSERT_EQ(d.ends(), 1) << c.tail;
        EXPECT_EQ(d.end(), CaptureEnd::Stop);
        EXPECT_EQ(d.endAt(), 9u + 10u) << "the 11th voice buffer finds 19200 bytes held";
        EXPECT_EQ(d.Core().VoiceBytes(), c.raw) << c.tail;
        EXPECT_EQ(d.Core().VoiceBytesForFile(), c.file) << c.tail;
    }
}

TEST(CaptureCore, StopDuringSettlingEndsWithNothingStoredAndNoCapturingNotice) {
    CoreDriver d;
    d.Feed(Quiet(1).data(), B);
    d.Core().RequestStop();
    const auto out = d.Feed(Quiet(1).data(), B);
    EXPECT_EQ(out.end, CaptureEnd::Stop);
    EXPECT_FALSE(out.bRequeue);
    EXPECT_EQ(d.capturingNotices(), 0);
    EXPECT_EQ(d.Core().PreVoiceSamplesForFile(), 0);
    EXPECT_EQ(d.Core().VoiceBytesForFile(), 0);
}

TEST(CaptureCore, AfterAnyEndReturnedBuffersAreIgnoredAndNoSecondEndComes) {
    for (bool cancel : {true, false}) {
        CoreDriver d;
        d.Settle();
        d.FeedAll(Quiet(5));
        if (cancel)
            d.Core().RequestCancel();
        else
            d.Core().RequestStop();
        EXPECT_EQ(d.Feed(Quiet(1).data(), B).end, cancel ? CaptureEnd::Cancel : CaptureEnd::Stop);
        const int32_t stored = d.Core().PreVoiceSamples();
        for (int i = 0; i < 3; ++i) {
            const auto out = d.Feed(Loud(1).data(), B);
            EXPECT_EQ(out.end, CaptureEnd::None);
            EXPECT_FALSE(out.bRequeue);
            EXPECT_FALSE(out.bReportVoice);
        }
        EXPECT_EQ(d.ends(), 1);
        EXPECT_EQ(d.Core().PreVoiceSamples(), stored);
    }
}

TEST(CaptureCore, RequestsBeforeTheStartAreClearedByIt) {
    CaptureCore core;
    core.RequestCancel();
    core.RequestStop();
    core.StartRecording();
    core.DeviceOpened();
    const auto zeros = Silence(B);
    const auto out = core.OnBuffer(reinterpret_cast<const uint8_t*>(zeros.data()), 1920, RecordSettings{});
    EXPECT_EQ(out.end, CaptureEnd::None);
    EXPECT_TRUE(out.bRequeue);
}

// The onset needs 13 voice frames ending at the window's last frame: a buffer
// loud from its first sample gives frames 11..23 (13), one loud from its 80th
// sample only frames 12..23 (12), and the onset waits for the next buffer.
TEST(CaptureCore, OnsetNeedsThirteenVoiceFramesAtTheEndOfTheWindow) {
    struct Case {
        size_t quietLead;   // zero samples at the start of the first loud buffer
        size_t onsetAfter;  // analysed buffers before the one that finds the onset
    } cases[] = {{0, 1}, {40, 1}, {80, 2}, {400, 2}};
    for (const auto& c : cases) {
        CoreDriver d;
        d.Settle();
        auto signal = Concat({Quiet(1), Loud(3)});
        for (size_t i = 0; i < c.quietLead; ++i) signal[B + i] = 0;
        d.FeedAll(signal);
        ASSERT_EQ(d.voiceNotices(), 1) << c.quietLead;
        EXPECT_EQ(d.voiceAt(), 9u + c.onsetAfter) << c.quietLead;
        EXPECT_EQ(d.Core().NoVoiceRun(), static_cast<int32_t>(c.onsetAfter)) << c.quietLead;
    }
}

TEST(CaptureCore, OnsetBufferStartsTheVoiceStoreEverythingBeforeIsPreVoice) {
    CoreDriver d;
    d.Settle();
    const auto quiet = Noise(4 * B, 1, 5);  // audible as data, far below voice
    const auto loud = Loud(3, 11);
    d.FeedAll(Concat({quiet, loud}));
    ASSERT_EQ(d.voiceAt(), 9u + 4u);
    ASSERT_EQ(d.Core().PreVoiceSamples(), static_cast<int32_t>(4 * B));
    EXPECT_EQ(0, std::memcmp(d.Core().PreVoice(), quiet.data(), quiet.size() * 2));
    ASSERT_EQ(d.Core().VoiceBytesHeld(), 3 * 1920);
    EXPECT_EQ(0, std::memcmp(d.Core().VoiceData(), loud.data(), loud.size() * 2));
    // The file's pre-voice part: the newest 8000 samples, which here are fewer.
    EXPECT_EQ(d.Core().PreVoiceSamplesForFile(), static_cast<int32_t>(4 * B));
    EXPECT_EQ(d.Core().PreVoiceForFile(), d.Core().PreVoice());
}

TEST(CaptureCore, PreVoiceStoreShiftsByHalfAt304000SamplesKeepingTheNewest) {
    RecordSettings s;
    s.nNoVoiceTime = 1000000;
    CoreDriver d(s);
    d.Settle();
    std::vector<int16_t> all;
    const size_t buffers = 330;
    for (uint32_t i = 0; i < buffers * B; ++i) all.push_back(test::QuietMark(i));
    for (size_t b = 0; b < buffers; ++b) {
        d.Feed(all.data() + b * B, B);
        const int32_t expected = (b + 1) * B < 304000 ? static_cast<int32_t>((b + 1) * B)
                                                      : static_cast<int32_t>((b + 1) * B - 160000);
        ASSERT_EQ(d.Core().PreVoiceSamples(), expected) << "after buffer " << b;
    }
    ASSERT_EQ(d.ends(), 0);
    ASSERT_EQ(d.voiceNotices(), 0);
    const int32_t held = d.Core().PreVoiceSamples();
    EXPECT_EQ(0, std::memcmp(d.Core().PreVoice(), all.data() + 160000, held * 2))
        << "contiguous, oldest 160000 dropped";
    ASSERT_EQ(d.Core().PreVoiceSamplesForFile(), 8000);
    EXPECT_EQ(0, std::memcmp(d.Core().PreVoiceForFile(), all.data() + all.size() - 8000, 8000 * 2));
}

TEST(CaptureCore, ASettingChangedMidRecordingAppliesFromTheNextBuffer) {
    CoreDriver d;
    d.Settle();
    d.FeedAll(Quiet(10));
    ASSERT_EQ(d.ends(), 0);
    d.Settings().nNoVoiceTime = 300;  // 5 buffers: 11 > 5 ends at once
    d.Feed(Quiet(1).data(), B);
    EXPECT_EQ(d.end(), CaptureEnd::NoVoice);
    EXPECT_EQ(d.endAt(), 9u + 10u);
}

}  // namespace
}  // namespace nelo::rec
