// One array element to one byte: integers 0..255 are bytes, other integers
// overflow, signed bytes go by their bits, everything else is left to the
// platform's conversion. Checked against a plain reading of the value.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ElementRules.h"
#include "FuzzInput.h"

namespace {

using scriptdata::ElementReading;
namespace vt = scriptdata::vartype;

// Whether the type is an integer the rule reads, and its value widened.
bool Widen(unsigned short type, const uint8_t* raw, bool& negative, uint64_t& magnitude) {
    auto load = [raw](auto zero) {
        decltype(zero) v;
        std::memcpy(&v, raw, sizeof v);
        return v;
    };
    int64_t s = 0;
    uint64_t u = 0;
    bool isSigned = true;
    switch (type) {
        case vt::kI2: s = load(int16_t{}); break;
        case vt::kI4: case vt::kInt: s = load(int32_t{}); break;
        case vt::kI8: s = load(int64_t{}); break;
        case vt::kUI2: u = load(uint16_t{}); isSigned = false; break;
        case vt::kUI4: case vt::kUInt: u = load(uint32_t{}); isSigned = false; break;
        case vt::kUI8: u = load(uint64_t{}); isSigned = false; break;
        default: return false;
    }
    negative = isSigned && s < 0;
    magnitude = isSigned ? static_cast<uint64_t>(s) : u;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    // Mostly the numbers an array really declares; now and then any number.
    const uint8_t pick = in.Take<uint8_t>();
    const unsigned short type = (pick & 0x80) ? in.Take<uint16_t>() : static_cast<unsigned short>(pick & 0x1F);
    uint8_t raw[16] = {};
    size_t got = 0;
    const uint8_t* bytes = in.TakeBytes(sizeof raw, got);
    std::memcpy(raw, bytes, got);

    unsigned char byte = 0x5A;
    const ElementReading reading = scriptdata::ReadIntegerElement(type, raw, byte);

    bool negative = false;
    uint64_t magnitude = 0;
    if (type == vt::kUI1 || type == vt::kI1) {
        FUZZ_CHECK(reading == ElementReading::kByte && byte == raw[0]);
    } else if (Widen(type, raw, negative, magnitude)) {
        const bool fits = !negative && magnitude <= 255;
        FUZZ_CHECK(reading == (fits ? ElementReading::kByte : ElementReading::kOverflow));
        if (fits) FUZZ_CHECK(byte == magnitude);
    } else {
        FUZZ_CHECK(reading == ElementReading::kNeedsConversion);
        FUZZ_CHECK(byte == 0x5A);  // nothing stored for a type it leaves alone
    }
    FUZZ_CHECK(scriptdata::ScalarElementSize(type) <= 16);
    return 0;
}
