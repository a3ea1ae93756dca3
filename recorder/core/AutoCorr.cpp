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
void CalcAutoCorrLanesPair(const float* a, const float* b, float rA[kLags], float rB[kLags]) {
    __m128 a0 = _mm_setzero_ps(), a1 = _mm_setzero_ps(), a2 = _mm_setzero_ps();
    __m128 b0 = _mm_setzero_ps(), b1 = _mm_setzero_ps(), b2 = _mm_setzero_ps();
    for (int k = 0; k < kFrameSamples; ++k) {
        const __m128 xa = _mm_set1_ps(a[k]);
        const __m128 xb = _mm_set1_ps(b[k]);
        a0 = _mm_add_ps(a0, _mm_mul_ps(xa, _mm_loadu_ps(a + k)));
        b0 = _mm_add_ps(b0, _mm_mul_ps(xb, _mm_loadu_ps(b + k)));
        a1 = _mm_add_ps(a1, _mm_mul_ps(xa, _mm_loadu_ps(a + k + 4)));
        b1 = _mm_add_ps(b1, _mm_mul_ps(xb, _mm_loadu_ps(b + k + 4)));
        a2 = _mm_add_ps(a2, _mm_mul_ps(xa, _mm_loadu_ps(a + k + 8)));
        b2 = _mm_add_ps(b2, _mm_mul_ps(xb, _mm_loadu_ps(b + k + 8)));
    }
    alignas(16) float outA[12], outB[12];
    _mm_store_ps(outA, a0); _mm_store_ps(outA + 4, a1); _mm_store_ps(outA + 8, a2);
    _mm_store_ps(outB, b0); _mm_store_ps(outB + 4, b1); _mm_store_ps(outB + 8, b2);
    for (int i = 0; i < kLags; ++i) { rA[i] = outA[i]; rB[i] = outB[i]; }
}

void CalcAutoCorrLanes(const float* x, float r[kLags]) {
    __m128 s0 = _mm_setzero_ps(), s1 = _mm_setzero_ps(), s2 = _mm_setzero_ps();
    for (int k = 0; k < kFrameSamples; ++k) {
        const __m128 xk = _mm_set1_ps(x[k]);
        s0 = _mm_add_ps(s0, _mm_mul_ps(xk, _mm_loadu_ps(x + k)));
        s1 = _mm_add_ps(s1, _mm_mul_ps(xk, _mm_loadu_ps(x + k + 4)));
        s2 = _mm_add_ps(s2, _mm_mul_ps(xk, _mm_loadu_ps(x + k + 8)));
    }
    alignas(16) float out[12];
    _mm_store_ps(out, s0); _mm_store_ps(out + 4, s1); _mm_store_ps(out + 8, s2);
    for (int i = 0; i < kLags; ++i) r[i] = out[i];
}

}  // namespace nelo::rec
