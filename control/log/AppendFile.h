// A file that only grows: every write lands at the file's current end, even
// when another process appends to the same file, and whole lines are kept
// together in a buffer so no write splits a line.
#pragma once

#include <windows.h>
#include <string>

class CAppendFile {
public:
    // The size at which buffered lines go to the file, like a C stream's buffer.
    static const size_t kBufferSize = 4096;

    CAppendFile() = default;
    ~CAppendFile();
    CAppendFile(const CAppendFile&) = delete;
    CAppendFile& operator=(const CAppendFile&) = delete;

    bool Open(const std::wstring& path);
    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // Queues one line; writes the buffer first when the line would overflow
    // it, and writes a line larger than the buffer in one call of its own.
    bool Append(const std::string& line);

    // Hands the buffered lines to the system in one write.
    bool Flush();

    // Flushes and closes; false when the last flush failed.
    bool Close();

    // Closes without flushing or logging: for the end of the process, when
    // a lock holder may have been stopped midway.
    void Abandon();

private:
    bool WriteAll(const char* data, size_t size);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    std::string m_buffer;
};
