#include "ElementRules.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace scriptdata {
namespace {

template <typename T>
T Load(const void* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Judged in 64 bits, wide enough for every integer element type, so that
// neither 255 (beyond an 8-bit signed type) nor a negative value is misread.
template <typename T>
ElementReading JudgeStored(const void* p, unsigned char& byte) {
  const T v = Load<T>(p);
  if constexpr (std::is_signed<T>::value) {
    if (v < 0) return ElementReading::kOverflow;
  }
  if (static_cast<std::uint64_t>(v) > 255) return ElementReading::kOverflow;
  byte = static_cast<unsigned char>(v);
  return ElementReading::kByte;
}

}  // namespace

ElementReading ReadIntegerElement(unsigned short type, const void* value, unsigned char& byte) {
  using namespace vartype;
  switch (type) {
    case kUI1: byte = Load<std::uint8_t>(value); return ElementReading::kByte;
    // The platform's VariantChangeType turns a signed byte into a byte by its
    // bits (-1 is 0xFF) rather than overflowing, and that is the rule kept.
    case kI1: byte = Load<std::uint8_t>(value); return ElementReading::kByte;
    case kI2: return JudgeStored<std::int16_t>(value, byte);
    case kUI2: return JudgeStored<std::uint16_t>(value, byte);
    case kI4:
    case kInt: return JudgeStored<std::int32_t>(value, byte);
    case kUI4:
    case kUInt: return JudgeStored<std::uint32_t>(value, byte);
    case kI8: return JudgeStored<std::int64_t>(value, byte);
    case kUI8: return JudgeStored<std::uint64_t>(value, byte);
    default: return ElementReading::kNeedsConversion;
  }
}

std::size_t ScalarElementSize(unsigned short type) {
  using namespace vartype;
  switch (type) {
    case kI1: case kUI1: return 1;
    case kI2: case kUI2: case kBool: return 2;
    case kI4: case kUI4: case kInt: case kUInt: case kR4: case kError: return 4;
    case kI8: case kUI8: case kR8: case kCy: case kDate: return 8;
    case kDecimal: return 16;
    case kBstr: case kDispatch: case kUnknown: return sizeof(void*);
    default: return 0;
  }
}

}  // namespace scriptdata
