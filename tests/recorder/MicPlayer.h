// Plays a WAV into the virtual microphone ("micsink", tools/env/testenv.sh)
// with the Unix paplay, started from this Wine process. Wine cannot wait on a
// Unix child, so the shell that runs paplay leaves a marker file when done.
#pragma once
#include <windows.h>

#include <cstdlib>
#include <string>

#include "SpeechFiles.h"

namespace nelo::rec::test {

class MicPlayer {
public:
    // unixWav: path of the WAV on the Unix side.
    bool Start(const std::string& unixWav) {
        const char* dir = std::getenv("NELO_SPEECH_DIR");
        if (!dir) return false;
        m_marker = std::string(dir) + "/played-" + std::to_string(GetCurrentProcessId()) + "-" +
                   std::to_string(++m_count);
        DeleteFileW(WindowsPath(m_marker).c_str());
        std::wstring cmd = L"/bin/sh -c \"/usr/bin/paplay --device=micsink '" + Wide(unixWav) + L"'; touch '" +
                           Wide(m_marker) + L"'\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (!CreateProcessW(L"/bin/sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
    }

    // Waits until paplay has finished, so the next test records silence.
    bool WaitDone(DWORD limitMs) {
        const DWORD start = GetTickCount();
        const std::wstring marker = WindowsPath(m_marker);
        while (!FileExists(marker.c_str())) {
            if (GetTickCount() - start >= limitMs) return false;
            Sleep(50);
        }
        DeleteFileW(marker.c_str());
        return true;
    }

    static std::string UnixSpeechFile(const char* name) {
        const char* dir = std::getenv("NELO_SPEECH_DIR");
        return std::string(dir ? dir : ".") + "/" + name;
    }

private:
    static std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }
    static std::wstring WindowsPath(const std::string& unix) {
        std::wstring out = L"Z:";
        for (char c : unix) out += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
        return out;
    }
    std::string m_marker;
    int m_count = 0;
};

}  // namespace nelo::rec::test
