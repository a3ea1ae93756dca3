// A lesson: the reference text, its words with their pronunciations, and a
// reference recording with the time span of every word and phoneme.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nelo {

constexpr uint32_t kSampleRate = 16000;

// Sentence intonation the lesson's text asks for.
enum class Tone : uint8_t { Statement = 0, Question = 1, Exclamation = 2 };

constexpr uint32_t kItemStatementStress = 0x1;  // the word carries sentence stress
constexpr uint32_t kItemStressWord = 0x2;       // the sentence's main stress
constexpr uint32_t kItemKnownFlags = kItemStatementStress | kItemStressWord;

struct SampleSpan {
    uint32_t begin = 0;  // first sample
    uint32_t end = 0;    // one past the last sample
};

struct LessonItem {
    uint32_t start = 0;   // UTF-16 units into the text
    uint32_t length = 0;  // UTF-16 units
    uint32_t flags = 0;   // kItem* bits
    // Pronunciations as phoneme codes; the first is the one the reference
    // recording speaks, and the phoneme spans belong to it.
    std::vector<std::vector<uint32_t>> pronunciations;
    SampleSpan span;                       // the word in the reference recording
    std::vector<SampleSpan> phonemeSpans;  // one per phoneme of pronunciations[0]
};

struct Lesson {
    std::string text;  // UTF-8
    Tone tone = Tone::Statement;
    std::vector<LessonItem> items;
    std::vector<int16_t> samples;  // reference recording, 16 kHz mono
};

// Phoneme codes: bits 0-23 up to three ASCII symbol characters, first in the
// lowest byte; bits 24-27 the stress mark; bits 28-31 zero.
constexpr uint32_t kStressNone = 0, kStressUnstressed = 1, kStressSecondary = 2, kStressPrimary = 3;

inline uint32_t PhonemeSymbol(uint32_t code) { return code & 0x00FFFFFFu; }
inline uint32_t PhonemeStress(uint32_t code) { return (code >> 24) & 0xFu; }
inline uint32_t MakePhonemeCode(const std::string& symbol, uint32_t stress) {
    uint32_t code = 0;
    for (size_t i = 0; i < symbol.size() && i < 3; ++i) code |= static_cast<uint32_t>(static_cast<uint8_t>(symbol[i])) << (8 * i);
    return code | (stress << 24);
}
inline std::string PhonemeText(uint32_t code) {
    std::string s;
    for (int i = 0; i < 3; ++i) {
        char c = static_cast<char>((code >> (8 * i)) & 0xFF);
        if (!c) break;
        s += c;
    }
    return s;
}

}  // namespace nelo
