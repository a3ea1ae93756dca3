// Pure formatting of one log line: no clock, no file. The log feeds it the
// local time; tests feed it exact dates.
#pragma once

#include <ctime>
#include <string>

enum class LogLevel { Info, Error };

// "%Y-%b-%d %H:%M:%S" with English month names whatever the locale; empty
// when a field is out of range (a time that could not be converted).
std::string FormatLogTimeStamp(const std::tm& time);

// The bytes of one line as they go to the file: time stamp (empty when
// `time` is null), "(INFO)" or "(ERROR)", the text in UTF-8, CR LF. Line
// feeds inside the text become CR LF too, as text-mode output does.
std::string FormatLogLine(const std::tm* time, LogLevel level, const std::wstring& text);
