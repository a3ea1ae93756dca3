// A private folder for one test's log file, and a fixed clock so whole
// files can be compared byte for byte.
#pragma once

#include "Log.h"
#include "LogClock.h"

#include <windows.h>

#include <string>

namespace logtest {

inline bool FixedClock(std::tm& t) {
    t = std::tm();
    t.tm_year = 2024 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 14;
    t.tm_min = 7;
    t.tm_sec = 9;
    return true;
}

inline bool BrokenClock(std::tm&) { return false; }

const char kStamp[] = "2024-Mar-05 14:07:09";

inline std::string Line(const char* level, const std::string& text) {
    return std::string(kStamp) + level + text + "\r\n";
}
inline std::string StartLine() {
    return Line("(INFO)", "=============================Start=============================");
}
inline std::string EndLine() {
    return Line("(INFO)", "=============================End=============================");
}

inline std::string ReadAll(const std::wstring& path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    ::CloseHandle(h);
    return bytes;
}

inline bool WriteAll(const std::wstring& path, const std::string& bytes, DWORD disposition) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             disposition, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::SetFilePointer(h, 0, nullptr, FILE_END);
    DWORD written = 0;
    const bool ok = ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(h);
    return ok;
}

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh folder under the temporary path, removed with its files.
class CScratchFolder {
public:
    CScratchFolder() {
        wchar_t temp[MAX_PATH + 1];
        ::GetTempPathW(MAX_PATH + 1, temp);
        static LONG counter = 0;
        m_path = std::wstring(temp) + L"nelo-logtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                 std::to_wstring(::InterlockedIncrement(&counter));
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CScratchFolder() {
        WIN32_FIND_DATAW entry;
        HANDLE find = ::FindFirstFileW((m_path + L"\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileW((m_path + L"\\" + entry.cFileName).c_str());
            } while (::FindNextFileW(find, &entry));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(m_path.c_str());
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    const std::wstring& path() const { return m_path; }
    std::wstring operator/(const wchar_t* name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

}  // namespace logtest
