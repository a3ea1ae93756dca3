#include "Features.h"

#include <algorithm>
#include <cmath>

namespace nelo {
namespace {

constexpr int kFftSize = 512;
constexpr int kMelBands = 26;
constexpr float kLowHz = 100.0f, kHighHz = 7600.0f;
constexpr float kPi = 3.14159265358979f;

float HzToMel(float hz) { return 2595.0f * std::log10(1.0f + hz / 700.0f); }
float MelToHz(float mel) { return 700.0f * (std::pow(10.0f, mel / 2595.0f) - 1.0f); }

// Everything that depends only on the frame layout, built once per process.
struct Tables {
    float window[kFrameLength];
    float cosTable[kFftSize / 2], sinTable[kFftSize / 2];
    int bitReverse[kFftSize];
    // Triangular mel filters as (first bin, weights) pairs.
    int filterStart[kMelBands];
    std::vector<float> filterWeights[kMelBands];
    float dct[kCepstra][kMelBands];

    Tables() {
        for (int i = 0; i < kFrameLength; ++i) window[i] = 0.54f - 0.46f * std::cos(2 * kPi * i / (kFrameLength - 1));
        for (int i = 0; i < kFftSize / 2; ++i) {
            cosTable[i] = std::cos(2 * kPi * i / kFftSize);
            sinTable[i] = -std::sin(2 * kPi * i / kFftSize);
        }
        int bits = 0;
        while ((1 << bits) < kFftSize) ++bits;
        for (int i = 0; i < kFftSize; ++i) {
            int r = 0;
            for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
            bitReverse[i] = r;
        }
        const float lo = HzToMel(kLowHz), hi = HzToMel(kHighHz);
        float edges[kMelBands + 2];
        for (int i = 0; i < kMelBands + 2; ++i) edges[i] = MelToHz(lo + (hi - lo) * i / (kMelBands + 1)) * kFftSize / 16000.0f;
        for (int m = 0; m < kMelBands; ++m) {
            const float left = edges[m], centre = edges[m + 1], right = edges[m + 2];
            filterStart[m] = static_cast<int>(std::ceil(left));
            for (int bin = filterStart[m]; bin <= static_cast<int>(std::floor(right)) && bin <= kFftSize / 2; ++bin) {
                float w = bin <= centre ? (bin - left) / (centre - left) : (right - bin) / (right - centre);
                filterWeights[m].push_back(std::max(0.0f, w));
            }
        }
        for (int c = 0; c < kCepstra; ++c)
            for (int m = 0; m < kMelBands; ++m) dct[c][m] = std::cos(kPi * (c + 1) * (m + 0.5f) / kMelBands);
    }
};

const Tables& GetTables() {
    static const Tables t;
    return t;
}

// In-place radix-2 complex FFT.
void Fft(float* re, float* im, const Tables& t) {
    for (int i = 0; i < kFftSize; ++i) {
        const int j = t.bitReverse[i];
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (int len = 2; len <= kFftSize; len <<= 1) {
        const int half = len / 2, step = kFftSize / len;
        for (int start = 0; start < kFftSize; start += len) {
            for (int k = 0; k < half; ++k) {
                const float wr = t.cosTable[k * step], wi = t.sinTable[k * step];
                const int a = start + k, b = a + half;
                const float tr = re[b] * wr - im[b] * wi, ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}

}  // namespace

FeatureFrames ComputeFeatures(const int16_t* samples, size_t count) {
    const Tables& t = GetTables();
    FeatureFrames f;
    f.count = FrameCount(count);
    f.values.assign(f.count * kFeatureDim, 0.0f);
    f.energyDb.assign(f.count, -100.0f);
    float re[kFftSize], im[kFftSize], power[kFftSize / 2 + 1];
    for (size_t n = 0; n < f.count; ++n) {
        const int16_t* s = samples + n * kFrameHop;
        float mean = 0;
        for (int i = 0; i < kFrameLength; ++i) mean += s[i];
        mean /= kFrameLength;
        double energy = 0;
        float previous = s[0] - mean;
        for (int i = 0; i < kFrameLength; ++i) {
            const float x = (s[i] - mean) / 32768.0f;
            energy += static_cast<double>(x) * x;
            // Pre-emphasis lifts the weak upper formants before the filters.
            const float emphasised = x - 0.97f * previous / 32768.0f;
            previous = s[i] - mean;
            re[i] = emphasised * t.window[i];
            im[i] = 0;
        }
        for (int i = kFrameLength; i < kFftSize; ++i) re[i] = im[i] = 0;
        f.energyDb[n] = static_cast<float>(10.0 * std::log10(energy / kFrameLength + 1e-10));
        Fft(re, im, t);
        for (int k = 0; k <= kFftSize / 2; ++k) power[k] = re[k] * re[k] + im[k] * im[k];
        float logMel[kMelBands];
        for (int m = 0; m < kMelBands; ++m) {
            float sum = 0;
            const std::vector<float>& w = t.filterWeights[m];
            for (size_t i = 0; i < w.size(); ++i) sum += w[i] * power[t.filterStart[m] + i];
            // The floor keeps digital silence from producing -inf cepstra.
            logMel[m] = std::log(sum + 1e-8f);
        }
        float* out = f.frame(n);
        for (int c = 0; c < kCepstra; ++c) {
            float v = 0;
            for (int m = 0; m < kMelBands; ++m) v += t.dct[c][m] * logMel[m];
            out[c] = v;
        }
    }
    // Deltas by regression over +-2 frames.
    for (size_t n = 0; n < f.count; ++n) {
        float* out = f.frame(n);
        for (int c = 0; c < kCepstra; ++c) {
            float num = 0;
            for (int k = 1; k <= 2; ++k) {
                const size_t before = n >= static_cast<size_t>(k) ? n - k : 0;
                const size_t after = std::min(f.count - 1, n + k);
                num += k * (f.frame(after)[c] - f.frame(before)[c]);
            }
            out[kCepstra + c] = num / 10.0f;
        }
    }
    return f;
}

void NormaliseFeatures(FeatureFrames& f, size_t begin, size_t end, const std::vector<uint8_t>& use) {
    end = std::min(end, f.count);
    if (begin >= end) return;
    double sum[kFeatureDim] = {}, sq[kFeatureDim] = {};
    size_t n = 0;
    for (size_t i = begin; i < end; ++i) {
        if (!use.empty() && !use[i]) continue;
        const float* v = f.frame(i);
        for (int d = 0; d < kFeatureDim; ++d) {
            sum[d] += v[d];
            sq[d] += static_cast<double>(v[d]) * v[d];
        }
        ++n;
    }
    if (n < 2) return;
    float mean[kFeatureDim], scale[kFeatureDim];
    for (int d = 0; d < kFeatureDim; ++d) {
        mean[d] = static_cast<float>(sum[d] / n);
        const double var = sq[d] / n - static_cast<double>(mean[d]) * mean[d];
        scale[d] = static_cast<float>(1.0 / std::sqrt(std::max(var, 1e-6)));
    }
    for (size_t i = begin; i < end; ++i) {
        float* v = f.frame(i);
        for (int d = 0; d < kFeatureDim; ++d) v[d] = (v[d] - mean[d]) * scale[d];
    }
}

}  // namespace nelo
