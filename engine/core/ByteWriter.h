// Little-endian output for the formats the engine writes (lessons, WAV files
// in tools and tests).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nelo {

class ByteWriter {
public:
    std::vector<uint8_t>& bytes() { return out_; }
    size_t size() const { return out_.size(); }

    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void tag(const char (&t)[5]) { out_.insert(out_.end(), t, t + 4); }
    void raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void patchU32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    std::vector<uint8_t> out_;
};

}  // namespace nelo
