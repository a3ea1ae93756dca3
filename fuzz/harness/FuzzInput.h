// Takes typed values off the front of a fuzzer's input; past the end every
// value reads as zero, so a harness never reads outside the input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    size_t Remaining() const { return m_size - m_pos; }

    template <typename T>
    T Take() {
        T value{};
        const size_t n = Remaining() < sizeof(T) ? Remaining() : sizeof(T);
        if (n) std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }

    // Up to `count` bytes (fewer at the end), as a pointer into the input.
    const uint8_t* TakeBytes(size_t count, size_t& got) {
        got = Remaining() < count ? Remaining() : count;
        const uint8_t* p = m_data + m_pos;
        m_pos += got;
        return p;
    }

    // The rest of the input as UTF-16 code units (little-endian pairs), the
    // way a script's string reaches the control; NULs included.
    std::wstring RestAsUtf16() {
        std::wstring text;
        while (Remaining() >= 2) text.push_back(static_cast<wchar_t>(Take<uint16_t>()));
        m_pos = m_size;
        return text;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A failed invariant: print it and stop, so the fuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                         \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "invariant failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);   \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)
