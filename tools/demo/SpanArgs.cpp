#include "SpanArgs.h"

namespace {

// Decimal digits only, at most nine: no sign, no spaces, nothing the C run-time
// would skip or wrap.
bool ReadMs(const std::wstring& text, size_t from, size_t to, uint32_t& value) {
    if (to <= from || to - from > 9) return false;
    value = 0;
    for (size_t i = from; i < to; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return false;
        value = value * 10 + static_cast<uint32_t>(text[i] - L'0');
    }
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

bool ParseSpanArg(const std::wstring& text, CWordSpan& span) {
    const size_t dash = text.find(L'-');
    const size_t colon = text.find(L':');
    if (dash == std::wstring::npos || colon == std::wstring::npos || colon < dash) return false;
    if (text.size() - colon - 1 != 6) return false;
    CWordSpan s;
    if (!ReadMs(text, 0, dash, s.nStartMs) || !ReadMs(text, dash + 1, colon, s.nEndMs)) return false;
    if (s.nEndMs < s.nStartMs) return false;
    uint8_t rgb[3];
    for (int i = 0; i < 3; ++i) {
        const int hi = HexDigit(text[colon + 1 + 2 * i]), lo = HexDigit(text[colon + 2 + 2 * i]);
        if (hi < 0 || lo < 0) return false;
        rgb[i] = static_cast<uint8_t>(hi * 16 + lo);
    }
    s.colour = {rgb[0], rgb[1], rgb[2]};
    span = s;
    return true;
}
