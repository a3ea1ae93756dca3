// The eleven autocorrelation values of one 10 ms classifier frame.
//
// The detector's decisions hinge on exact float results, so both versions
// here produce bit-identical values: every product x[k]*x[k+i] is an exact
// integer rounded once to float, and each lag's sum is accumulated in
// increasing k with a float rounding after every addition.
#pragma once
#include <cstdint>

namespace nelo::rec {

constexpr int kFrameSamples = 160;   // 10 ms at 16 kHz
constexpr int kLags = 11;            // r[0] .. r[10]

// Room for a frame converted to float (the lane versions read x[0..159] only).
constexpr int kPaddedFrame = kFrameSamples + 12;

// The plain loop: lag by lag, k by k. The reference for exactness.
void CalcAutoCorrScalar(const int16_t* frame, float r[kLags]);

// Converts one frame into float, zero-filling the rest of `padded`.
void LoadPaddedFrame(const int16_t* frame, float padded[kPaddedFrame]);

// Converts `count` samples to float (exact: every int16 is a float).
void ConvertToFloat(const int16_t* samples, int count, float* out);

// The lane versions take frames already in float (x[0..159]). The eleven lags
// run side by side in SSE lanes, each lane still its own sum in increasing k;
// the pair version interleaves two frames to hide the addition latency.
void CalcAutoCorrLanesPair(const float* frameA, const float* frameB, float rA[kLags], float rB[kLags]);
void CalcAutoCorrLanes(const float* frame, float r[kLags]);

}  // namespace nelo::rec
