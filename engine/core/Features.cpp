#include "Features.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace nelo {
namespace {

constexpr int kFftSize = 512;
constexpr int kHalf = kFftSize / 2;  // the real transform runs as a complex one of half the size
constexpr int kMelBands = 26;
constexpr float kLowHz = 100.0f, kHighHz = 7600.0f;
constexpr float kPi = 3.14159265358979f;

// Natural logarithm from the float's exponent and a short series for the
// mantissa: accurate to about 1e-7, several times faster than the C
// library's logf on the Windows runtime, and the same bits on every platform.
float FastLog(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, 4);
    int exponent = static_cast<int>((bits >> 23) & 0xFF) - 127;
    bits = (bits & 0x007FFFFFu) | 0x3F800000u;  // mantissa in [1, 2)
    float m;
    std::memcpy(&m, &bits, 4);
    if (m > 1.41421356f) {
        m *= 0.5f;
        ++exponent;
    }
    const float t = (m - 1.0f) / (m + 1.0f), t2 = t * t;
    const float series = 2.0f * t * (1.0f + t2 * (1.0f / 3 + t2 * (1.0f / 5 + t2 * (1.0f / 7 + t2 * (1.0f / 9)))));
    return static_cast<float>(exponent) * 0.69314718f + series;
}

float HzToMel(float hz) { return 2595.0f * std::log10(1.0f + hz / 700.0f); }
float MelToHz(float mel) { return 700.0f * (std::pow(10.0f, mel / 2595.0f) - 1.0f); }

// Piecewise-linear warp: scale by alpha up to a knee, then bend so that the
// top of the band stays where it is (nothing is asked of frequencies past it).
float WarpHz(float hz, float alpha) {
    const float knee = 0.8f * kHighHz * std::min(1.0f, 1.0f / alpha);
    if (hz <= knee) return alpha * hz;
    return alpha * knee + (kHighHz - alpha * knee) * (hz - knee) / (kHighHz - knee);
}

struct MelBank {
    int start[kMelBands];
    std::vector<float> weights[kMelBands];
};

// Everything that depends only on the frame layout, built once per process.
struct Tables {
    float window[kFrameLength];
    float twiddleRe[kHalf / 2], twiddleIm[kHalf / 2];  // for the half-size complex transform
    float splitRe[kHalf + 1], splitIm[kHalf + 1];      // for unpacking the real transform
    int bitReverse[kHalf];
    MelBank banks[kWarpCount];
    float dct[kCepstra][kMelBands];

    Tables() {
        for (int i = 0; i < kFrameLength; ++i) window[i] = 0.54f - 0.46f * std::cos(2 * kPi * i / (kFrameLength - 1));
        for (int i = 0; i < kHalf / 2; ++i) {
            twiddleRe[i] = std::cos(2 * kPi * i / kHalf);
            twiddleIm[i] = -std::sin(2 * kPi * i / kHalf);
        }
        for (int k = 0; k <= kHalf; ++k) {
            splitRe[k] = std::cos(2 * kPi * k / kFftSize);
            splitIm[k] = -std::sin(2 * kPi * k / kFftSize);
        }
        int bits = 0;
        while ((1 << bits) < kHalf) ++bits;
        for (int i = 0; i < kHalf; ++i) {
            int r = 0;
            for (int b = 0; b < bits; ++b) r |= ((i >> b) & 1) << (bits - 1 - b);
            bitReverse[i] = r;
        }
        for (int w = 0; w < kWarpCount; ++w) buildBank(banks[w], kWarps[w]);
        for (int c = 0; c < kCepstra; ++c)
            for (int m = 0; m < kMelBands; ++m) dct[c][m] = std::cos(kPi * (c + 1) * (m + 0.5f) / kMelBands);
    }

    static void buildBank(MelBank& bank, float alpha) {
        const float lo = HzToMel(kLowHz), hi = HzToMel(kHighHz);
        float edges[kMelBands + 2];
        for (int i = 0; i < kMelBands + 2; ++i)
            edges[i] = WarpHz(MelToHz(lo + (hi - lo) * i / (kMelBands + 1)), alpha) * kFftSize / 16000.0f;
        for (int m = 0; m < kMelBands; ++m) {
            const float left = edges[m], centre = edges[m + 1], right = edges[m + 2];
            bank.start[m] = static_cast<int>(std::ceil(left));
            for (int bin = bank.start[m]; bin <= static_cast<int>(std::floor(right)) && bin < kSpectrumBins; ++bin) {
                const float w = bin <= centre ? (bin - left) / (centre - left) : (right - bin) / (right - centre);
                bank.weights[m].push_back(std::max(0.0f, w));
            }
            if (bank.weights[m].empty()) {  // a band narrower than one bin still reads its nearest bin
                bank.start[m] = std::min(kSpectrumBins - 1, static_cast<int>(std::lround(centre)));
                bank.weights[m].push_back(1.0f);
            }
        }
    }
};

const Tables& GetTables() {
    static const Tables t;
    return t;
}

// In-place radix-2 complex transform of kHalf points.
void Fft(float* re, float* im, const Tables& t) {
    for (int i = 0; i < kHalf; ++i) {
        const int j = t.bitReverse[i];
        if (j > i) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (int len = 2; len <= kHalf; len <<= 1) {
        const int half = len / 2, stride = kHalf / len;
        for (int start = 0; start < kHalf; start += len) {
            for (int k = 0; k < half; ++k) {
                const float wr = t.twiddleRe[k * stride], wi = t.twiddleIm[k * stride];
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

// Power spectrum (the first kSpectrumBins bins) of kFftSize real values (zero-padded frame) through a
// complex transform of half the size: even samples as real parts, odd as
// imaginary, then the two interleaved spectra are separated.
void RealPowerSpectrum(const float* x, float* power, const Tables& t) {
    float re[kHalf], im[kHalf];
    for (int i = 0; i < kHalf; ++i) {
        re[i] = x[2 * i];
        im[i] = x[2 * i + 1];
    }
    Fft(re, im, t);
    for (int k = 0; k < kSpectrumBins; ++k) {
        const int a = k % kHalf, b = (kHalf - k) % kHalf;
        const float evenRe = 0.5f * (re[a] + re[b]), evenIm = 0.5f * (im[a] - im[b]);
        const float oddRe = 0.5f * (im[a] + im[b]), oddIm = -0.5f * (re[a] - re[b]);
        const float wr = t.splitRe[k], wi = t.splitIm[k];
        const float xr = evenRe + wr * oddRe - wi * oddIm, xi = evenIm + wr * oddIm + wi * oddRe;
        power[k] = xr * xr + xi * xi;
    }
}

}  // namespace

SpectralFrames ComputeSpectra(const int16_t* samples, size_t count) {
    SpectralFrames s;
    ComputeSpectra(samples, count, s);
    return s;
}

void ComputeSpectra(const int16_t* samples, size_t count, SpectralFrames& s) {
    const Tables& t = GetTables();
    s.count = FrameCount(count);
    s.power.assign(s.count * kSpectrumBins, 0.0f);
    s.energyDb.assign(s.count, -100.0f);
    float frame[kFftSize] = {};
    for (size_t n = 0; n < s.count; ++n) {
        const int16_t* x = samples + n * kFrameHop;
        float mean = 0;
        for (int i = 0; i < kFrameLength; ++i) mean += x[i];
        mean /= kFrameLength;
        double energy = 0;
        float previous = (x[0] - mean) / 32768.0f;
        for (int i = 0; i < kFrameLength; ++i) {
            const float v = (x[i] - mean) / 32768.0f;
            energy += static_cast<double>(v) * v;
            // Pre-emphasis lifts the weak upper formants before the filters.
            frame[i] = (v - 0.97f * previous) * t.window[i];
            previous = v;
        }
        s.energyDb[n] = static_cast<float>(10.0 * std::log10(energy / kFrameLength + 1e-10));
        RealPowerSpectrum(frame, &s.power[n * kSpectrumBins], t);
    }
}

FeatureFrames CepstraOf(const SpectralFrames& s, int warp, size_t begin, size_t end) {
    FeatureFrames f;
    CepstraOf(s, warp, begin, end, f);
    return f;
}

void CepstraOf(const SpectralFrames& s, int warp, size_t begin, size_t end, FeatureFrames& f) {
    const Tables& t = GetTables();
    const MelBank& bank = t.banks[std::min(std::max(warp, 0), kWarpCount - 1)];
    end = std::min(end, s.count);
    begin = std::min(begin, end);
    f.count = end - begin;
    f.values.assign(f.count * kFeatureDim, 0.0f);
    f.energyDb.assign(s.energyDb.begin() + begin, s.energyDb.begin() + end);
    for (size_t n = 0; n < f.count; ++n) {
        const float* power = &s.power[(begin + n) * kSpectrumBins];
        float logMel[kMelBands];
        for (int m = 0; m < kMelBands; ++m) {
            float sum = 0;
            const std::vector<float>& w = bank.weights[m];
            const float* p = power + bank.start[m];
            for (size_t i = 0; i < w.size(); ++i) sum += w[i] * p[i];
            // The floor keeps digital silence from producing -inf cepstra.
            logMel[m] = FastLog(sum + 1e-8f);
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
        const size_t b1 = n >= 1 ? n - 1 : 0, b2 = n >= 2 ? n - 2 : 0;
        const size_t a1 = std::min(f.count - 1, n + 1), a2 = std::min(f.count - 1, n + 2);
        for (int c = 0; c < kCepstra; ++c)
            out[kCepstra + c] = ((f.frame(a1)[c] - f.frame(b1)[c]) + 2 * (f.frame(a2)[c] - f.frame(b2)[c])) / 10.0f;
    }
}

FeatureFrames ComputeFeatures(const int16_t* samples, size_t count) { return CepstraOf(ComputeSpectra(samples, count)); }

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
        // Deltas carry the transitions between sounds but vary more between
        // speakers, so their unit variance is scaled to weigh half in the
        // squared distance.
        const double weight = d < kCepstra ? 1.0 : std::sqrt(0.5);
        scale[d] = static_cast<float>(weight / std::sqrt(std::max(var, 1e-6)));
    }
    for (size_t i = begin; i < end; ++i) {
        float* v = f.frame(i);
        for (int d = 0; d < kFeatureDim; ++d) v[d] = (v[d] - mean[d]) * scale[d];
    }
}

}  // namespace nelo
