// The one-line form of a script error: "<file>(<line>,<col>): <description>",
// with the engine's zero-based position shown one-based. Pure.
#pragma once

#include <string>

std::wstring FormatScriptError(const std::wstring& file, unsigned long zeroBasedLine, long zeroBasedColumn,
                               const std::wstring& description);

// Text for an error code when the engine gave no description: the system's
// message if it has one, and the code itself ("Unspecified error (0x80004005)").
std::wstring DescribeErrorCode(long code);
