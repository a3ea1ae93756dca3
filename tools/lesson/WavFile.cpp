#include "WavFile.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "ByteWriter.h"
#include "ErrorCodes.h"
#include "SoundData.h"

namespace nelo::lesson {

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::vector<int16_t> ReadWav16k(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    std::vector<int16_t> samples;
    const int err = DecodeWavFile(bytes.data(), bytes.size(), samples);
    if (err) throw std::runtime_error(path + ": " + ErrorText(err));
    return samples;
}

std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples) {
    ByteWriter w;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    w.tag("RIFF"); w.u32(36 + dataBytes); w.tag("WAVE");
    w.tag("fmt "); w.u32(16); w.u16(1); w.u16(1); w.u32(16000); w.u32(32000); w.u16(2); w.u16(16);
    w.tag("data"); w.u32(dataBytes);
    for (int16_t s : samples) w.i16(s);
    return std::move(w.bytes());
}

void WriteWav16k(const std::string& path, const std::vector<int16_t>& samples) { WriteFileBytes(path, WavBytes(samples)); }

}  // namespace nelo::lesson
