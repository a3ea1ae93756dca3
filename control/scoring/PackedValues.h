// How engine answers are folded into the 32-bit results scripts get. Pure.
#pragma once
#include <windows.h>

#include <cstdint>

// Two values in one I4: the first in the low 16 bits, the second in the high 16 bits, each
// cut to its low 16 bits (the pair 70000, 2 packs as 135536). The failure value -1 is also
// the packing of (65535, 65535); scripts tell them apart by the log only.
inline LONG PackPair(int first, int second) {
    const ULONG low = static_cast<ULONG>(first) & 0xFFFFu;
    const ULONG high = static_cast<ULONG>(second) & 0xFFFFu;
    return static_cast<LONG>(low | (high << 16));
}

// The upper 32 bits of a 64-bit engine result, the part a phoneme item carries its value in.
inline LONG UpperHalf(int64_t value) {
    return static_cast<LONG>(static_cast<uint32_t>(static_cast<uint64_t>(value) >> 32));
}

// A script's scoring length: the engine takes -1 for "to the end" and nothing else <= 0.
inline LONG EngineScoreLength(LONG nLen) { return nLen <= 0 ? -1 : nLen; }
