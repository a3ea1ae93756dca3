#include "shell_command.h"

#include <cwctype>

std::wstring FirstWordOf(const std::wstring& commandLine) {
    size_t i = 0;
    while (i < commandLine.size() && std::iswspace(commandLine[i])) ++i;
    std::wstring word;
    bool bQuoted = false;
    for (; i < commandLine.size(); ++i) {
        wchar_t c = commandLine[i];
        if (c == L'"') { bQuoted = !bQuoted; continue; }
        if (!bQuoted && std::iswspace(c)) break;
        word.push_back(c);
    }
    return word;
}

bool IsUnixProgramCommand(const std::wstring& commandLine) {
    std::wstring program = FirstWordOf(commandLine);
    return program.size() > 1 && program[0] == L'/' && program[1] != L'/';
}

std::wstring QuoteWindowsArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') { ++backslashes; continue; }
        if (c == L'"') {
            // Backslashes before a quote are doubled, and the quote escaped.
            out.append(backslashes * 2 + 1, L'\\');
        } else {
            out.append(backslashes, L'\\');
        }
        backslashes = 0;
        out.push_back(c);
    }
    // Backslashes before the closing quote are doubled too.
    out.append(backslashes * 2, L'\\');
    out.push_back(L'"');
    return out;
}

std::wstring QuoteShellWord(const std::wstring& word) {
    std::wstring out = L"'";
    for (wchar_t c : word) {
        if (c == L'\'') out += L"'\\''";
        else out.push_back(c);
    }
    out.push_back(L'\'');
    return out;
}

std::wstring BuildShellCommandLine(const std::wstring& shellCommand, const std::wstring& unixStatusFile) {
    std::wstring script;
    if (unixStatusFile.empty()) {
        script = shellCommand;
    } else {
        // The subshell keeps an `exit` in the command from skipping the status write.
        std::wstring tmp = QuoteShellWord(unixStatusFile + L".tmp");
        script = L"(\n" + shellCommand + L"\n)\necho $? > " + tmp + L" && mv -f " + tmp + L" " +
                 QuoteShellWord(unixStatusFile);
    }
    return L"/bin/sh -c " + QuoteWindowsArgument(script);
}

bool ParseExitStatus(const std::string& text, int& code) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > 100000) return false;
    }
    for (; i < text.size(); ++i)
        if (text[i] != '\n' && text[i] != '\r' && text[i] != ' ') return false;
    code = static_cast<int>(value);
    return true;
}
