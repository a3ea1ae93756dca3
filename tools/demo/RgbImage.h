// A plain 24-bit picture: rows top to bottom, three bytes (red, green, blue) a pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CRgb {
    uint8_t r, g, b;
    bool operator==(const CRgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const CRgb& o) const { return !(*this == o); }
};

class CRgbImage {
public:
    CRgbImage(uint32_t width, uint32_t height, CRgb fill)
        : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height * 3) {
        for (size_t i = 0; i < m_pixels.size(); i += 3) {
            m_pixels[i] = fill.r;
            m_pixels[i + 1] = fill.g;
            m_pixels[i + 2] = fill.b;
        }
    }

    uint32_t Width() const { return m_width; }
    uint32_t Height() const { return m_height; }
    const uint8_t* Row(uint32_t y) const { return &m_pixels[static_cast<size_t>(y) * m_width * 3]; }

    CRgb At(uint32_t x, uint32_t y) const {
        const uint8_t* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    void Set(uint32_t x, uint32_t y, CRgb c) {
        if (x >= m_width || y >= m_height) return;  // drawing may run past an edge; it is clipped
        uint8_t* p = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 3];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

private:
    uint32_t m_width, m_height;
    std::vector<uint8_t> m_pixels;
};
