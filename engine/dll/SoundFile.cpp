#include "SoundFile.h"

#include <windows.h>

#include "ErrorCodes.h"
#include "SoundData.h"

namespace nelo {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_;
};

}  // namespace

int ReadSoundFile(const char* path, std::vector<uint8_t>& bytes) {
    if (!path || !*path) return kErrInvalidArgument;
    // Shared read and write: the recorder may still hold the file it just wrote.
    FileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.valid()) return kErrSoundOpen;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return kErrSoundOpen;
    if (size.QuadPart > static_cast<LONGLONG>(kMaxSoundBytes)) return kErrSoundTooLong;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(bytes.size() - done);
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return kErrSoundOpen;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return kOk;
}

}  // namespace nelo
