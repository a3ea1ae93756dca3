#include "Utf8.h"

namespace {

const char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string WideToUtf8(const wchar_t* text, std::size_t length) {
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        // wchar_t is 16 bits on the target; mask so a wider host type behaves alike.
        char32_t c = static_cast<char32_t>(text[i]) & 0xFFFF;
        if (c == 0) {
            c = kReplacement;
        } else if (IsHighSurrogate(c)) {
            char32_t next = (i + 1 < length) ? (static_cast<char32_t>(text[i + 1]) & 0xFFFF) : 0;
            if (IsLowSurrogate(next)) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++i;
            } else {
                c = kReplacement;
            }
        } else if (IsLowSurrogate(c)) {
            c = kReplacement;
        }
        AppendCodePoint(out, c);
    }
    return out;
}
