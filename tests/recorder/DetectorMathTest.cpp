// The detector's arithmetic: autocorrelation (both versions), spread, margin
// table and the frame decision.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "AutoCorr.h"
#include "FrameClassifier.h"
#include "SignalGen.h"

namespace nelo::rec {
namespace {

std::vector<int16_t> Frame(std::initializer_list<std::pair<int, int16_t>> set, int16_t fill = 0) {
    std::vector<int16_t> f(kFrameSamples, fill);
    for (auto [at, v] : set) f[at] = v;
    return f;
}

TEST(AutoCorr, SumsEachLagOverItsOwnRangeOnly) {
    const std::vector<int16_t> ones(kFrameSamples, 1);
    float r[kLags];
    CalcAutoCorrScalar(ones.data(), r);
    for (int i = 0; i < kLags; ++i) EXPECT_EQ(r[i], static_cast<float>(kFrameSamples - i)) << "lag " << i;
}

TEST(AutoCorr, RoundsToFloatAfterEveryAddition) {
    // 2^30 first, then 159 ones: each +1 is below half an ulp of 2^30 and is
    // lost; a wider accumulator would end at 2^30 + 159 -> 2^30 + 128.
    auto frame = Frame({{0, -32768}}, 1);
    float r[kLags];
    CalcAutoCorrScalar(frame.data(), r);
    EXPECT_EQ(r[0], 1073741824.0f);
    alignas(16) float padded[kPaddedFrame];
    LoadPaddedFrame(frame.data(), padded);
    float lanes[kLags];
    CalcAutoCorrLanes(padded, lanes);
    EXPECT_EQ(lanes[0], 1073741824.0f);
}

// The lane version must give the same bits as the plain loop on frames that
// stress rounding, sign and the lag ranges' ends.
TEST(AutoCorr, LanesMatchThePlainLoopBitForBit) {
    struct Case {
        const char* name;
        std::vector<int16_t> frame;
    };
    std::vector<Case> cases = {
        {"full-scale noise", test::Noise(kFrameSamples, 32767, 1)},
        {"moderate noise", test::Noise(kFrameSamples, 3000, 2)},
        {"quiet noise", test::Noise(kFrameSamples, 5, 3)},
        {"extremes", Frame({{0, -32768}, {1, 32767}, {158, -32768}, {159, 32767}}, -32768)},
        {"alternating", {}},
        {"impulse at the end", Frame({{159, 30000}, {149, -30000}})},
        {"silence", std::vector<int16_t>(kFrameSamples, 0)},
    };
    cases[4].frame.resize(kFrameSamples);
    for (int k = 0; k < kFrameSamples; ++k) cases[4].frame[k] = (k % 2) ? 32767 : -32768;
    for (uint32_t seed = 10; seed < 60; ++seed)
        cases.push_back({"random", test::Noise(kFrameSamples, static_cast<int>(seed * 650), seed)});

    for (size_t c = 0; c < cases.size(); ++c) {
        const auto& a = cases[c].frame;
        const auto& b = cases[(c + 1) % cases.size()].frame;
        float ref_a[kLags], ref_b[kLags], pair_a[kLags], pair_b[kLags], single[kLags];
        CalcAutoCorrScalar(a.data(), ref_a);
        CalcAutoCorrScalar(b.data(), ref_b);
        alignas(16) float pa[kPaddedFrame], pb[kPaddedFrame];
        LoadPaddedFrame(a.data(), pa);
        LoadPaddedFrame(b.data(), pb);
        CalcAutoCorrLanesPair(pa, pb, pair_a, pair_b);
        CalcAutoCorrLanes(pa, single);
        EXPECT_EQ(0, std::memcmp(ref_a, pair_a, sizeof ref_a)) << cases[c].name << " #" << c;
        EXPECT_EQ(0, std::memcmp(ref_b, pair_b, sizeof ref_b)) << cases[c].name << " #" << c;
        EXPECT_EQ(0, std::memcmp(ref_a, single, sizeof ref_a)) << cases[c].name << " #" << c;
    }
}

TEST(Spread, MeanTakesAllElevenValuesVarianceOnlyTheFirstTen) {
    struct Case {
        int index;
        float value;
        float spread;
    } cases[] = {
        {0, 10.0f, 9.0f},    // mean 1: ((10-1)^2 + 9 * 1) / 10
        {10, 10.0f, 1.0f},   // mean 1, r[10] itself is not in the sum of squares
        {5, 20.0f, 36.0f},   // mean 2: ((20-2)^2 + 9 * 4) / 10
    };
    for (const auto& c : cases) {
        float r[kLags] = {};
        r[c.index] = c.value;
        EXPECT_EQ(CalcSpread(r), c.spread) << "r[" << c.index << "] = " << c.value;
    }
}

TEST(Spread, MarginTableByNoiseLevelIncludesEachUpperBound) {
    struct Case {
        float level;
        float margin;
    } cases[] = {
        {0.0f, 5.375f},  {8.5f, 5.375f},  {std::nextafter(8.5f, 99.0f), 4.25f},
        {11.5f, 4.25f},  {std::nextafter(11.5f, 99.0f), 1.75f},
        {14.0f, 1.75f},  {std::nextafter(14.0f, 99.0f), 0.75f},
        {15.5f, 0.75f},  {std::nextafter(15.5f, 99.0f), 0.375f}, {30.0f, 0.375f},
    };
    for (const auto& c : cases) EXPECT_EQ(MarginForNoiseLevel(c.level), c.margin) << "level " << c.level;
}

// r = {a, 0, ..., 0} gives a spread of exactly 0.09 a^2 (up to float rounding),
// an easy handle on the frame's level L = log10(spread).
void SpikeAutoCorr(float a, float r[kLags]) {
    for (int i = 0; i < kLags; ++i) r[i] = 0.0f;
    r[0] = a;
}

TEST(ClassifyFrame, SpreadBelowTheFloorIsNonVoiceAndLeavesLevelsAlone) {
    for (int state : {0, 1}) {
        NoiseLevels levels;
        float r[kLags];
        SpikeAutoCorr(1000.0f, r);  // spread 90000
        ASSERT_LT(CalcSpread(r), kMinSpread);
        EXPECT_EQ(ClassifyFrame(r, state, levels), 0);
        EXPECT_EQ(levels.fMargin, kInitialMargin);
        EXPECT_EQ(levels.fNoiseLevel, kInitialNoiseLevel);
    }
    // Just above the floor the same search adapts the noise level.
    NoiseLevels levels;
    float r[kLags];
    SpikeAutoCorr(1100.0f, r);  // spread 108900, L about 5.04
    EXPECT_EQ(ClassifyFrame(r, 0, levels), 0);
    EXPECT_LT(levels.fNoiseLevel, kInitialNoiseLevel);
}

TEST(ClassifyFrame, SearchingFrameAboveThresholdIsVoiceWithoutAdapting) {
    NoiseLevels levels;
    float r[kLags];
    SpikeAutoCorr(1e8f, r);  // L about 14.95, threshold (12.25 + 1.75) * 0.95 = 13.3
    EXPECT_EQ(ClassifyFrame(r, 0, levels), 1);
    EXPECT_EQ(levels.fNoiseLevel, kInitialNoiseLevel);
    EXPECT_EQ(levels.fMargin, kInitialMargin);
}

TEST(ClassifyFrame, AdaptationMovesQTowardTheFrameAndPicksTheMarginBand) {
    // Spike 1100: spread 108900, L = log10(108900) = 5.037027; Qn = 0.9 Q + 0.1 L.
    struct Case {
        float startLevel;
        float expectLevel;   // by hand
        float expectMargin;
    } cases[] = {
        {12.25f, 11.528703f, 1.75f},
        {12.0f, 11.303703f, 4.25f},
        {9.0f, 8.603703f, 4.25f},
        {8.8f, 8.423703f, 5.375f},
    };
    for (const auto& c : cases) {
        NoiseLevels levels;
        levels.fNoiseLevel = c.startLevel;
        levels.fMargin = 0.375f;  // must be replaced from the table, not kept
        float r[kLags];
        SpikeAutoCorr(1100.0f, r);
        EXPECT_EQ(ClassifyFrame(r, 0, levels), 0);
        EXPECT_NEAR(levels.fNoiseLevel, c.expectLevel, 2e-6) << "from " << c.startLevel;
        // Bit-exact: double constants, one rounding to float at the end.
        const float level = static_cast<float>(std::log10(static_cast<double>(CalcSpread(r))));
        EXPECT_EQ(levels.fNoiseLevel, static_cast<float>(0.9 * c.startLevel + 0.1 * level));
        EXPECT_EQ(levels.fMargin, c.expectMargin) << "from " << c.startLevel;
    }
}

TEST(ClassifyFrame, InsideSpeechKeepsStateAboveQPlusAThirdOfPElseZeroWithoutAdapting) {
    struct Case {
        float spike;
        int expect;
    } cases[] = {
        {1e7f, 3},   // L about 12.95 > 12.25 + 1.75 / 3 = 12.83: keeps the state
        {5e6f, 0},   // L about 12.35: ends the run
        {1e8f, 3},
    };
    for (const auto& c : cases) {
        NoiseLevels levels;
        float r[kLags];
        SpikeAutoCorr(c.spike, r);
        EXPECT_EQ(ClassifyFrame(r, 3, levels), c.expect) << c.spike;
        EXPECT_EQ(levels.fNoiseLevel, kInitialNoiseLevel);
        EXPECT_EQ(levels.fMargin, kInitialMargin);
    }
    // The same quiet frame while searching is non-voice and adapts.
    NoiseLevels levels;
    float r[kLags];
    SpikeAutoCorr(1e7f, r);
    EXPECT_EQ(ClassifyFrame(r, 0, levels), 0);
    EXPECT_NE(levels.fNoiseLevel, kInitialNoiseLevel);
}

}  // namespace
}  // namespace nelo::rec
