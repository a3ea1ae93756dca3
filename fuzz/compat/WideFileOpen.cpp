#include "WideFileOpen.h"

#include <cwchar>
#include <string>

namespace {

std::string ToUtf8(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) {
        const unsigned long c = static_cast<unsigned long>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
    if (!path || !mode) return nullptr;
    return std::fopen(ToUtf8(path).c_str(), ToUtf8(mode).c_str());
}

int _wremove(const wchar_t* path) { return path ? std::remove(ToUtf8(path).c_str()) : -1; }
