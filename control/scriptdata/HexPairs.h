// Reading a string of hexadecimal digit pairs into bytes, one pair a byte.
//
// Each pair is read as the C run-time's wcstol(pair, nullptr, 16) reads a
// two-character string, and the low 8 bits of that number are the byte. That
// reading is what stored pages and scripts already depend on, odd pairs
// included: " 5" is 0x05, "-1" is 0xFF, "+F" is 0x0F, "G1" is 0x00, "1G" is 0x01.
//
// Pure code: no COM, no window or device calls, so a fuzzer can drive it on any
// platform. Plain digit pairs take a table lookup; every other pair is handed to
// wcstol itself, so both paths give the run-time's answer by construction.
#pragma once

#include <cstddef>

namespace scriptdata {

// The byte that wcstol gives for the two characters hi, lo (neither NUL).
unsigned char ReadHexPair(wchar_t hi, wchar_t lo);

// Number of bytes a text yields: the characters before its first NUL, halved
// and rounded down (a trailing odd character is ignored). A null text yields 0.
std::size_t HexPairCount(const wchar_t* text);

// Decodes pairCount pairs of text (which must hold 2 * pairCount characters
// without a NUL among them) into out[0 .. pairCount-1].
void DecodeHexPairs(const wchar_t* text, std::size_t pairCount, unsigned char* out);

}  // namespace scriptdata
