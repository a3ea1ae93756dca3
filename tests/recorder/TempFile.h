// A uniquely named file in the temporary folder, removed afterwards.
#pragma once
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace nelo::rec::test {

class TempPath {
public:
    explicit TempPath(const wchar_t* stem) {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        m_path = std::wstring(dir) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++Counter()) + L".wav";
        DeleteFileW(m_path.c_str());
    }
    ~TempPath() { DeleteFileW(m_path.c_str()); }
    TempPath(const TempPath&) = delete;
    TempPath& operator=(const TempPath&) = delete;
    const wchar_t* c_str() const { return m_path.c_str(); }
    const std::wstring& str() const { return m_path; }

private:
    static int& Counter() {
        static int n = 0;
        return n;
    }
    std::wstring m_path;
};

inline bool FileExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

inline std::vector<uint8_t> ReadAll(const wchar_t* path) {
    std::vector<uint8_t> bytes;
    if (FILE* f = _wfopen(path, L"rb")) {
        uint8_t chunk[65536];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
        fclose(f);
    }
    return bytes;
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
inline uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

// Checks what every recording file must be: a 44-byte header of a 16 kHz mono
// 16-bit PCM WAVE whose two sizes follow the file's length.
inline ::testing::AssertionResult IsRecordingWav(const std::vector<uint8_t>& b) {
    if (b.size() < 44) return ::testing::AssertionFailure() << "only " << b.size() << " bytes";
    auto tag = [&](size_t at, const char* t) { return std::string(b.begin() + at, b.begin() + at + 4) == t; };
    if (!tag(0, "RIFF") || !tag(8, "WAVE") || !tag(12, "fmt ") || !tag(36, "data"))
        return ::testing::AssertionFailure() << "chunk tags";
    if (Le32(b, 16) != 16 || Le16(b, 20) != 1 || Le16(b, 22) != 1 || Le32(b, 24) != 16000 || Le32(b, 28) != 32000 ||
        Le16(b, 32) != 2 || Le16(b, 34) != 16)
        return ::testing::AssertionFailure() << "format fields";
    if (Le32(b, 4) != b.size() - 8) return ::testing::AssertionFailure() << "chunk size " << Le32(b, 4);
    if (Le32(b, 40) != b.size() - 44) return ::testing::AssertionFailure() << "data size " << Le32(b, 40);
    return ::testing::AssertionSuccess();
}

}  // namespace nelo::rec::test
