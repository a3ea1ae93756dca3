#include "TextSplit.h"

#include <cctype>
#include <cstdint>

#include "Utf8.h"

namespace nelo::lesson {

std::vector<TextWord> SplitWords(const std::string& utf8) {
    std::vector<TextWord> words;
    if (Utf16Length(utf8) < 0) return words;
    size_t cp = 0, u16 = 0;
    TextWord current;
    bool inWord = false;
    auto finish = [&]() {
        if (!inWord) return;
        while (!current.text.empty() && current.text.back() == '\'') {  // closing quote, not part of the word
            current.text.pop_back();
            --current.codePoints;
            --current.utf16Units;
        }
        if (!current.text.empty()) words.push_back(current);
        inWord = false;
    };
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t b = static_cast<uint8_t>(utf8[i]);
        size_t bytes = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 4;
        const size_t units = bytes == 4 ? 2 : 1;
        const bool letter = b >= 0x80 || std::isalnum(b) || (b == '\'' && inWord);
        if (letter) {
            if (!inWord) {
                current = TextWord{};
                current.codePoint = cp;
                current.utf16 = u16;
                inWord = true;
            }
            current.text.append(utf8, i, bytes);
            ++current.codePoints;
            current.utf16Units += units;
        } else {
            finish();
        }
        i += bytes;
        ++cp;
        u16 += units;
    }
    finish();
    return words;
}

}  // namespace nelo::lesson
