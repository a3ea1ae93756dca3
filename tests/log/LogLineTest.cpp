// The bytes of one log line, from exact dates and texts.
#include "LogLine.h"
#include "Utf8.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm t = std::tm();
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(LogTimeStamp, FormatsEveryMonthWithPaddedFields) {
    const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 1; m <= 12; ++m) {
        const std::string expected = std::string("2024-") + months[m - 1] + "-05 04:07:09";
        EXPECT_EQ(expected, FormatLogTimeStamp(MakeTime(2024, m, 5, 4, 7, 9))) << "month " << m;
    }
    EXPECT_EQ("0999-Dec-31 23:59:60", FormatLogTimeStamp(MakeTime(999, 12, 31, 23, 59, 60)));
    EXPECT_EQ("2000-Jan-01 00:00:00", FormatLogTimeStamp(MakeTime(2000, 1, 1, 0, 0, 0)));
}

TEST(LogTimeStamp, IsEmptyForTimesThatCannotBeConverted) {
    const std::tm cases[] = {
        MakeTime(2024, 0, 5, 1, 1, 1),  MakeTime(2024, 13, 5, 1, 1, 1), MakeTime(2024, 3, 0, 1, 1, 1),
        MakeTime(2024, 3, 32, 1, 1, 1), MakeTime(2024, 3, 5, 24, 1, 1),  MakeTime(2024, 3, 5, 1, 60, 1),
        MakeTime(2024, 3, 5, 1, 1, 61), MakeTime(2024, 3, 5, -1, 1, 1),  MakeTime(10000, 3, 5, 1, 1, 1),
        MakeTime(-1, 3, 5, 1, 1, 1),
    };
    for (const std::tm& t : cases) {
        EXPECT_EQ("", FormatLogTimeStamp(t)) << t.tm_year << "/" << t.tm_mon << "/" << t.tm_mday << " "
                                             << t.tm_hour << ":" << t.tm_min << ":" << t.tm_sec;
    }
}

TEST(LogTimeStamp, StaysEnglishUnderAnotherLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "French") && !std::setlocale(LC_ALL, "fr-FR")) {
        GTEST_SKIP() << "no French locale here";
    }
    const std::string stamp = FormatLogTimeStamp(MakeTime(2024, 2, 5, 14, 7, 9));
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ("2024-Feb-05 14:07:09", stamp);
}

TEST(LogLine, JoinsStampLevelTextAndCrLfWithoutSeparators) {
    const std::tm t = MakeTime(2024, 3, 5, 14, 7, 9);
    EXPECT_EQ("2024-Mar-05 14:07:09(ERROR)PsResetSession Failed!\r\n",
              FormatLogLine(&t, LogLevel::Error, L"PsResetSession Failed!"));
    EXPECT_EQ("2024-Mar-05 14:07:09(INFO)=============================Start=============================\r\n",
              FormatLogLine(&t, LogLevel::Info, L"=============================Start============================="));
    EXPECT_EQ("(ERROR)no clock\r\n", FormatLogLine(nullptr, LogLevel::Error, L"no clock"));
    EXPECT_EQ("(INFO)\r\n", FormatLogLine(nullptr, LogLevel::Info, L""));
}

TEST(LogLine, TurnsLineFeedsInsideTheTextIntoCrLf) {
    EXPECT_EQ("(ERROR)a\r\nb\r\r\n\r\n", FormatLogLine(nullptr, LogLevel::Error, L"a\nb\r\n"));
}

// Beyond ASCII the log is UTF-8: ASCII stays byte for byte, everything else
// is encoded whole, and what cannot be encoded becomes U+FFFD.
TEST(LogLine, EncodesTextAsUtf8) {
    struct Case {
        std::wstring text;
        std::string bytes;
    } const cases[] = {
        {L"plain ASCII ~", "plain ASCII ~"},
        {L"caf\u00e9 \u00ff", "caf\xC3\xA9 \xC3\xBF"},
        {L"\u521b\u5efa\u76ee\u5f55\u5931\u8d25\uff1aC:\\x",
         "\xE5\x88\x9B\xE5\xBB\xBA\xE7\x9B\xAE\xE5\xBD\x95\xE5\xA4\xB1\xE8\xB4\xA5\xEF\xBC\x9A" "C:\\x"},
        {L"\u07ff\u0800\uffff", "\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
        {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, "\xF0\x9F\x98\x80"},           // paired surrogates
        {std::wstring{wchar_t(0xDBFF), wchar_t(0xDFFF)}, "\xF4\x8F\xBF\xBF"},           // highest code point
        {std::wstring{L'a', wchar_t(0xD83D), L'b'}, "a\xEF\xBF\xBD" "b"},               // high without low
        {std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}, "\xEF\xBF\xBD\xEF\xBF\xBD"},   // reversed pair
        {std::wstring{L'x', wchar_t(0xD800)}, "x\xEF\xBF\xBD"},                         // high at the end
        {std::wstring(L"a\0b", 3), "a\xEF\xBF\xBD" "b"},                                // embedded NUL
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.bytes, WideToUtf8(c.text.data(), c.text.size()));
        EXPECT_EQ("(ERROR)" + c.bytes + "\r\n", FormatLogLine(nullptr, LogLevel::Error, c.text));
    }
}

}  // namespace
