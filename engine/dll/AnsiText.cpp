#include "AnsiText.h"

#include <windows.h>

#include <vector>

namespace nelo {

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty()) return std::string();
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wide <= 0) return std::string();
    std::vector<wchar_t> w(static_cast<size_t>(wide));
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), w.data(), wide);
    const int ansi = WideCharToMultiByte(CP_ACP, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    if (ansi <= 0) return std::string();
    std::string out(static_cast<size_t>(ansi), '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), wide, &out[0], ansi, nullptr, nullptr);
    return out;
}

}  // namespace nelo
