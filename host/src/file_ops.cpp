#include "file_ops.h"

#include <windows.h>

#include "com_ptr.h"

namespace {

std::wstring ErrorText(const wchar_t* what, const std::wstring& path) {
    return std::wstring(what) + L" " + path + L" failed, error " + std::to_wstring(GetLastError());
}

}  // namespace

bool IsExistingFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long SizeOfFile(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool ReadFileRange(const std::wstring& path, unsigned long long offset, size_t count,
                   std::vector<unsigned char>& bytes, std::wstring& error) {
    bytes.clear();
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) { error = ErrorText(L"opening", path); return false; }
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.Get(), pos, nullptr, FILE_BEGIN)) { error = ErrorText(L"seeking in", path); return false; }
    bytes.resize(count);
    size_t total = 0;
    while (total < count) {
        DWORD chunk = static_cast<DWORD>(count - total > 0x100000 ? 0x100000 : count - total);
        DWORD got = 0;
        if (!ReadFile(file.Get(), bytes.data() + total, chunk, &got, nullptr)) {
            error = ErrorText(L"reading", path);
            bytes.clear();
            return false;
        }
        if (got == 0) break;
        total += got;
    }
    bytes.resize(total);
    return true;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes, std::wstring& error) {
    CHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) { error = ErrorText(L"creating", path); return false; }
    size_t total = 0;
    while (total < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - total > 0x100000 ? 0x100000 : bytes.size() - total);
        if (!WriteFile(file.Get(), bytes.data() + total, chunk, &written, nullptr) || written == 0) {
            error = ErrorText(L"writing", path);
            return false;
        }
        total += written;
    }
    return true;
}

bool RemoveFile(const std::wstring& path) {
    return DeleteFileW(path.c_str()) != FALSE;
}
