#include "PngWriter.h"

#include <algorithm>
#include <stdexcept>

namespace {

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

// Length, type, data, and the CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    const size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(&out[typeAt], 4 + data.size()));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {  // the demo tool is single-threaded; the table is the same whoever fills it
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < size; ++i) {
        a = (a + data[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> ZlibStore(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out;
    out.reserve(data.size() + data.size() / 65535 * 5 + 16);
    out.push_back(0x78);  // deflate, 32 KiB window
    out.push_back(0x01);  // no dictionary, lowest level; 0x7801 is a multiple of 31
    size_t at = 0;
    do {  // an empty input still needs one (final, empty) block
        const size_t n = std::min<size_t>(65535, data.size() - at);
        const bool last = at + n == data.size();
        out.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
        out.push_back(static_cast<uint8_t>(n));
        out.push_back(static_cast<uint8_t>(n >> 8));
        out.push_back(static_cast<uint8_t>(~n));
        out.push_back(static_cast<uint8_t>(~n >> 8));
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    PutBigEndian32(out, Adler32(data.data(), data.size()));
    return out;
}

std::vector<uint8_t> EncodePng(const CRgbImage& image) {
    if (image.Width() == 0 || image.Height() == 0) throw std::invalid_argument("a PNG needs at least one pixel");
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> png(kSignature, kSignature + 8);

    std::vector<uint8_t> header;
    PutBigEndian32(header, image.Width());
    PutBigEndian32(header, image.Height());
    header.push_back(8);  // bits per sample
    header.push_back(2);  // colour type: RGB
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method 0
    header.push_back(0);  // no interlace
    PutChunk(png, "IHDR", header);

    const size_t rowBytes = static_cast<size_t>(image.Width()) * 3;
    std::vector<uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.Height());
    for (uint32_t y = 0; y < image.Height(); ++y) {
        raw.push_back(0);  // filter type None
        raw.insert(raw.end(), image.Row(y), image.Row(y) + rowBytes);
    }
    PutChunk(png, "IDAT", ZlibStore(raw));
    PutChunk(png, "IEND", {});
    return png;
}
