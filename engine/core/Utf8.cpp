#include "Utf8.h"

#include <cstdint>

namespace nelo {

long Utf16Length(const char* text, size_t size) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
    long units = 0;
    size_t i = 0;
    while (i < size) {
        uint8_t b = p[i];
        uint32_t cp;
        size_t extra;
        if (b == 0) return -1;
        if (b < 0x80) { cp = b; extra = 0; }
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; extra = 1; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; extra = 2; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; extra = 3; }
        else return -1;
        if (size - i <= extra) return -1;
        for (size_t k = 1; k <= extra; ++k) {
            uint8_t c = p[i + k];
            if ((c & 0xC0) != 0x80) return -1;
            cp = (cp << 6) | (c & 0x3F);
        }
        static const uint32_t kMinForLength[4] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
        units += cp >= 0x10000 ? 2 : 1;
        i += extra + 1;
    }
    return units;
}

}  // namespace nelo
