// Whole-file reads and writes for the file and sound methods.
#pragma once
#include <windows.h>

#include <string>

#include "scriptdata/ByteBuffer.h"

// Puts `length` bytes into the file at `path`, created or emptied first, opened without
// sharing. FALSE when it cannot be opened or not every byte reached it; the caller logs
// its own text.
BOOL WriteToFile(const std::wstring& path, const BYTE* bytes, ULONG length);

enum class EFileRead {
    Read,        // bytes hold the whole file (possibly none)
    CannotOpen,  // missing, a folder, locked for writing by someone else, ...
    Failed,      // opened, but its size or a read failed, or it is beyond 4 GB
};

// Reads the whole file while denying writers (readers may share it).
EFileRead ReadWholeFile(const std::wstring& path, CByteBuffer& bytes);
