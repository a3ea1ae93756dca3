#include "text_codec.h"

#include <windows.h>

namespace {

bool IsValidUtf8(const std::string& s) {
    return s.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0) > 0;
}

std::wstring MultiByteToWide(UINT codePage, const char* data, size_t size) {
    if (size == 0) return std::wstring();
    int n = MultiByteToWideChar(codePage, 0, data, static_cast<int>(size), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, data, static_cast<int>(size), &out[0], n);
    return out;
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

}  // namespace

std::string Utf16ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

std::wstring Utf8ToUtf16(const std::string& text) {
    return MultiByteToWide(CP_UTF8, text.data(), text.size());
}

std::wstring DecodeScriptText(const std::vector<unsigned char>& bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::wstring out;
        out.reserve((bytes.size() - 2) / 2);
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            out.push_back(static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8)));
        return out;
    }
    size_t start = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) start = 3;
    std::string body(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end());
    if (start == 3 || IsValidUtf8(body)) return Utf8ToUtf16(body);
    return MultiByteToWide(CP_ACP, body.data(), body.size());
}

std::wstring BytesToHex(const unsigned char* data, size_t count) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring out;
    out.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        out.push_back(kDigits[data[i] >> 4]);
        out.push_back(kDigits[data[i] & 0x0F]);
    }
    return out;
}

bool HexToBytes(const std::wstring& hex, std::vector<unsigned char>& out) {
    out.clear();
    if (hex.size() % 2 != 0) return false;
    out.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = HexDigitValue(hex[i]);
        int lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0) { out.clear(); return false; }
        out.push_back(static_cast<unsigned char>((hi << 4) | lo));
    }
    return true;
}
