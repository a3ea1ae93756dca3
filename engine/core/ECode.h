// The 8-byte e-code: scoring strictness and options (docs/engine/ecode.md).
// All zero bytes mean the defaults, so "no e-code" and "0000000000000000"
// score alike.
#pragma once
#include <cstdint>

namespace nelo {

constexpr uint8_t kECodeNoFluency = 0x01;         // overall leaves fluency out
constexpr uint8_t kECodeMissedWordsZero = 0x02;   // a word not read scores 0
constexpr uint8_t kECodeKnownFlags = kECodeNoFluency | kECodeMissedWordsZero;

struct ScoringOptions {
    int strictness = 3;           // 1 lenient .. 5 strict
    bool useFluency = true;
    bool missedWordsZero = false;
    int pauseMs = 300;            // a silence inside the speech this long counts as a pause
    int readThreshold = 35;       // a word scoring below this counts as not read
};

// Decodes an e-code; nullptr gives the defaults. Returns an ErrorCode and
// leaves `out` untouched on a refusal.
int DecodeECode(const uint8_t* ecode, ScoringOptions& out);

}  // namespace nelo
