// UTF-8 checks for the lesson text: the text is stored as UTF-8 while word
// positions count UTF-16 units (what a script's string indexes).
#pragma once
#include <cstddef>
#include <string>

namespace nelo {

// Number of UTF-16 units of a well-formed UTF-8 text; -1 if the bytes are not
// well-formed UTF-8 (overlong forms, surrogates and values past U+10FFFF
// included) or contain a NUL.
long Utf16Length(const char* text, size_t size);

inline long Utf16Length(const std::string& s) { return Utf16Length(s.data(), s.size()); }

}  // namespace nelo
