#pragma once
#include <cstdint>
#include <vector>

namespace nelo::lesson {

// Band-limited resampling (windowed sinc) from any rate to 16 kHz.
std::vector<int16_t> ResampleTo16k(const std::vector<int16_t>& in, int inRate);

// The 16 kHz sample that corresponds to a sample at the input rate.
inline uint32_t MapSampleTo16k(uint32_t sample, int inRate) {
    return static_cast<uint32_t>((static_cast<uint64_t>(sample) * 16000 + inRate / 2) / inRate);
}

}  // namespace nelo::lesson
