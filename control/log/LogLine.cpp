#include "LogLine.h"

#include "Utf8.h"

#include <cstdio>

namespace {

// The C runtime's %b follows the locale; the log is read by people and
// tools that expect these English abbreviations.
const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool InRange(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

std::string FormatLogTimeStamp(const std::tm& t) {
    const int year = t.tm_year + 1900;
    if (!InRange(year, 0, 9999) || !InRange(t.tm_mon, 0, 11) || !InRange(t.tm_mday, 1, 31) ||
        !InRange(t.tm_hour, 0, 23) || !InRange(t.tm_min, 0, 59) || !InRange(t.tm_sec, 0, 60)) {
        return std::string();
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%s-%02d %02d:%02d:%02d", year, kMonths[t.tm_mon],
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buffer;
}

std::string FormatLogLine(const std::tm* time, LogLevel level, const std::wstring& text) {
    std::string line = time ? FormatLogTimeStamp(*time) : std::string();
    line += (level == LogLevel::Info) ? "(INFO)" : "(ERROR)";
    const std::string body = WideToUtf8(text.data(), text.size());
    line.reserve(line.size() + body.size() + 2);
    for (char c : body) {
        if (c == '\n') line += '\r';
        line += c;
    }
    line += "\r\n";
    return line;
}
