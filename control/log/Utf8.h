// UTF-16 to UTF-8 without the platform's converter, so the log's bytes are
// the same everywhere and testable without a system call.
#pragma once

#include <cstddef>
#include <string>

// Unpaired surrogates and NUL characters become U+FFFD, so a line never
// carries a byte sequence that readers cannot decode or that ends it early.
std::string WideToUtf8(const wchar_t* text, std::size_t length);
