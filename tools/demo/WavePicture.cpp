#include "WavePicture.h"

#include <algorithm>

uint32_t ColumnOfMs(uint32_t ms, uint32_t sampleRate, size_t sampleCount, uint32_t width) {
    if (sampleCount == 0 || sampleRate == 0) return 0;
    const uint64_t sample = static_cast<uint64_t>(ms) * sampleRate / 1000;
    if (sample >= sampleCount) return width;
    return static_cast<uint32_t>(sample * width / sampleCount);
}

CRgb TintOf(CRgb c) {
    auto mix = [](uint8_t v) { return static_cast<uint8_t>((v + 3 * 255) / 4); };
    return {mix(c.r), mix(c.g), mix(c.b)};
}

CRgbImage DrawWavePicture(const std::vector<int16_t>& samples, uint32_t sampleRate,
                          const std::vector<CWordSpan>& spans, CPictureLayout layout) {
    layout.nWidth = std::max<uint32_t>(layout.nWidth, 1);
    layout.nHeight = std::max(layout.nHeight, 2 * (layout.nBarHeight + 2));
    const uint32_t width = layout.nWidth;
    const uint32_t waveHeight = layout.nHeight - layout.nBarHeight;
    CRgbImage image(width, layout.nHeight, kPictureGround);
    for (uint32_t y = waveHeight; y < layout.nHeight; ++y)
        for (uint32_t x = 0; x < width; ++x) image.Set(x, y, kBarGround);

    // Word spans: a tint behind the waveform and the full colour in the bar. A span
    // shorter than a column still gets one, so no read word disappears.
    for (const CWordSpan& span : spans) {
        const uint32_t from = std::min(ColumnOfMs(span.nStartMs, sampleRate, samples.size(), width), width - 1);
        const uint32_t to = std::max(from + 1, std::min(ColumnOfMs(span.nEndMs, sampleRate, samples.size(), width), width));
        const CRgb tint = TintOf(span.colour);
        for (uint32_t x = from; x < to; ++x) {
            for (uint32_t y = 0; y < waveHeight; ++y) image.Set(x, y, tint);
            for (uint32_t y = waveHeight; y < layout.nHeight; ++y) image.Set(x, y, span.colour);
        }
    }

    // Seconds ticks at the top of the bar.
    // Ticks stop at the recording's end; an empty recording has none.
    if (sampleRate != 0) {
        for (uint32_t s = 1; static_cast<uint64_t>(s) * sampleRate < samples.size(); ++s) {
            const uint32_t x = ColumnOfMs(s * 1000, sampleRate, samples.size(), width);
            if (x >= width) break;
            for (uint32_t y = waveHeight; y < waveHeight + 6; ++y) image.Set(x, y, kTickColour);
        }
    }

    // The waveform: each column's sample range drawn from its highest to its lowest value.
    const int32_t mid = static_cast<int32_t>(waveHeight / 2);
    const int32_t half = mid - 1;
    auto rowOf = [&](int32_t v) { return static_cast<uint32_t>(mid - v * half / 32768); };
    for (uint32_t x = 0; x < width; ++x) {
        const size_t begin = static_cast<size_t>(static_cast<uint64_t>(x) * samples.size() / width);
        const size_t end = static_cast<size_t>(static_cast<uint64_t>(x + 1) * samples.size() / width);
        int32_t low = 0, high = 0;  // the centre line is drawn also where there are no samples
        for (size_t i = begin; i < end; ++i) {
            low = std::min<int32_t>(low, samples[i]);
            high = std::max<int32_t>(high, samples[i]);
        }
        for (uint32_t y = rowOf(high); y <= rowOf(low); ++y) image.Set(x, y, kWaveColour);
    }
    return image;
}
