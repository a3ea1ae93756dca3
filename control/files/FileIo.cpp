#include "FileIo.h"

#include "UniqueHandle.h"

BOOL WriteToFile(const std::wstring& path, const BYTE* bytes, ULONG length) {
    nelo::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return FALSE;
    ULONG done = 0;
    while (done < length) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes + done, length - done, &written, nullptr) || written == 0) return FALSE;
        done += written;
    }
    return TRUE;
}

EFileRead ReadWholeFile(const std::wstring& path, CByteBuffer& bytes) {
    bytes.Reset();
    nelo::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return EFileRead::CannotOpen;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return EFileRead::Failed;
    // A script array counts its elements in 32 bits; a larger file cannot be handed back
    // whole, and handing back its low 32 bits' worth would be a silently wrong answer.
    if (size.QuadPart < 0 || size.QuadPart > 0xFFFFFFFFLL) return EFileRead::Failed;
    const ULONG length = static_cast<ULONG>(size.QuadPart);
    if (length == 0) return EFileRead::Read;
    CByteBuffer buffer(new BYTE[length], length);
    ULONG done = 0;
    while (done < length) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.Get() + done, length - done, &got, nullptr)) return EFileRead::Failed;
        if (got == 0) return EFileRead::Failed;  // the file shrank under us; writers were denied, so unexpected
        done += got;
    }
    bytes = std::move(buffer);
    return EFileRead::Read;
}
