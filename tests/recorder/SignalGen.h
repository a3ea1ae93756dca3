// Exact test signals and a driver that feeds a CaptureCore one capture buffer
// at a time, as the worker does.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include "CaptureCore.h"

namespace nelo::rec::test {

// Deterministic white noise, uniform in [-amplitude, amplitude].
inline std::vector<int16_t> Noise(size_t n, int amplitude, uint32_t seed = 12345) {
    std::vector<int16_t> out(n);
    uint32_t state = seed;
    for (auto& s : out) {
        state = state * 1664525u + 1013904223u;
        const int span = 2 * amplitude + 1;
        s = static_cast<int16_t>(static_cast<int>((state >> 8) % static_cast<uint32_t>(span)) - amplitude);
    }
    return out;
}

inline std::vector<int16_t> Silence(size_t n) { return std::vector<int16_t>(n, 0); }

// Values in {-1, 0, 1} that identify their position well enough to tell a
// shift by one buffer from another: far too quiet to look like voice.
inline int16_t QuietMark(uint32_t index) {
    uint32_t h = index * 2654435761u;
    h ^= h >> 15;
    return static_cast<int16_t>(static_cast<int>(h % 3u) - 1);
}

inline std::vector<int16_t> Concat(std::initializer_list<std::vector<int16_t>> parts) {
    std::vector<int16_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

struct FedBuffer {
    BufferOutcome outcome;
    size_t index;  // 0-based among all buffers fed
};

// Drives a CaptureCore through one recording: start, device open, buffers.
class CoreDriver {
public:
    explicit CoreDriver(RecordSettings settings = {}) : m_settings(settings) {
        m_core.StartRecording();
        m_core.DeviceOpened();
    }

    CaptureCore& Core() { return m_core; }
    RecordSettings& Settings() { return m_settings; }

    // One buffer of up to 960 samples; a short one counts as a partly filled
    // capture buffer (the rest of the 1920 bytes keeps its old content).
    BufferOutcome Feed(const int16_t* samples, size_t count) {
        std::memcpy(m_buffer, samples, count * sizeof(int16_t));
        BufferOutcome out = m_core.OnBuffer(reinterpret_cast<const uint8_t*>(m_buffer),
                                            static_cast<int32_t>(count * 2), m_settings);
        ++m_fed;
        if (out.bReportCapturing) ++m_capturingNotices;
        if (out.bReportVoice) {
            ++m_voiceNotices;
            m_voiceAt = m_fed - 1;
        }
        if (out.end != CaptureEnd::None) {
            ++m_ends;
            m_endAt = m_fed - 1;
            m_end = out.end;
        }
        return out;
    }

    // Feeds whole buffers until the samples run out or the recording ends.
    void FeedAll(const std::vector<int16_t>& samples, bool stopAtEnd = true) {
        for (size_t at = 0; at + kBufferSamples <= samples.size(); at += kBufferSamples) {
            Feed(samples.data() + at, kBufferSamples);
            if (stopAtEnd && m_ends) return;
        }
    }

    void Settle() {
        const auto zeros = Silence(kBufferSamples);
        for (int i = 0; i < 9; ++i) Feed(zeros.data(), kBufferSamples);
    }

    size_t fed() const { return m_fed; }
    int capturingNotices() const { return m_capturingNotices; }
    int voiceNotices() const { return m_voiceNotices; }
    int ends() const { return m_ends; }
    size_t endAt() const { return m_endAt; }
    size_t voiceAt() const { return m_voiceAt; }
    CaptureEnd end() const { return m_end; }

private:
    CaptureCore m_core;
    RecordSettings m_settings;
    int16_t m_buffer[kBufferSamples] = {};
    size_t m_fed = 0;
    int m_capturingNotices = 0, m_voiceNotices = 0, m_ends = 0;
    size_t m_endAt = SIZE_MAX, m_voiceAt = SIZE_MAX;
    CaptureEnd m_end = CaptureEnd::None;
};

}  // namespace nelo::rec::test
