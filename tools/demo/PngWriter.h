// PNG encoding of a 24-bit picture without any compression library: the image
// data go into "stored" deflate blocks, which every PNG reader accepts. The
// pictures are small, so the size this costs does not matter. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RgbImage.h"

// The CRC-32 of PNG chunks and zlib (polynomial 0xEDB88320), continuing from `crc`
// (0 to start).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The Adler-32 checksum that ends a zlib stream.
uint32_t Adler32(const uint8_t* data, size_t size);

// A zlib stream holding `data` in stored blocks of at most 65535 bytes.
std::vector<uint8_t> ZlibStore(const std::vector<uint8_t>& data);

// The whole PNG file: signature, IHDR (8-bit RGB, no interlace), IDAT, IEND.
// Width and height must be at least 1.
std::vector<uint8_t> EncodePng(const CRgbImage& image);
