// The module's log file: one time-stamped line per failure, banners when the
// first control comes up and the last one goes away.
//
// Lines come from the control's thread and from worker threads; open, close
// and every write are serialised, so no line ever reaches a closed or
// half-closed file and every line is written whole.
#pragma once

#include <windows.h>
#include <string>

// Opens `path` for appending (created when missing, shared for reading and
// writing by others) and writes the start banner. FALSE when the log is
// already open or the file cannot be opened.
BOOL OpenLog(const std::wstring& path);

// Writes the end banner and closes the file; nothing when the log is closed.
void CloseLog();

// One "(INFO)" line, flushed to the file at once. FALSE when the log is not
// open or the write failed.
BOOL LogInfo(const std::wstring& text);

// One "(ERROR)" line, left in the log's buffer until the buffer fills, the
// next LogInfo line or the close. FALSE when the log is not open.
BOOL LogError(const std::wstring& text);

// printf-style formatting with the platform's wide conventions (%s takes a
// wide string, %S a narrow one), for composing log and message texts.
std::wstring FormatMessageText(const wchar_t* fmt, ...);

// The texts of the two banners, for callers and tests that look for them.
extern const wchar_t* const kLogStartBanner;
extern const wchar_t* const kLogEndBanner;
