// Conversions between the script's UTF-16 text and the bytes of files and
// the console. Pure functions: no handles, no globals.
#pragma once

#include <string>
#include <vector>

std::string Utf16ToUtf8(const std::wstring& text);
std::wstring Utf8ToUtf16(const std::string& text);

// Decodes a script file: UTF-16LE with its BOM, UTF-8 with or without BOM,
// and anything that is not valid UTF-8 as the system ANSI code page (old
// scripts saved by plain editors).
std::wstring DecodeScriptText(const std::vector<unsigned char>& bytes);

// Uppercase hexadecimal, two digits per byte, no separators.
std::wstring BytesToHex(const unsigned char* data, size_t count);
// The reverse; false on an odd length or a non-hex digit.
bool HexToBytes(const std::wstring& hex, std::vector<unsigned char>& out);
