#include "process_runner.h"

#include <vector>

#include "com_ptr.h"
#include "host_paths.h"
#include "message_pump.h"
#include "shell_command.h"
#include "text_codec.h"

namespace {

constexpr DWORD kStatusPollMs = 20;

std::wstring LastErrorText(const wchar_t* what) {
    return std::wstring(what) + L" failed, error " + std::to_wstring(GetLastError());
}

bool StartProcess(const std::wstring& commandLine, PROCESS_INFORMATION& pi, std::wstring& error) {
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        error = LastErrorText(L"CreateProcess");
        return false;
    }
    return true;
}

bool ReadSmallFile(const std::wstring& path, std::string& text) {
    CHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    if (!file.Valid()) return false;
    char buf[64];
    DWORD got = 0;
    if (!ReadFile(file.Get(), buf, sizeof(buf), &got, nullptr)) return false;
    text.assign(buf, got);
    return true;
}

// A fresh name in the temporary folder whose ".status" sibling the shell
// will create; both are removed when the owner goes.
class CStatusFile {
public:
    CStatusFile() {
        wchar_t dir[MAX_PATH + 1];
        wchar_t name[MAX_PATH + 1];
        if (GetTempPathW(MAX_PATH, dir) && GetTempFileNameW(dir, L"NHR", 0, name)) {
            m_strReserved = name;
            m_strStatus = m_strReserved + L".status";
        }
    }
    ~CStatusFile() {
        if (m_strReserved.empty()) return;
        DeleteFileW(m_strStatus.c_str());
        DeleteFileW((m_strStatus + L".tmp").c_str());
        DeleteFileW(m_strReserved.c_str());
    }
    CStatusFile(const CStatusFile&) = delete;
    CStatusFile& operator=(const CStatusFile&) = delete;

    const std::wstring& Path() const { return m_strStatus; }

private:
    std::wstring m_strReserved;
    std::wstring m_strStatus;
};

CRunOutcome RunUnixProgram(const std::wstring& commandLine, bool bWait, HANDLE stopEvent) {
    CRunOutcome out;
    PROCESS_INFORMATION pi = {};
    if (!bWait) {
        out.bStarted = StartProcess(BuildShellCommandLine(commandLine, L""), pi, out.strError);
        CHandle process(pi.hProcess), thread(pi.hThread);
        return out;
    }
    CStatusFile status;
    std::wstring unixStatus = status.Path().empty() ? std::wstring() : UnixPathOf(status.Path());
    if (unixStatus.empty()) {
        out.strError = L"no temporary status file for a Linux program";
        return out;
    }
    out.bStarted = StartProcess(BuildShellCommandLine(commandLine, unixStatus), pi, out.strError);
    CHandle process(pi.hProcess), thread(pi.hThread);
    if (!out.bStarted) return out;
    for (;;) {
        std::string text;
        if (ReadSmallFile(status.Path(), text)) {
            if (!ParseExitStatus(text, out.nExitCode)) {
                out.strError = L"unreadable exit status from /bin/sh";
                out.nExitCode = -1;
            }
            return out;
        }
        if (PumpingWait(nullptr, kStatusPollMs, stopEvent) == EWaitResult::Stopped) {
            out.bStopped = true;
            return out;
        }
    }
}

CRunOutcome RunWindowsProgram(const std::wstring& commandLine, bool bWait, HANDLE stopEvent) {
    CRunOutcome out;
    PROCESS_INFORMATION pi = {};
    out.bStarted = StartProcess(commandLine, pi, out.strError);
    CHandle process(pi.hProcess), thread(pi.hThread);
    if (!out.bStarted || !bWait) return out;
    if (PumpingWait(process.Get(), INFINITE, stopEvent) == EWaitResult::Stopped) {
        out.bStopped = true;
        return out;
    }
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    out.nExitCode = static_cast<int>(code);
    return out;
}

}  // namespace

CRunOutcome RunCommand(const std::wstring& commandLine, bool bWait, HANDLE stopEvent) {
    if (IsUnixProgramCommand(commandLine) && RunningUnderWine())
        return RunUnixProgram(commandLine, bWait, stopEvent);
    return RunWindowsProgram(commandLine, bWait, stopEvent);
}
