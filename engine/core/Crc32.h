#pragma once
#include <cstddef>
#include <cstdint>

namespace nelo {

// CRC-32 (IEEE 802.3 polynomial, reflected), as zip and PNG use it.
uint32_t Crc32(const uint8_t* data, size_t size);

}  // namespace nelo
