// The picture the demo draws: word spans land on the columns of their times, in
// their tint above and full colour in the bar; the waveform follows the samples.
#include <gtest/gtest.h>

#include <vector>

#include "SpanArgs.h"
#include "WavePicture.h"

namespace {

const uint32_t kRate = 16000;

CPictureLayout SmallLayout() {
    CPictureLayout layout;
    layout.nWidth = 100;
    layout.nHeight = 80;
    layout.nBarHeight = 10;
    return layout;
}

TEST(ColumnOfMs, MapsTimeAcrossTheWidth) {
    const size_t oneSecond = kRate;
    EXPECT_EQ(ColumnOfMs(0, kRate, oneSecond, 100), 0u);
    EXPECT_EQ(ColumnOfMs(500, kRate, oneSecond, 100), 50u);
    EXPECT_EQ(ColumnOfMs(999, kRate, oneSecond, 100), 99u);
    EXPECT_EQ(ColumnOfMs(1000, kRate, oneSecond, 100), 100u);   // the end
    EXPECT_EQ(ColumnOfMs(60000, kRate, oneSecond, 100), 100u);  // beyond the end
    EXPECT_EQ(ColumnOfMs(500, kRate, 0, 100), 0u);              // no samples
    // Long recordings do not overflow: 60 s at 16 kHz over 4000 columns.
    EXPECT_EQ(ColumnOfMs(30000, kRate, 60 * oneSecond, 4000), 2000u);
}

TEST(WavePicture, SpansColourTheirColumnsOnly) {
    const std::vector<int16_t> silence(kRate, 0);  // one second
    const CRgb green = {46, 125, 50}, red = {198, 40, 40};
    const std::vector<CWordSpan> spans = {{250, 500, green}, {700, 760, red}};
    const CPictureLayout layout = SmallLayout();
    const CRgbImage image = DrawWavePicture(silence, kRate, spans, layout);
    ASSERT_EQ(image.Width(), layout.nWidth);
    ASSERT_EQ(image.Height(), layout.nHeight);
    const uint32_t barTop = layout.nHeight - layout.nBarHeight;
    const uint32_t probeRow = 5;                   // above the centre line, below no tick
    const uint32_t barRow = layout.nHeight - 1;    // below the ticks
    for (uint32_t x = 0; x < image.Width(); ++x) {
        CRgb above = kPictureGround, bar = kBarGround;
        for (const CWordSpan& s : spans)
            if (x >= ColumnOfMs(s.nStartMs, kRate, silence.size(), 100) &&
                x < ColumnOfMs(s.nEndMs, kRate, silence.size(), 100)) {
                above = TintOf(s.colour);
                bar = s.colour;
            }
        EXPECT_EQ(image.At(x, probeRow), above) << "column " << x;
        EXPECT_EQ(image.At(x, barRow), bar) << "column " << x;
    }
    // Silence draws only the centre line.
    const uint32_t mid = barTop / 2;
    for (uint32_t x = 0; x < image.Width(); ++x) {
        EXPECT_EQ(image.At(x, mid), kWaveColour);
        EXPECT_NE(image.At(x, mid - 1), kWaveColour);
        EXPECT_NE(image.At(x, mid + 1), kWaveColour);
    }
}

TEST(WavePicture, ShortSpanKeepsOneColumnAndSpansPastTheEndAreClipped) {
    const std::vector<int16_t> silence(kRate, 0);
    const CRgb blue = {20, 60, 200}, grey = {120, 120, 120};
    // 2 ms is less than a column (10 ms); the second span runs past the recording's end.
    const CRgbImage image = DrawWavePicture(silence, kRate, {{300, 302, blue}, {950, 5000, grey}}, SmallLayout());
    const uint32_t barRow = image.Height() - 1;
    EXPECT_EQ(image.At(30, barRow), blue);
    EXPECT_EQ(image.At(31, barRow), kBarGround);
    EXPECT_EQ(image.At(94, barRow), kBarGround);
    for (uint32_t x = 95; x < 100; ++x) EXPECT_EQ(image.At(x, barRow), grey) << x;
    // A span that starts after the end still shows in the last column rather than vanishing.
    const CRgbImage late = DrawWavePicture(silence, kRate, {{4000, 4100, blue}}, SmallLayout());
    EXPECT_EQ(late.At(99, barRow), blue);
}

TEST(WavePicture, WaveformFollowsTheLoudness) {
    // First half silent, second half a full-scale square wave.
    std::vector<int16_t> samples(kRate, 0);
    for (size_t i = kRate / 2; i < samples.size(); ++i) samples[i] = (i / 8) % 2 ? 32767 : -32768;
    const CPictureLayout layout = SmallLayout();
    const CRgbImage image = DrawWavePicture(samples, kRate, {}, layout);
    const uint32_t waveHeight = layout.nHeight - layout.nBarHeight;
    const uint32_t mid = waveHeight / 2;
    for (uint32_t x = 0; x < 100; ++x) {
        uint32_t dark = 0;
        for (uint32_t y = 0; y < waveHeight; ++y) dark += image.At(x, y) == kWaveColour;
        if (x < 50)
            EXPECT_EQ(dark, 1u) << "silent column " << x;
        else
            EXPECT_GE(dark, waveHeight - 2) << "loud column " << x;  // the stroke spans the height
    }
    EXPECT_EQ(image.At(75, mid), kWaveColour);
    // A quiet tone stays near the centre.
    std::vector<int16_t> quiet(kRate, 0);
    for (size_t i = 0; i < quiet.size(); ++i) quiet[i] = (i / 8) % 2 ? 3276 : -3276;
    const CRgbImage q = DrawWavePicture(quiet, kRate, {}, layout);
    uint32_t dark = 0;
    for (uint32_t y = 0; y < waveHeight; ++y) dark += q.At(50, y) == kWaveColour;
    EXPECT_GT(dark, 1u);
    EXPECT_LT(dark, waveHeight / 4);
}

TEST(WavePicture, SecondTicksInTheBar) {
    const std::vector<int16_t> threeSeconds(3 * kRate, 0);
    const CRgbImage image = DrawWavePicture(threeSeconds, kRate, {}, SmallLayout());
    const uint32_t tickRow = image.Height() - SmallLayout().nBarHeight + 1;
    std::vector<uint32_t> ticks;
    for (uint32_t x = 0; x < image.Width(); ++x)
        if (image.At(x, tickRow) == kTickColour) ticks.push_back(x);
    EXPECT_EQ(ticks, (std::vector<uint32_t>{ColumnOfMs(1000, kRate, threeSeconds.size(), 100),
                                            ColumnOfMs(2000, kRate, threeSeconds.size(), 100)}));
}

TEST(WavePicture, EmptyRecordingStillGivesAPicture) {
    const CRgbImage image = DrawWavePicture({}, kRate, {{0, 100, {1, 2, 3}}}, SmallLayout());
    EXPECT_EQ(image.Width(), 100u);
    EXPECT_EQ(image.At(0, image.Height() - 1), (CRgb{1, 2, 3}));
}

TEST(SpanArgs, ParsesOnlyTheExactShape) {
    CWordSpan span;
    ASSERT_TRUE(ParseSpanArg(L"120-560:2E7d32", span));
    EXPECT_EQ(span.nStartMs, 120u);
    EXPECT_EQ(span.nEndMs, 560u);
    EXPECT_EQ(span.colour, (CRgb{0x2E, 0x7D, 0x32}));
    ASSERT_TRUE(ParseSpanArg(L"0-0:000000", span));

    const wchar_t* refused[] = {
        L"",             L"120-560",          L"120:2E7D32",     L"-5-10:2E7D32",  L"5--10:2E7D32",
        L"560-120:2E7D32" /* end before start */,               L"1-2:2E7D3",      L"1-2:2E7D321",
        L"1-2:2G7D32",   L" 1-2:2E7D32",      L"1-2 :2E7D32",    L"+1-2:2E7D32",   L"1234567890-2:2E7D32",
        L"1:2-3:2E7D32",
    };
    for (const wchar_t* text : refused) {
        CWordSpan untouched{7, 8, {9, 9, 9}};
        EXPECT_FALSE(ParseSpanArg(text, untouched)) << "accepted \"" << testing::PrintToString(std::wstring(text)) << "\"";
        EXPECT_EQ(untouched.nStartMs, 7u);  // a refusal leaves the span as it was
    }
}

}  // namespace
