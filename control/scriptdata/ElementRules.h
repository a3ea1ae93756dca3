// How one array element becomes a byte, for the element types whose answer
// needs no help from the platform.
//
// The automation rule for a byte is: an integer from 0 to 255 is that byte,
// any other integer overflows, except a signed byte (VT_I1), which the platform
// takes by its bits. Integers are by far the commonest elements
// (script engines store small numbers as 16- or 32-bit integers), so reading
// them here spares a platform conversion per element. Every other type (floating
// point, currency, dates, booleans, strings, objects) keeps the platform's own
// conversion, with its rounding and parsing.
//
// Pure code: the type numbers are the automation VARTYPE values, spelled out
// here so that a fuzzer can drive this without the platform's headers.
#pragma once

#include <cstddef>

namespace scriptdata {

namespace vartype {
constexpr unsigned short kEmpty = 0, kNull = 1, kI2 = 2, kI4 = 3, kR4 = 4, kR8 = 5, kCy = 6,
                         kDate = 7, kBstr = 8, kDispatch = 9, kError = 10, kBool = 11,
                         kVariant = 12, kUnknown = 13, kDecimal = 14, kI1 = 16, kUI1 = 17,
                         kUI2 = 18, kUI4 = 19, kI8 = 20, kUI8 = 21, kInt = 22, kUInt = 23;
}  // namespace vartype

enum class ElementReading {
  kByte,             // the value is 0..255; the byte is stored
  kOverflow,         // an integer outside 0..255
  kNeedsConversion,  // not an integer type: the platform's conversion decides
};

// Reads a value of the given element type, stored at value (unaligned access is
// fine), by the integer rule above.
ElementReading ReadIntegerElement(unsigned short type, const void* value, unsigned char& byte);

// Size in bytes of one element of an array of that type, for the scalar types an
// array can hold and this conversion reads; 0 for any other type (variants,
// records, unknown numbers). Pointer-sized types depend on the build.
std::size_t ScalarElementSize(unsigned short type);

}  // namespace scriptdata
