// Finds the frames that hold speech from their energy, relative to the
// recording's own background level, so that a quiet room and a noisy one
// are judged alike.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nelo {

struct SpeechMask {
    std::vector<uint8_t> speech;  // per frame, 1 = speech
    size_t first = 0;             // first speech frame
    size_t last = 0;              // one past the last speech frame; first == last: no speech
    size_t speechFrames = 0;
    bool any() const { return last > first; }
};

SpeechMask DetectSpeech(const std::vector<float>& energyDb);

}  // namespace nelo
