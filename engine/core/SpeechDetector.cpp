#include "SpeechDetector.h"

#include <algorithm>

namespace nelo {
namespace {

constexpr float kAbsoluteFloorDb = -60.0f;  // about 33 on the 16-bit scale: below that nothing is speech
constexpr float kMinDynamicDb = 12.0f;      // speech stands at least this far above the background
constexpr size_t kBridgeFrames = 15;        // gaps shorter than 150 ms stay inside the speech
constexpr size_t kMinRunFrames = 5;         // bursts shorter than 50 ms are clicks, not speech

float Percentile(std::vector<float> v, float p) {
    const size_t k = static_cast<size_t>(p * (v.size() - 1));
    std::nth_element(v.begin(), v.begin() + k, v.end());
    return v[k];
}

}  // namespace

SpeechMask DetectSpeech(const std::vector<float>& energyDb) {
    SpeechMask m;
    const size_t n = energyDb.size();
    m.speech.assign(n, 0);
    if (n == 0) return m;
    const float background = Percentile(energyDb, 0.1f);
    const float loud = Percentile(energyDb, 0.95f);
    // A recording whose loud part barely stands above its quiet part is
    // steady noise or silence throughout.
    if (loud < kAbsoluteFloorDb || loud - background < kMinDynamicDb) return m;
    const float threshold = std::max(kAbsoluteFloorDb, background + std::max(kMinDynamicDb * 0.5f, 0.3f * (loud - background)));
    for (size_t i = 0; i < n; ++i) m.speech[i] = energyDb[i] > threshold;

    // Drop short bursts, then bridge short gaps.
    for (size_t i = 0; i < n;) {
        if (!m.speech[i]) { ++i; continue; }
        size_t j = i;
        while (j < n && m.speech[j]) ++j;
        if (j - i < kMinRunFrames) std::fill(m.speech.begin() + i, m.speech.begin() + j, 0);
        i = j;
    }
    size_t lastSpeech = n;
    for (size_t i = 0; i < n; ++i) {
        if (!m.speech[i]) continue;
        if (lastSpeech != n && i - lastSpeech - 1 > 0 && i - lastSpeech - 1 < kBridgeFrames)
            std::fill(m.speech.begin() + lastSpeech + 1, m.speech.begin() + i, 1);
        lastSpeech = i;
    }
    m.first = n;
    for (size_t i = 0; i < n; ++i) {
        if (!m.speech[i]) continue;
        if (m.first == n) m.first = i;
        m.last = i + 1;
        ++m.speechFrames;
    }
    if (m.first == n) m.first = m.last = 0;
    return m;
}

}  // namespace nelo
