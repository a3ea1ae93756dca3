#pragma once
#include <cstdint>
#include <vector>

namespace nelo {

// Reads a whole sound file named in the ANSI code page. Returns an ErrorCode
// (files larger than the engine ever scores are refused unread).
int ReadSoundFile(const char* path, std::vector<uint8_t>& bytes);

}  // namespace nelo
