// The voice decision for one classifier frame, from its autocorrelation.
//
// A frame is voice when the log10 of its autocorrelation spread clears the
// running noise level Q by a margin P chosen from Q. Q follows only frames
// that are neither near-silent nor voice, so digital silence never drags it.
#pragma once
#include "AutoCorr.h"

namespace nelo::rec {

// Spread below this is non-voice outright and does not move P or Q.
constexpr float kMinSpread = 100000.0f;

// Levels at the start of every recording (the table row for Q <= 14).
constexpr float kInitialMargin = 1.75f;
constexpr float kInitialNoiseLevel = 12.25f;

struct NoiseLevels {
    float fMargin = kInitialMargin;         // P
    float fNoiseLevel = kInitialNoiseLevel; // Q, log10 units
};

// Mean of all eleven values, then the mean squared distance of the first ten
// from it; float sums in index order, each step rounded.
float CalcSpread(const float r[kLags]);

// The margin for a noise level: quieter noise widens it.
float MarginForNoiseLevel(float fNoiseLevel);

// state 0: searching (may adapt P and Q); non-zero: inside speech, where the
// frame keeps the state only if it stays above Q + P/3. Returns the new state.
int ClassifyFrame(const float r[kLags], int state, NoiseLevels& levels);

}  // namespace nelo::rec
