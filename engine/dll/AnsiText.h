#pragma once
#include <string>

namespace nelo {

// UTF-8 to the system ANSI code page; characters the code page lacks become
// '?'. Empty on a conversion failure.
std::string Utf8ToAnsi(const std::string& utf8);

}  // namespace nelo
