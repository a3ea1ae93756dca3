// The samples of a 16-bit PCM mono WAV file, read from its bytes. Chunks are
// walked, so a file with extra chunks (LIST, fact) before its data reads too.
// Anything else (another format, stereo, 8-bit, a data chunk running past the
// end of the bytes) is refused with a reason rather than drawn wrongly. Pure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CWavSamples {
    uint32_t nSampleRate = 0;
    std::vector<int16_t> samples;
};

// True with `wav` filled, or false with `error` saying what is wrong.
bool ReadWavSamples(const std::vector<uint8_t>& bytes, CWavSamples& wav, std::string& error);
