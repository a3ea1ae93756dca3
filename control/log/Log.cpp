#include "Log.h"

#include "AppendFile.h"
#include "LogClock.h"
#include "LogLine.h"

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <vector>

const wchar_t* const kLogStartBanner =
    L"=============================Start=============================";
const wchar_t* const kLogEndBanner =
    L"=============================End=============================";

namespace {

bool LocalTimeClock(std::tm& time) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    time = std::tm();
    time.tm_year = now.wYear - 1900;
    time.tm_mon = now.wMonth - 1;
    time.tm_mday = now.wDay;
    time.tm_hour = now.wHour;
    time.tm_min = now.wMinute;
    time.tm_sec = now.wSecond;
    time.tm_wday = now.wDayOfWeek;
    return true;
}

// Worker threads log while the last control may be closing the file; one
// lock around open, close and every line keeps a line from reaching a
// closed or half-closed file. A slim lock needs no set-up or tear-down,
// so it is usable before and after every static object.
SRWLOCK g_logLock = SRWLOCK_INIT;

class CLogLockGuard {
public:
    CLogLockGuard() { ::AcquireSRWLockExclusive(&g_logLock); }
    ~CLogLockGuard() { ::ReleaseSRWLockExclusive(&g_logLock); }
    CLogLockGuard(const CLogLockGuard&) = delete;
    CLogLockGuard& operator=(const CLogLockGuard&) = delete;
};

// Closed, if still open, when the module unloads. At process exit a
// thread may have been stopped while holding the lock; then the handle is
// let go without writing, rather than waiting forever.
struct CModuleLog {
    CAppendFile file;
    ~CModuleLog() {
        if (::TryAcquireSRWLockExclusive(&g_logLock)) {
            file.Close();
            ::ReleaseSRWLockExclusive(&g_logLock);
        } else {
            file.Abandon();
        }
    }
};

CModuleLog g_fileLog;
LogClock volatile g_clock = nullptr;

// Caller holds the lock.
BOOL WriteLineLocked(LogLevel level, const std::wstring& text) {
    if (!g_fileLog.file.IsOpen()) return FALSE;
    LogClock clock = g_clock ? g_clock : LocalTimeClock;
    std::tm now = std::tm();
    const bool haveTime = clock(now);
    const std::string line = FormatLogLine(haveTime ? &now : nullptr, level, text);
    if (!g_fileLog.file.Append(line)) return FALSE;
    if (level == LogLevel::Info && !g_fileLog.file.Flush()) return FALSE;
    return TRUE;
}

}  // namespace

LogClock SetLogClock(LogClock clock) {
    CLogLockGuard lock;
    LogClock previous = g_clock ? g_clock : LocalTimeClock;
    g_clock = clock;
    return previous;
}

BOOL OpenLog(const std::wstring& path) {
    CLogLockGuard lock;
    if (g_fileLog.file.IsOpen()) return FALSE;
    if (!g_fileLog.file.Open(path)) return FALSE;
    WriteLineLocked(LogLevel::Info, kLogStartBanner);
    return TRUE;
}

void CloseLog() {
    CLogLockGuard lock;
    if (!g_fileLog.file.IsOpen()) return;
    WriteLineLocked(LogLevel::Info, kLogEndBanner);
    g_fileLog.file.Close();
}

BOOL LogInfo(const std::wstring& text) {
    CLogLockGuard lock;
    return WriteLineLocked(LogLevel::Info, text);
}

BOOL LogError(const std::wstring& text) {
    CLogLockGuard lock;
    return WriteLineLocked(LogLevel::Error, text);
}

std::wstring FormatMessageText(const wchar_t* fmt, ...) {
    if (!fmt) return std::wstring();
    // The underscore forms are the system runtime's own, with its wide
    // conventions (%s is a wide string); the standard names may be mapped
    // to a C99 printf where %s is narrow.
    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    const int length = ::_vscwprintf(fmt, measure);
    va_end(measure);
    std::wstring text;
    if (length > 0) {
        std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
        const int written = ::_vsnwprintf(buffer.data(), buffer.size(), fmt, args);
        if (written >= 0) text.assign(buffer.data(), static_cast<size_t>(written));
    }
    va_end(args);
    return text;
}
