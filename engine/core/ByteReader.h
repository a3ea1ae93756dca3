// Bounded little-endian reading of untrusted bytes: every read checks the
// remaining length first, so a malformed or truncated input can only make a
// read fail, never step outside the buffer.
#pragma once
#include <cstddef>
#include <cstdint>

namespace nelo {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t remaining() const { return size_ - pos_; }
    size_t position() const { return pos_; }
    const uint8_t* cursor() const { return data_ + pos_; }

    bool readU8(uint8_t& v) {
        if (remaining() < 1) return false;
        v = data_[pos_++];
        return true;
    }
    bool readU16(uint16_t& v) {
        if (remaining() < 2) return false;
        v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return true;
    }
    bool readU32(uint32_t& v) {
        if (remaining() < 4) return false;
        v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
            (static_cast<uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return true;
    }
    // Hands out a view of the next n bytes and moves past them.
    bool take(size_t n, const uint8_t*& view) {
        if (remaining() < n) return false;
        view = data_ + pos_;
        pos_ += n;
        return true;
    }
    bool skip(size_t n) {
        if (remaining() < n) return false;
        pos_ += n;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

inline int16_t ReadI16At(const uint8_t* p) {
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

}  // namespace nelo
