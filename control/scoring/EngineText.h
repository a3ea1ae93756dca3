// Reading the engine's answers that come in two calls (a size first, then the data), and
// the failure line every engine method writes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// "<function> Failed! ERRCODE[<code>]" with the session's engine error code, asked right
// after the failed call on the calling thread.
void LogEngineFailure(const wchar_t* function, LONG nSession);

// A two-call text: call(nullptr, 0) gives the length n, call(buffer, n + 1) fills the buffer
// and answers 0 on success. The text (system code page) comes back wide. False when the
// second call fails, or when the first answers a negative length (no buffer fits it).
bool ReadTwoCallText(const std::function<int(char*, int)>& call, std::wstring& text);

// A two-call list of 32-bit values: call(nullptr, 0) gives the count n (-1 = failure),
// call(values, n) fills them and answers 0 on success. False on either failure.
bool ReadTwoCallCodes(const std::function<int(ULONG*, int)>& call, std::vector<ULONG>& values);
