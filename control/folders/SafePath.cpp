#include "SafePath.h"

#include <cwchar>
#include <vector>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Characters no file name may hold, wildcards among them; the colon is
// here too, since it starts a drive or an alternate data stream.
bool IsForbiddenChar(wchar_t c) {
    if (c < 0x20) return true;  // NUL and control characters
    switch (c) {
        case L'<': case L'>': case L':': case L'"': case L'|': case L'?': case L'*':
            return true;
        default:
            return false;
    }
}

wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c; }

bool EqualsIgnoreAsciiCase(const std::wstring& a, const wchar_t* b) {
    const size_t n = std::wcslen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (AsciiUpper(a[i]) != b[i]) return false;
    }
    return true;
}

// The system opens a device for these names whatever extension follows
// ("nul.txt", "COM1 .wav"), so the part before the first dot decides.
bool IsDeviceName(const std::wstring& part) {
    std::wstring stem = part.substr(0, part.find(L'.'));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : kDevices) {
        if (EqualsIgnoreAsciiCase(stem, device)) return true;
    }
    if (stem.size() == 4) {
        const std::wstring prefix = stem.substr(0, 3);
        const wchar_t digit = stem[3];
        const bool isPort = EqualsIgnoreAsciiCase(prefix, L"COM") || EqualsIgnoreAsciiCase(prefix, L"LPT");
        // Superscript one, two and three count as port digits too.
        const bool isDigit = (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 ||
                             digit == 0x00B3;
        if (isPort && isDigit) return true;
    }
    return false;
}

// Splits `name` into the parts it names inside the folder, resolving "."
// and ".." the way the path canonicaliser does; false for any refusal.
bool ResolveRelativeName(const wchar_t* name, size_t length, std::vector<std::wstring>& parts) {
    if (!name || length == 0) return false;
    for (size_t i = 0; i < length; ++i) {
        if (IsForbiddenChar(name[i])) return false;
    }
    size_t pos = 0;
    // One leading separator is dropped, as PathAppendW drops it; two make a
    // UNC path or a "\\?\" / "\\.\" prefix.
    if (IsSeparator(name[0])) {
        if (length > 1 && IsSeparator(name[1])) return false;
        pos = 1;
    }
    if (pos == length || IsSeparator(name[length - 1])) return false;

    while (pos <= length) {
        size_t end = pos;
        while (end < length && !IsSeparator(name[end])) ++end;
        const std::wstring part(name + pos, end - pos);
        pos = end + 1;

        if (part.empty()) return false;  // "a\\b": doubled separator
        if (part == L".") continue;
        if (part == L"..") {
            if (parts.empty()) return false;  // climbs out of the folder
            parts.pop_back();
            continue;
        }
        // The system strips trailing dots and spaces, so "a.wav." would be
        // another file than the one named, and "nul " a device.
        if (part.back() == L'.' || part.back() == L' ') return false;
        if (IsDeviceName(part)) return false;
        parts.push_back(part);
    }
    return !parts.empty();  // "sub\.." is the folder itself
}

}  // namespace

bool JoinInFolder(const std::wstring& folder, const wchar_t* name, std::size_t nameLength,
                  std::wstring& fullPath) {
    fullPath.clear();
    if (folder.empty()) return false;
    std::vector<std::wstring> parts;
    if (!ResolveRelativeName(name, nameLength, parts)) return false;

    std::wstring joined = folder;
    for (const std::wstring& part : parts) {
        if (!IsSeparator(joined.back())) joined += L'\\';
        joined += part;
    }
    if (joined.size() > kMaxJoinedPath) return false;
    fullPath.swap(joined);
    return true;
}

bool JoinInFolder(const std::wstring& folder, const wchar_t* name, std::wstring& fullPath) {
    return JoinInFolder(folder, name, name ? std::wcslen(name) : 0, fullPath);
}

bool JoinInFolder(const std::wstring& folder, const std::wstring& name, std::wstring& fullPath) {
    return JoinInFolder(folder, name.data(), name.size(), fullPath);
}
