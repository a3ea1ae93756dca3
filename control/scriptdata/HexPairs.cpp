#include "HexPairs.h"

#include <cwchar>

namespace scriptdata {
namespace {

// Value of a plain hexadecimal digit, or -1. Only ASCII digits are plain: any
// other character (white space, signs, the run-time's other digit forms) takes
// the exact reading.
struct DigitTable {
  signed char value[128];
  constexpr DigitTable() : value{} {
    for (int c = 0; c < 128; ++c) value[c] = -1;
    for (int c = '0'; c <= '9'; ++c) value[c] = static_cast<signed char>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) value[c] = static_cast<signed char>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) value[c] = static_cast<signed char>(c - 'A' + 10);
  }
};
constexpr DigitTable kDigits;

inline int PlainDigit(wchar_t c) {
  const unsigned long u = static_cast<unsigned long>(c);
  return u < 128 ? kDigits.value[u] : -1;
}

unsigned char ReadPairExactly(wchar_t hi, wchar_t lo) {
  const wchar_t pair[3] = {hi, lo, L'\0'};
  return static_cast<unsigned char>(std::wcstol(pair, nullptr, 16) & 0xFF);
}

}  // namespace

unsigned char ReadHexPair(wchar_t hi, wchar_t lo) {
  const int h = PlainDigit(hi);
  const int l = PlainDigit(lo);
  if ((h | l) >= 0) return static_cast<unsigned char>((h << 4) | l);
  return ReadPairExactly(hi, lo);
}

std::size_t HexPairCount(const wchar_t* text) {
  return text ? std::wcslen(text) / 2 : 0;
}

void DecodeHexPairs(const wchar_t* text, std::size_t pairCount, unsigned char* out) {
  for (std::size_t i = 0; i < pairCount; ++i) {
    const wchar_t hi = text[2 * i];
    const wchar_t lo = text[2 * i + 1];
    const int h = PlainDigit(hi);
    const int l = PlainDigit(lo);
    out[i] = (h | l) >= 0 ? static_cast<unsigned char>((h << 4) | l) : ReadPairExactly(hi, lo);
  }
}

}  // namespace scriptdata
