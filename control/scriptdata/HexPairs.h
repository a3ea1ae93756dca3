// Reading a string of hexadecimal digit pairs into bytes, one pair a byte.
//
// Each pair is read as the C run-time's wcstol(pair, nullptr, 16) reads a
// two-character string, and the low 8 bits of that number are the byte. That
// reading is what stored pages and scripts already depend on, odd pairs
// included: " 5" is 0x05, "-1" is 0xFF, "+F" is 0x0F, "G1" is 0x00, "1G" is 0x01.
//
// Pure code: no COM, no window or device calls, so a fuzzer can drive it on any
// platform. Plain digit pairs are decoded directly (eight pairs at a time where
// SSE2 and 16-bit wchar_t allow); every other pair is handed to wcstol itself,
// so both paths give the run-time's answer by construction.
#pragma once

#include <cstddef>

namespace scriptdata {

// The byte that wcstol gives for the two characters hi, lo (neither NUL).
unsigned char ReadHexPair(wchar_t hi, wchar_t lo);

// Decodes the pairs of text into out, at most maxPairs of them, stopping at the
// first pair that holds a NUL (so the characters before the first NUL count, and
// a trailing odd one is ignored). All 2 * maxPairs characters must be readable
// (a BSTR's length or wcslen bounds them); out must have room for maxPairs bytes.
// Returns the number of bytes written.
std::size_t DecodeHexPairs(const wchar_t* text, std::size_t maxPairs, unsigned char* out);

}  // namespace scriptdata
