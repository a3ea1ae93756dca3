// The demo's picture of a recording: the waveform (one column's lowest and
// highest sample as a vertical stroke) over a white ground, each word's time
// span tinted with its colour, and below it a bar with the words' colours at
// full strength and a tick every second. Pure: samples in, pixels out.
#pragma once

#include <cstdint>
#include <vector>

#include "RgbImage.h"

struct CWordSpan {
    uint32_t nStartMs = 0;
    uint32_t nEndMs = 0;
    CRgb colour = {0, 0, 0};
};

struct CPictureLayout {
    uint32_t nWidth = 1000;
    uint32_t nHeight = 260;
    uint32_t nBarHeight = 28;  // the colour bar at the bottom, inside nHeight
};

const CRgb kPictureGround = {255, 255, 255};
const CRgb kBarGround = {225, 225, 225};
const CRgb kWaveColour = {40, 40, 40};
const CRgb kTickColour = {90, 90, 90};

// The column that the time `ms` of a recording of `sampleCount` samples at
// `sampleRate` falls in, for a picture `width` columns wide; times past the end
// give `width`. An empty recording puts every time at column 0.
uint32_t ColumnOfMs(uint32_t ms, uint32_t sampleRate, size_t sampleCount, uint32_t width);

// A word's tint: a quarter of its colour over the white ground.
CRgb TintOf(CRgb colour);

// The picture; spans are drawn in order (a later one wins where two overlap).
// Layout sizes below 2x(bar + 2) are raised to that.
CRgbImage DrawWavePicture(const std::vector<int16_t>& samples, uint32_t sampleRate,
                          const std::vector<CWordSpan>& spans, CPictureLayout layout = CPictureLayout());
