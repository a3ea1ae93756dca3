// The path gate: a script's name joined to one of the control's folders.
// Whatever the name, an accepted result must lie inside the folder, be in the
// canonical shape the gate promises, and join to itself again unchanged.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "SafePath.h"

namespace {

const std::wstring kFolders[] = {
    L"C:\\Users\\u\\AppData\\Local\\Temp\\NeloRecognition\\_RecordTemp",
    L"C:\\Program Files\\Nelo\\resources\\",
    L"Z:\\" + std::wstring(230, L'f'),  // leaves little room: the length limit decides
    L"D:",
};

bool Forbidden(wchar_t c) {
    return c < 0x20 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|' || c == L'?' ||
           c == L'*' || c == L'/';
}

void CheckAccepted(const std::wstring& folder, const std::wstring& full) {
    FUZZ_CHECK(full.size() <= kMaxJoinedPath);
    FUZZ_CHECK(full.compare(0, folder.size(), folder) == 0);
    std::wstring rest = full.substr(folder.size());
    if (folder.back() != L'\\') {
        FUZZ_CHECK(!rest.empty() && rest[0] == L'\\');
        rest.erase(0, 1);
    }
    FUZZ_CHECK(!rest.empty() && rest.back() != L'\\');
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(L'\\', start);
        if (end == std::wstring::npos) end = rest.size();
        const std::wstring part = rest.substr(start, end - start);
        FUZZ_CHECK(!part.empty() && part != L"." && part != L"..");
        FUZZ_CHECK(part.back() != L'.' && part.back() != L' ');
        for (wchar_t c : part) FUZZ_CHECK(!Forbidden(c));
        start = end + 1;
    }
    // Canonical: the joined relative part passes the gate and gives the same path.
    std::wstring again;
    FUZZ_CHECK(JoinInFolder(folder, rest, again));
    FUZZ_CHECK(again == full);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const std::wstring& folder = kFolders[in.Take<uint8_t>() % (sizeof kFolders / sizeof kFolders[0])];
    const std::wstring name = in.RestAsUtf16();

    std::wstring full = L"stale";
    const bool accepted = JoinInFolder(folder, name.data(), name.size(), full);
    if (!accepted) {
        FUZZ_CHECK(full.empty());
    } else {
        FUZZ_CHECK(name.find(L'\0') == std::wstring::npos);
        CheckAccepted(folder, full);
    }
    // The C-string form sees the name up to its first NUL, and agrees with the
    // counted form on exactly that prefix.
    const std::wstring prefix = name.substr(0, name.find(L'\0'));
    std::wstring viaCString, viaCounted;
    const bool a = JoinInFolder(folder, prefix.c_str(), viaCString);
    const bool b = JoinInFolder(folder, prefix, viaCounted);
    FUZZ_CHECK(a == b && viaCString == viaCounted);
    return 0;
}
