#include "VoiceDetector.h"

#include <cstring>

namespace nelo::rec {

void BuildAnalysisWindow(const int16_t* previous, const int16_t* current, int16_t* window) {
    std::memcpy(window, previous, kBufferBytes);
    std::memcpy(window + kBufferSamples, current, kBufferBytes);
    int32_t sum = 0;
    for (int i = 0; i < kWindowSamples; ++i) sum += window[i];
    const int32_t mean = sum / kWindowSamples;
    for (int i = 0; i < kWindowSamples; ++i)
        window[i] = static_cast<int16_t>(static_cast<uint16_t>(window[i]) - static_cast<uint16_t>(mean));
    std::memset(window + kWindowSamples, 0, (kWindowStorage - kWindowSamples) * sizeof(int16_t));
}

void VoiceDetector::AutoCorrFrames(const int16_t* window, int frames, float (*r)[kLags]) {
    if (m_method == AutoCorrMethod::Scalar) {
        for (int f = 0; f < frames; ++f) CalcAutoCorrScalar(window + f * kFrameStep, r[f]);
        return;
    }
    // Every sample converts once; the frames then read the float window.
    alignas(16) float x[kWindowStorage];
    const int used = (frames - 1) * kFrameStep + kFrameSamples;
    ConvertToFloat(window, used, x);
    int f = 0;
    for (; f + 1 < frames; f += 2)
        CalcAutoCorrLanesPair(x + f * kFrameStep, x + (f + 1) * kFrameStep, r[f], r[f + 1]);
    if (f < frames) CalcAutoCorrLanes(x + f * kFrameStep, r[f]);
}

int VoiceDetector::OnsetRun(const int16_t* window) {
    // The autocorrelations do not depend on P and Q, so all frames are
    // computed first; the classification then runs in frame order.
    float r[kOnsetFrames][kLags];
    AutoCorrFrames(window, kOnsetFrames, r);
    int run = 0;
    for (int f = 0; f < kOnsetFrames; ++f)
        run = ClassifyFrame(r[f], 0, m_levels) == 1 ? run + 1 : 0;
    return run;
}

int VoiceDetector::SilentFrames(const int16_t* window) {
    float r[kSilenceFrames][kLags];
    AutoCorrFrames(window, kSilenceFrames, r);
    int state = 0;
    int zeros = 0;
    for (int f = 0; f < kSilenceFrames; ++f) {
        state = ClassifyFrame(r[f], state, m_levels);
        if (state == 0) ++zeros;
    }
    return zeros;
}

}  // namespace nelo::rec
