#include "FrameClassifier.h"

#include <cmath>

namespace nelo::rec {

float CalcSpread(const float r[kLags]) {
    float sum = 0.0f;
    for (int i = 0; i < kLags; ++i) sum += r[i];
    const float mean = sum / 10.0f;
    float squares = 0.0f;
    for (int i = 0; i < 10; ++i) {
        const float d = r[i] - mean;
        squares += d * d;
    }
    return squares / 10.0f;
}

float MarginForNoiseLevel(float q) {
    if (q <= 8.5f) return 5.375f;
    if (q <= 11.5f) return 4.25f;
    if (q <= 14.0f) return 1.75f;
    if (q <= 15.5f) return 0.75f;
    return 0.375f;
}

int ClassifyFrame(const float r[kLags], int state, NoiseLevels& levels) {
    const float spread = CalcSpread(r);
    if (spread < kMinSpread) return 0;
    const float level = static_cast<float>(std::log10(static_cast<double>(spread)));
    const float p = levels.fMargin;
    const float q = levels.fNoiseLevel;
    if (state != 0) {
        const float keep = q + p / 3.0f;
        return level > keep ? state : 0;
    }
    const float threshold = (q + p) * 0.95f;
    if (level >= threshold) return 1;
    // The adaptation's constants are double, as the reference computes them;
    // only the result is rounded to float.
    const float adapted = static_cast<float>(0.9 * q + 0.1 * level);
    levels.fMargin = MarginForNoiseLevel(adapted);
    levels.fNoiseLevel = adapted;
    return 0;
}

}  // namespace nelo::rec
