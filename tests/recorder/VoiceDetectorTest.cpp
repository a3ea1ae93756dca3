// The analysis window and the two scans over it.
#include <gtest/gtest.h>

#include <vector>

#include "SignalGen.h"
#include "VoiceDetector.h"

namespace nelo::rec {
namespace {

using test::Noise;

TEST(AnalysisWindow, SubtractsTheTruncatedMeanWithWrapAndZeroesTheTail) {
    std::vector<int16_t> prev(kBufferSamples, -200), cur(kBufferSamples, 0);
    cur[0] = 32767;
    // sum = -192000 + 32767 = -159233; / 1920 = -82.9 -> -82 (toward zero)
    std::vector<int16_t> window(kWindowStorage, 777);
    BuildAnalysisWindow(prev.data(), cur.data(), window.data());
    EXPECT_EQ(window[0], -118);
    EXPECT_EQ(window[959], -118);
    EXPECT_EQ(window[960], static_cast<int16_t>(-32687));  // 32767 + 82 wraps
    EXPECT_EQ(window[961], 82);
    EXPECT_EQ(window[1919], 82);
    for (int i = kWindowSamples; i < kWindowStorage; ++i) ASSERT_EQ(window[i], 0) << i;
}

TEST(AnalysisWindow, NegativeMeanTruncatesTowardZero) {
    std::vector<int16_t> prev(kBufferSamples, 0), cur(kBufferSamples, -1);
    std::vector<int16_t> window(kWindowStorage);
    BuildAnalysisWindow(prev.data(), cur.data(), window.data());  // -960 / 1920 -> 0, not -1
    EXPECT_EQ(window[0], 0);
    EXPECT_EQ(window[1000], -1);
}

// Windows built from loud noise with digital silence where a case says, so
// that every frame's decision is clear: loud (even half a frame) is voice,
// silence is far below the spread floor.
std::vector<int16_t> LoudWindow(int silentFrom, int silentTo) {
    std::vector<int16_t> w = Noise(kWindowStorage, 8000, 99);
    for (int i = silentFrom; i < silentTo && i < kWindowStorage; ++i) w[i] = 0;
    for (int i = kWindowSamples; i < kWindowStorage; ++i) w[i] = 0;
    return w;
}

TEST(OnsetRun, CountsVoiceFramesThatEndAtTheLastFrame) {
    struct Case {
        const char* what;
        int silentFrom, silentTo;
        int run;
    } cases[] = {
        {"loud from sample 960: frames 11..23", 0, 960, 13},
        {"loud from sample 1040: frames 12..23", 0, 1040, 12},
        {"one silent frame (20) in the middle", 1600, 1760, 3},
        {"burst that ends before the last frames", 1520, kWindowSamples, 0},
        {"all loud", 0, 0, 24},
        {"all silent", 0, kWindowSamples, 0},
    };
    for (const auto& c : cases) {
        VoiceDetector detector;
        EXPECT_EQ(detector.OnsetRun(LoudWindow(c.silentFrom, c.silentTo).data()), c.run) << c.what;
    }
}

TEST(OnsetRun, DigitalSilenceLeavesTheNoiseLevelAlone) {
    VoiceDetector detector;
    const std::vector<int16_t> silent(kWindowStorage, 0);
    for (int i = 0; i < 100; ++i) detector.OnsetRun(silent.data());
    EXPECT_EQ(detector.Levels().fNoiseLevel, kInitialNoiseLevel);
    EXPECT_EQ(detector.Levels().fMargin, kInitialMargin);
}

TEST(SilentFrames, CountsNonVoiceAmongTheFirstTwelveFrames) {
    struct Case {
        const char* what;
        int silentFrom, silentTo;
        int zeros;
    } cases[] = {
        {"all silent", 0, kWindowSamples, 12},
        {"all loud", 0, 0, 0},
        {"loud only after the 12 frames (from 1040)", 0, 1040, 12},
        {"loud in the last frame's second half only", 0, 960, 11},
    };
    for (const auto& c : cases) {
        VoiceDetector detector;
        EXPECT_EQ(detector.SilentFrames(LoudWindow(c.silentFrom, c.silentTo).data()), c.zeros) << c.what;
    }
}

TEST(VoiceDetector, LaneAndScalarDetectorsAgreeOnALongNoisyStream) {
    VoiceDetector lanes(AutoCorrMethod::Lanes), scalar(AutoCorrMethod::Scalar);
    for (uint32_t n = 0; n < 200; ++n) {
        const int amplitude = 50 + static_cast<int>((n * 2654435761u) % 6000u);
        auto w = Noise(kWindowStorage, amplitude, n + 1);
        for (int i = kWindowSamples; i < kWindowStorage; ++i) w[i] = 0;
        ASSERT_EQ(lanes.OnsetRun(w.data()), scalar.OnsetRun(w.data())) << n;
        ASSERT_EQ(lanes.SilentFrames(w.data()), scalar.SilentFrames(w.data())) << n;
        ASSERT_EQ(lanes.Levels().fNoiseLevel, scalar.Levels().fNoiseLevel) << n;
        ASSERT_EQ(lanes.Levels().fMargin, scalar.Levels().fMargin) << n;
    }
}

}  // namespace
}  // namespace nelo::rec
