#include "host_paths.h"

#include <windows.h>

#include "text_codec.h"

namespace {

using WineGetDosFileName = WCHAR*(CDECL*)(const char*);
using WineGetUnixFileName = char*(CDECL*)(const WCHAR*);

template <class F>
F KernelExport(const char* name) {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

std::wstring FullPath(const std::wstring& path) {
    DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::wstring out(n, L'\0');
    n = GetFullPathNameW(path.c_str(), n, &out[0], nullptr);
    out.resize(n);
    return out;
}

}  // namespace

bool LooksLikeUnixPath(const std::wstring& path) {
    return !path.empty() && path[0] == L'/' && (path.size() == 1 || path[1] != L'/');
}

std::wstring UnixPathToDriveZ(const std::wstring& path) {
    std::wstring out = L"Z:";
    out.reserve(path.size() + 2);
    for (wchar_t c : path) out.push_back(c == L'/' ? L'\\' : c);
    return out;
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ResolveHostPath(const std::wstring& path) {
    if (LooksLikeUnixPath(path) && RunningUnderWine()) {
        if (auto toDos = KernelExport<WineGetDosFileName>("wine_get_dos_file_name")) {
            std::string unixPath = Utf16ToUtf8(path);
            if (WCHAR* dos = toDos(unixPath.c_str())) {
                std::wstring out(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                return out;
            }
        }
        return UnixPathToDriveZ(path);
    }
    return FullPath(path);
}

std::wstring UnixPathOf(const std::wstring& windowsPath) {
    auto toUnix = KernelExport<WineGetUnixFileName>("wine_get_unix_file_name");
    if (!toUnix) return std::wstring();
    char* unixPath = toUnix(windowsPath.c_str());
    if (!unixPath) return std::wstring();
    std::wstring out = Utf8ToUtf16(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return out;
}
