// The detector on real speech (espeak-ng sentences) with leading and trailing
// silence, with and without background noise, and on noise alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "SignalGen.h"
#include "SpeechFiles.h"

namespace nelo::rec {
namespace {

using namespace test;

constexpr size_t kRate = 16000;
constexpr double kMs = 1000.0 / kRate;

struct Scene {
    std::vector<int16_t> samples;
    SpeechSpan speech;  // in scene samples
};

// Lead silence, the sentence, trail silence; noise of the given amplitude
// (uniform, 0 for none) added throughout with saturation.
Scene MakeScene(const wchar_t* sentence, double leadSeconds, double trailSeconds, int noise) {
    const auto voice = ReadWavSamples(SpeechFile(sentence));
    Scene scene;
    if (voice.empty()) return scene;
    const size_t lead = static_cast<size_t>(leadSeconds * kRate);
    scene.samples = Concat({Silence(lead), voice, Silence(static_cast<size_t>(trailSeconds * kRate))});
    const SpeechSpan inVoice = FindSpeech(voice);
    scene.speech = {lead + inVoice.start, lead + inVoice.end};
    if (noise > 0) {
        const auto n = Noise(scene.samples.size(), noise, 2024);
        for (size_t i = 0; i < n.size(); ++i)
            scene.samples[i] = static_cast<int16_t>(std::clamp(scene.samples[i] + n[i], -32768, 32767));
    }
    return scene;
}

struct SpeechCase {
    const wchar_t* sentence;
    int noise;
};

class SpeechDetection : public ::testing::TestWithParam<SpeechCase> {};

// The onset buffer is the first whose window ends 13 voice frames after the
// true start: its end lies 0 to 180 ms after the start. The recording then
// ends by tail silence, about 2 s after the speech, and the file's voice
// segment covers the whole sentence with at most 1.2 s of silence after it.
TEST_P(SpeechDetection, OnsetNearTheTrueStartAndEndByTailSilence) {
    const SpeechCase c = GetParam();
    const Scene scene = MakeScene(c.sentence, 1.5, 3.5, c.noise);
    ASSERT_FALSE(scene.samples.empty()) << "speech fixture missing; NELO_SPEECH_DIR=" << getenv("NELO_SPEECH_DIR");
    CoreDriver d;
    d.FeedAll(scene.samples);
    ASSERT_EQ(d.voiceNotices(), 1);
    ASSERT_EQ(d.ends(), 1);
    EXPECT_EQ(d.end(), CaptureEnd::Silence);

    const double onsetEndMs = (d.voiceAt() + 1) * kBufferSamples * kMs;
    const double trueStartMs = scene.speech.start * kMs;
    EXPECT_GE(onsetEndMs - trueStartMs, 0.0);
    EXPECT_LE(onsetEndMs - trueStartMs, 180.0);

    const double fileEndMs = (d.voiceAt() * kBufferSamples * 2 + d.Core().VoiceBytesForFile()) / 2 * kMs;
    const double trueEndMs = scene.speech.end * kMs;
    EXPECT_GE(fileEndMs, trueEndMs);
    EXPECT_LE(fileEndMs - trueEndMs, 1200.0);
    const double endedMs = (d.endAt() + 1) * kBufferSamples * kMs;
    EXPECT_GE(endedMs - trueEndMs, 1900.0);
    EXPECT_LE(endedMs - trueEndMs, 2300.0);
    std::printf("[ figures  ] onset buffer ends %+.0f ms after the start; file ends %.0f ms after the speech\n",
                onsetEndMs - trueStartMs, fileEndMs - trueEndMs);
}

INSTANTIATE_TEST_SUITE_P(Sentences, SpeechDetection,
                         ::testing::Values(SpeechCase{L"sentence1.wav", 0}, SpeechCase{L"sentence2.wav", 0},
                                           SpeechCase{L"sentence1.wav", 100}, SpeechCase{L"sentence2.wav", 300}));

TEST(SpeechDetection, NoOnsetOnModerateNoiseAlone) {
    for (int amplitude : {50, 100, 300}) {
        CoreDriver d;
        d.FeedAll(Noise(8 * kRate, amplitude, 77));
        EXPECT_EQ(d.voiceNotices(), 0) << amplitude;
        ASSERT_EQ(d.ends(), 1) << amplitude;
        EXPECT_EQ(d.end(), CaptureEnd::NoVoice) << amplitude;
        EXPECT_EQ(d.endAt(), 9u + 83u) << "84th analysed buffer, amplitude " << amplitude;
    }
}

TEST(SpeechDetection, SpeechThatStartsTooLateEndsWithNoVoice) {
    const Scene scene = MakeScene(L"sentence1.wav", 7.0, 1.0, 0);
    ASSERT_FALSE(scene.samples.empty());
    CoreDriver d;
    d.FeedAll(scene.samples);
    EXPECT_EQ(d.voiceNotices(), 0);
    EXPECT_EQ(d.end(), CaptureEnd::NoVoice);
}

}  // namespace
}  // namespace nelo::rec
