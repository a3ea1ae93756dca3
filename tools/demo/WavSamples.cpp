#include "WavSamples.h"

namespace {

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

}  // namespace

bool ReadWavSamples(const std::vector<uint8_t>& bytes, CWavSamples& wav, std::string& error) {
    wav = CWavSamples();
    const uint8_t* p = bytes.data();
    const size_t size = bytes.size();
    if (size < 12 || std::string(reinterpret_cast<const char*>(p), 4) != "RIFF" ||
        std::string(reinterpret_cast<const char*>(p + 8), 4) != "WAVE")
        return Fail(error, "not a RIFF/WAVE file");

    bool haveFormat = false;
    size_t at = 12;
    while (at + 8 <= size) {
        const std::string id(reinterpret_cast<const char*>(p + at), 4);
        const uint32_t length = Le32(p + at + 4);
        const size_t body = at + 8;
        if (length > size - body) {
            // A recorder that was cut off mid-write may leave a data length beyond the end;
            // such a file is refused, not guessed at.
            return Fail(error, "a chunk runs past the end of the file");
        }
        if (id == "fmt ") {
            if (length < 16) return Fail(error, "the format chunk is too short");
            if (Le16(p + body) != 1) return Fail(error, "not PCM");
            if (Le16(p + body + 2) != 1) return Fail(error, "not mono");
            if (Le16(p + body + 14) != 16) return Fail(error, "not 16-bit");
            wav.nSampleRate = Le32(p + body + 4);
            if (wav.nSampleRate == 0) return Fail(error, "a sample rate of 0");
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return Fail(error, "data before the format chunk");
            wav.samples.resize(length / 2);
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<int16_t>(Le16(p + body + 2 * i));
            return true;
        }
        at = body + length + (length & 1);  // chunks are padded to an even length
    }
    return Fail(error, "no data chunk");
}
