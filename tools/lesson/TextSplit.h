// Splits a sentence into its words, with positions both in code points (what
// espeak-ng reports) and in UTF-16 units (what the lesson stores).
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace nelo::lesson {

struct TextWord {
    std::string text;
    size_t codePoint = 0, codePoints = 0;  // start and length in code points
    size_t utf16 = 0, utf16Units = 0;      // start and length in UTF-16 units
};

// A word is a run of letters, digits and apostrophes inside a word; every
// other ASCII character separates words, and every non-ASCII character counts
// as a letter. Text that is not UTF-8 gives no words.
std::vector<TextWord> SplitWords(const std::string& utf8);

}  // namespace nelo::lesson
