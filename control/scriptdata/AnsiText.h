// Text between the control's wide strings and the engine's strings in the
// system ANSI code page (CP_ACP).
#pragma once

#include <windows.h>

#include <string>

// Size of the ANSI buffers handed to the engine (paths among them).
constexpr int kAnsiBufferSize = MAX_PATH;

// Converts text (null reads as empty) into pszAnsi, a buffer of kAnsiBufferSize
// bytes, always NUL-terminated. Returns the bytes produced including the
// terminator (1 for an empty text, at most kAnsiBufferSize).
//
// A text whose ANSI form does not fit is never cut: the function returns 0 and
// leaves pszAnsi holding the empty string, so a caller that forgets to test the
// result passes on "" rather than a truncated path. Callers treat 0 as a
// refused text (a score job reports its failure outcome). Also 0 when pszAnsi
// is null or the conversion fails.
int StringToAnsi(const wchar_t* text, char* pszAnsi);
inline int StringToAnsi(const std::wstring& text, char* pszAnsi) {
  return StringToAnsi(text.c_str(), pszAnsi);
}

// Converts the NUL-terminated ANSI text psz into out. Returns the characters
// converted including the terminator (out holds one fewer); 0 when psz is null
// (out unchanged) or the text cannot be converted (out empty).
int AnsiToString(const char* psz, std::wstring& out);
