// Hex strings from scripts: every decoded byte must be what the C run-time's
// wcstol makes of its two characters, decoding must stop at the first pair
// holding a NUL, and it must never write past the pairs it was allowed.
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "HexPairs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const uint8_t limitChoice = in.Take<uint8_t>();
    const std::wstring text = in.RestAsUtf16();
    const size_t available = text.size() / 2;
    // Sometimes fewer pairs than the text holds, as a caller's length may say.
    const size_t maxPairs = (limitChoice & 0x80) ? available : std::min<size_t>(available, limitChoice);

    // Exactly 2 * maxPairs readable characters, heap-allocated so a sanitizer
    // sees any read beyond them.
    std::vector<wchar_t> chars(text.begin(), text.begin() + 2 * maxPairs);
    std::vector<unsigned char> out(maxPairs + 1, 0xA5);
    const size_t written = scriptdata::DecodeHexPairs(chars.data(), maxPairs, out.data());

    FUZZ_CHECK(written <= maxPairs);
    FUZZ_CHECK(out[maxPairs] == 0xA5);  // the guard byte stays untouched
    for (size_t i = 0; i < written; ++i) {
        const wchar_t hi = chars[2 * i], lo = chars[2 * i + 1];
        FUZZ_CHECK(hi != L'\0' && lo != L'\0');
        const wchar_t pair[3] = {hi, lo, L'\0'};
        const unsigned char expected = static_cast<unsigned char>(std::wcstol(pair, nullptr, 16) & 0xFF);
        FUZZ_CHECK(out[i] == expected);
        FUZZ_CHECK(scriptdata::ReadHexPair(hi, lo) == expected);
    }
    if (written < maxPairs) FUZZ_CHECK(chars[2 * written] == L'\0' || chars[2 * written + 1] == L'\0');
    FUZZ_CHECK(scriptdata::DecodeHexPairs(nullptr, maxPairs, out.data()) == 0);
    return 0;
}
