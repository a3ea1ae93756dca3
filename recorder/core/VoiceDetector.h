// The detector's two scans over one analysis window: the onset search and
// the silence count. Pure computation, fed exact samples.
#pragma once
#include <cstdint>

#include "FrameClassifier.h"

namespace nelo::rec {

constexpr int kBufferSamples = 960;          // one 60 ms capture buffer
constexpr int kBufferBytes = kBufferSamples * 2;
constexpr int kWindowSamples = 2 * kBufferSamples;  // previous buffer + current one
constexpr int kFrameStep = 80;               // frames start every 5 ms
constexpr int kOnsetFrames = 24;
constexpr int kSilenceFrames = 12;
// The onset scan's last frame starts at 1840 and reaches 80 samples past the
// window; those samples are zeros held in the window's own storage.
constexpr int kWindowStorage = (kOnsetFrames - 1) * kFrameStep + kFrameSamples;  // 2000
constexpr int kMinOnsetRun = 13;             // voice frames ending at the last one
constexpr int kMinSilentFrames = 9;          // of the 12 frames of the silence count

// Builds the analysis window: previous buffer, then the current one, both raw,
// then the mean of the 1920 samples (int32 sum / 1920, truncated) subtracted
// with 16-bit wrap-around. window must hold kWindowStorage samples; the tail
// beyond the window is zeroed.
void BuildAnalysisWindow(const int16_t* previous, const int16_t* current, int16_t* window);

enum class AutoCorrMethod { Lanes, Scalar };

class VoiceDetector {
public:
    explicit VoiceDetector(AutoCorrMethod method = AutoCorrMethod::Lanes) : m_method(method) {}

    void Reset() { m_levels = NoiseLevels{}; }
    const NoiseLevels& Levels() const { return m_levels; }
    NoiseLevels& Levels() { return m_levels; }

    // Length of the run of voice frames (each classified from state 0) that
    // ends at the scan's last frame, over 24 frames starting every 80 samples.
    int OnsetRun(const int16_t* window);

    // Non-voice frames among the 12 first frames, with the state carried from
    // frame to frame and starting at 0.
    int SilentFrames(const int16_t* window);

private:
    void AutoCorrFrames(const int16_t* window, int frames, float (*r)[kLags]);

    AutoCorrMethod m_method;
    NoiseLevels m_levels;
};

}  // namespace nelo::rec
