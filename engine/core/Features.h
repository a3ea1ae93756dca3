// Acoustic features: mel-frequency cepstra every 10 ms over 25 ms windows,
// with their deltas and the frame energy that the speech detector uses.
// Power spectra are kept apart from the cepstra so that one recording can be
// turned into cepstra for several vocal-tract warps at little cost.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nelo {

constexpr int kFrameHop = 160;     // 10 ms at 16 kHz
constexpr int kFrameLength = 400;  // 25 ms
constexpr int kCepstra = 12;       // c1..c12; c0 is left to the energy
constexpr int kFeatureDim = 2 * kCepstra;
constexpr int kSpectrumBins = 244; // bins kept of a 512-point transform: up to 7625 Hz, the filters' top

// Frequency warps for vocal-tract length: a learner whose formants sit higher
// than the reference's (a shorter tract) is read with a factor above 1.
constexpr int kWarpCount = 9;
constexpr float kWarps[kWarpCount] = {0.88f, 0.94f, 1.0f, 1.06f, 1.12f, 1.18f, 1.24f, 1.30f, 1.36f};
constexpr int kNoWarp = 2;

struct SpectralFrames {
    size_t count = 0;
    std::vector<float> power;     // count x kSpectrumBins
    std::vector<float> energyDb;  // per frame, dB relative to full scale
};

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

// The forms with an output argument reuse its buffers.
void ComputeSpectra(const int16_t* samples, size_t count, SpectralFrames& out);
SpectralFrames ComputeSpectra(const int16_t* samples, size_t count);
// Cepstra of the frames [begin, end) (all by default) for one warp.
void CepstraOf(const SpectralFrames& spectra, int warp, size_t begin, size_t end, FeatureFrames& out);
FeatureFrames CepstraOf(const SpectralFrames& spectra, int warp = kNoWarp, size_t begin = 0, size_t end = SIZE_MAX);
FeatureFrames ComputeFeatures(const int16_t* samples, size_t count);

// Mean and variance normalisation of the features over the frames [begin, end)
// for which `use` is set (all when empty), applied to every frame of that
// stretch; removes the speaker's and the channel's constant colouring.
void NormaliseFeatures(FeatureFrames& f, size_t begin, size_t end, const std::vector<uint8_t>& use);

}  // namespace nelo
