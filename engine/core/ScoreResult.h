// What one scored sound yields: sentence figures, and per word of the
// scoring range its score, times and phoneme scores.
#pragma once
#include <cstdint>
#include <vector>

namespace nelo {

struct PhonemeResult {
    uint32_t code = 0;  // the lesson's phoneme code
    int score = 0;      // 0..100
};

struct WordResult {
    int score = 0;      // 0..100
    int startMs = 0;    // in the scored sound, counted from its first sample (offset included)
    int endMs = 0;
    bool read = false;
    std::vector<PhonemeResult> phonemes;
};

struct ScoreResult {
    int overall = 0, accuracy = 0, fluency = 0, completeness = 0;
    int ratePercent = 0;
    int pauses = 0;
    int speechStartMs = 0, speechEndMs = 0;
    int speechMs = 0;
    int rangeStart = 0, rangeEnd = 0;  // split items scored, both inclusive
    std::vector<WordResult> words;     // words[k] is split item rangeStart + k
    // Mean aligned distance over the range; kept for calibration and evaluation.
    float meanCost = 0;
    float warp = 1.0f;  // the vocal-tract warp the learner was read with
};

}  // namespace nelo
