// The wide file calls the recorder's WAV writer makes, for native builds:
// _wfopen and _wremove exist only in the Windows C run-time. Force-included
// into the writer's native compilation; paths are converted to UTF-8.
#pragma once
#include <cstdio>

std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
int _wremove(const wchar_t* path);
