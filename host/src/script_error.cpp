#include "script_error.h"

#include <windows.h>

std::wstring FormatScriptError(const std::wstring& file, unsigned long zeroBasedLine, long zeroBasedColumn,
                               const std::wstring& description) {
    long column = zeroBasedColumn < 0 ? 1 : zeroBasedColumn + 1;
    std::wstring text = description.empty() ? std::wstring(L"script error") : description;
    // Engines end some descriptions with a line break; the report is one line.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return file + L"(" + std::to_wstring(zeroBasedLine + 1) + L"," + std::to_wstring(column) + L"): " + text;
}

std::wstring DescribeErrorCode(long code) {
    if (code == 0) return L"script error";
    wchar_t hex[16];
    wsprintfW(hex, L"0x%08lX", static_cast<unsigned long>(code));
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", n);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' ' ||
                                message.back() == L'.'))
        message.pop_back();
    return message.empty() ? L"error " + std::wstring(hex) : message + L" (" + hex + L")";
}
