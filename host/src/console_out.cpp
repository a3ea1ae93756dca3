#include "console_out.h"

#include <windows.h>

#include "text_codec.h"

namespace {

// A function-local static is initialised thread-safely by the compiler.
CRITICAL_SECTION& OutputLock() {
    struct Lock {
        CRITICAL_SECTION cs;
        Lock() { InitializeCriticalSection(&cs); }
    };
    static Lock lock;
    return lock.cs;
}

void WriteAll(HANDLE h, const char* data, size_t size) {
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) || written == 0) return;
        data += written;
        size -= written;
    }
}

}  // namespace

void WriteLine(EStream stream, const std::wstring& line) {
    HANDLE h = GetStdHandle(stream == EStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    EnterCriticalSection(&OutputLock());
    DWORD mode = 0;
    if (GetConsoleMode(h, &mode)) {
        std::wstring text = line + L"\r\n";
        DWORD written = 0;
        WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } else {
        std::string bytes = Utf16ToUtf8(line);
        bytes.push_back('\n');
        WriteAll(h, bytes.data(), bytes.size());
    }
    LeaveCriticalSection(&OutputLock());
}
