#include "script_error.h"

std::wstring FormatScriptError(const std::wstring& file, unsigned long zeroBasedLine, long zeroBasedColumn,
                               const std::wstring& description) {
    long column = zeroBasedColumn < 0 ? 1 : zeroBasedColumn + 1;
    std::wstring text = description.empty() ? std::wstring(L"script error") : description;
    // Engines end some descriptions with a line break; the report is one line.
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return file + L"(" + std::to_wstring(zeroBasedLine + 1) + L"," + std::to_wstring(column) + L"): " + text;
}
