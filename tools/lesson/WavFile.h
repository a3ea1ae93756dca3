#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nelo::lesson {

// Whole-file helpers; they throw std::runtime_error with a message naming the file.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<int16_t> ReadWav16k(const std::string& path);  // 16 kHz mono 16-bit only
std::vector<uint8_t> WavBytes(const std::vector<int16_t>& samples);
void WriteWav16k(const std::string& path, const std::vector<int16_t>& samples);

}  // namespace nelo::lesson
