// The file members of the "host" item (FileExists, FileSize, ReadFileHex,
// WriteFileHex, WriteTextFile, DeleteFile). Paths here are already Windows
// paths; the host item resolves Linux paths before calling.
#pragma once

#include <string>
#include <vector>

bool IsExistingFile(const std::wstring& path);
// -1 when there is no such file.
long long SizeOfFile(const std::wstring& path);
// Up to `count` bytes from `offset`; fewer at the end of the file, none past it.
bool ReadFileRange(const std::wstring& path, unsigned long long offset, size_t count,
                   std::vector<unsigned char>& bytes, std::wstring& error);
// Creates or replaces the file with exactly these bytes.
bool WriteWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes, std::wstring& error);
bool RemoveFile(const std::wstring& path);
