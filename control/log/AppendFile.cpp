#include "AppendFile.h"

CAppendFile::~CAppendFile() { Close(); }

bool CAppendFile::Open(const std::wstring& path) {
    if (IsOpen() || path.empty()) return false;
    // Append-only access makes every write go to the end of the file as it
    // is at that moment, so two processes logging at once never overwrite
    // each other's lines (a write position fixed at open time would).
    m_hFile = ::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_hFile == INVALID_HANDLE_VALUE) return false;
    m_buffer.clear();
    m_buffer.reserve(kBufferSize);
    return true;
}

bool CAppendFile::WriteAll(const char* data, size_t size) {
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!::WriteFile(m_hFile, data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool CAppendFile::Flush() {
    if (!IsOpen()) return false;
    if (m_buffer.empty()) return true;
    const bool ok = WriteAll(m_buffer.data(), m_buffer.size());
    // A failed write is not retried: keeping the bytes would let the buffer
    // grow without bound while the disk stays full.
    m_buffer.clear();
    return ok;
}

bool CAppendFile::Append(const std::string& line) {
    if (!IsOpen()) return false;
    if (m_buffer.size() + line.size() > kBufferSize) {
        if (!Flush()) return false;
    }
    if (line.size() > kBufferSize) return WriteAll(line.data(), line.size());
    m_buffer += line;
    return true;
}

bool CAppendFile::Close() {
    if (!IsOpen()) return true;
    const bool ok = Flush();
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_buffer.clear();
    return ok;
}

void CAppendFile::Abandon() {
    if (!IsOpen()) return;
    ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
    m_buffer.clear();
}
