// Line output to stdout/stderr. Text goes out as UTF-8 bytes (or through the
// console's own wide API when the handle is a real console), unbuffered, so
// nothing is lost when the process ends abruptly. Safe from any thread.
#pragma once

#include <string>

enum class EStream { Out, Err };

void WriteLine(EStream stream, const std::wstring& line);
