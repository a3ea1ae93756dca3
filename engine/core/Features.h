// Acoustic features: mel-frequency cepstra every 10 ms over 25 ms windows,
// with their deltas and the frame energy that the speech detector uses.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nelo {

constexpr int kFrameHop = 160;     // 10 ms at 16 kHz
constexpr int kFrameLength = 400;  // 25 ms
constexpr int kCepstra = 12;       // c1..c12; c0 is left to the energy
constexpr int kFeatureDim = 2 * kCepstra;

struct FeatureFrames {
    size_t count = 0;
    std::vector<float> values;   // count x kFeatureDim, row per frame
    std::vector<float> energyDb; // per frame, dB relative to full scale
    const float* frame(size_t i) const { return values.data() + i * kFeatureDim; }
    float* frame(size_t i) { return values.data() + i * kFeatureDim; }
};

// Frames needed for n samples (a last partial window is left out).
inline size_t FrameCount(size_t samples) {
    return samples < static_cast<size_t>(kFrameLength) ? 0 : 1 + (samples - kFrameLength) / kFrameHop;
}

FeatureFrames ComputeFeatures(const int16_t* samples, size_t count);

// Mean and variance normalisation of the cepstra over the frames [begin, end)
// for which `use` is set (all when empty), applied to every frame of that
// stretch; removes the speaker's and the channel's constant colouring.
void NormaliseFeatures(FeatureFrames& f, size_t begin, size_t end, const std::vector<uint8_t>& use);

}  // namespace nelo
