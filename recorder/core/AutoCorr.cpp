#include "AutoCorr.h"

#include <emmintrin.h>

namespace nelo::rec {

void CalcAutoCorrScalar(const int16_t* x, float r[kLags]) {
    for (int i = 0; i < kLags; ++i) {
        float sum = 0.0f;
        for (int k = 0; k < kFrameSamples - i; ++k)
            sum += static_cast<float>(static_cast<int32_t>(x[k]) * x[k + i]);
        r[i] = sum;
    }
}

void LoadPaddedFrame(const int16_t* frame, float padded[kPaddedFrame]) {
    for (int k = 0; k < kFrameSamples; ++k) padded[k] = static_cast<float>(frame[k]);
    for (int k = kFrameSamples; k < kPaddedFrame; ++k) padded[k] = 0.0f;
}

// A float product of two 16-bit integers equals the exact integer product
// rounded once to float, the same value the scalar loop adds.
//
// Lane i of the three accumulators sums x[k] * x[k + i]. For k < 149 every
// lane's partner lies inside the frame; the last 11 values of k read from a
// copy of the frame's tail followed by zeros, so lanes whose range has ended
// add +/-0, which leaves a float sum unchanged. Each lane still adds its
// terms in increasing k, one rounding per addition.
namespace {

constexpr int kBodyEnd = kFrameSamples - kLags;  // 149

struct Lanes {
    __m128 s0 = _mm_setzero_ps(), s1 = _mm_setzero_ps(), s2 = _mm_setzero_ps();

    inline void Add(float xk, const float* partners) {
        const __m128 v = _mm_set1_ps(xk);
        s0 = _mm_add_ps(s0, _mm_mul_ps(v, _mm_loadu_ps(partners)));
        s1 = _mm_add_ps(s1, _mm_mul_ps(v, _mm_loadu_ps(partners + 4)));
        s2 = _mm_add_ps(s2, _mm_mul_ps(v, _mm_loadu_ps(partners + 8)));
    }
    void Store(float r[kLags]) const {
        alignas(16) float out[12];
        _mm_store_ps(out, s0);
        _mm_store_ps(out + 4, s1);
        _mm_store_ps(out + 8, s2);
        for (int i = 0; i < kLags; ++i) r[i] = out[i];
    }
};

// The frame's last 11 samples followed by 12 zeros.
struct Tail {
    alignas(16) float v[kLags + 12];
    explicit Tail(const float* x) {
        for (int i = 0; i < kLags; ++i) v[i] = x[kBodyEnd + i];
        for (int i = kLags; i < kLags + 12; ++i) v[i] = 0.0f;
    }
};

}  // namespace

void CalcAutoCorrLanesPair(const float* a, const float* b, float rA[kLags], float rB[kLags]) {
    Lanes la, lb;  // two frames interleaved: six independent sums hide the add latency
    for (int k = 0; k < kBodyEnd; ++k) {
        la.Add(a[k], a + k);
        lb.Add(b[k], b + k);
    }
    const Tail ta(a), tb(b);
    for (int k = 0; k < kLags; ++k) {
        la.Add(ta.v[k], ta.v + k);
        lb.Add(tb.v[k], tb.v + k);
    }
    la.Store(rA);
    lb.Store(rB);
}

void CalcAutoCorrLanes(const float* x, float r[kLags]) {
    Lanes l;
    for (int k = 0; k < kBodyEnd; ++k) l.Add(x[k], x + k);
    const Tail t(x);
    for (int k = 0; k < kLags; ++k) l.Add(t.v[k], t.v + k);
    l.Store(r);
}

void ConvertToFloat(const int16_t* samples, int count, float* out) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + i));
        // Sign-extend by placing each 16-bit value in the top half, then shifting down.
        const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
        const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
        _mm_storeu_ps(out + i, _mm_cvtepi32_ps(lo));
        _mm_storeu_ps(out + i + 4, _mm_cvtepi32_ps(hi));
    }
    for (; i < count; ++i) out[i] = static_cast<float>(samples[i]);
}

}  // namespace nelo::rec
