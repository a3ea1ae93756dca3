#include "HexPairs.h"

#include <climits>
#include <cwchar>

#if defined(__SSE2__) && WCHAR_MAX == 0xFFFF
#include <emmintrin.h>
#define NELO_HEX_SSE2 1
#endif

namespace scriptdata {
namespace {

// Value of a plain hexadecimal digit, or -1. Only ASCII digits are plain: any
// other character (white space, signs, the run-time's other digit forms, NUL)
// takes the exact path.
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

#ifdef NELO_HEX_SSE2
// Eight pairs (sixteen characters) at once when all of them are plain digits;
// false (nothing written) otherwise, and the pairs go one by one.
inline bool DecodeEightPlainPairs(const wchar_t* text, unsigned char* out) {
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
  const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 8));
  const __m128i zero = _mm_setzero_si128();
  const __m128i nine = _mm_set1_epi16(9), five = _mm_set1_epi16(5), ten = _mm_set1_epi16(10);
  const __m128i digit0 = _mm_set1_epi16('0'), letterA = _mm_set1_epi16('a'), caseBit = _mm_set1_epi16(0x20);
  auto nibbles = [&](__m128i c, __m128i& valid) {
    const __m128i d = _mm_sub_epi16(c, digit0);                         // '0'..'9' -> 0..9
    const __m128i l = _mm_sub_epi16(_mm_or_si128(c, caseBit), letterA); // 'a'..'f', 'A'..'F' -> 0..5
    const __m128i isDigit = _mm_cmpeq_epi16(_mm_subs_epu16(d, nine), zero);
    const __m128i isLetter = _mm_cmpeq_epi16(_mm_subs_epu16(l, five), zero);
    valid = _mm_or_si128(isDigit, isLetter);
    return _mm_or_si128(_mm_and_si128(isDigit, d), _mm_and_si128(isLetter, _mm_add_epi16(l, ten)));
  };
  __m128i validA, validB;
  const __m128i na = nibbles(a, validA);
  const __m128i nb = nibbles(b, validB);
  if (_mm_movemask_epi8(_mm_and_si128(validA, validB)) != 0xFFFF) return false;
  // Bytes hi0 lo0 hi1 lo1 ...; each 16-bit lane hi | lo << 8 becomes hi << 4 | lo.
  const __m128i packed = _mm_packus_epi16(na, nb);
  const __m128i joined = _mm_and_si128(_mm_or_si128(_mm_slli_epi16(packed, 4), _mm_srli_epi16(packed, 8)),
                                       _mm_set1_epi16(0xFF));
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(joined, joined));
  return true;
}
#endif

}  // namespace

unsigned char ReadHexPair(wchar_t hi, wchar_t lo) {
  const int h = PlainDigit(hi);
  const int l = PlainDigit(lo);
  if ((h | l) >= 0) return static_cast<unsigned char>((h << 4) | l);
  return ReadPairExactly(hi, lo);
}

std::size_t DecodeHexPairs(const wchar_t* text, std::size_t maxPairs, unsigned char* out) {
  if (!text) return 0;
  std::size_t i = 0;
  while (i < maxPairs) {
#ifdef NELO_HEX_SSE2
    // A NUL is no plain digit, so a block holding one is never taken whole and
    // nothing beyond the NUL is used (the block lies within the given bound).
    if (maxPairs - i >= 8 && DecodeEightPlainPairs(text + 2 * i, out + i)) {
      i += 8;
      continue;
    }
#endif
    // One pair, or the pairs of a block that was not plain throughout.
    const std::size_t end = i + 8 < maxPairs ? i + 8 : maxPairs;
    for (; i < end; ++i) {
      const wchar_t hi = text[2 * i];
      if (hi == L'\0') return i;
      const wchar_t lo = text[2 * i + 1];
      if (lo == L'\0') return i;
      const int h = PlainDigit(hi);
      const int l = PlainDigit(lo);
      out[i] = (h | l) >= 0 ? static_cast<unsigned char>((h << 4) | l) : ReadPairExactly(hi, lo);
    }
  }
  return i;
}

}  // namespace scriptdata
