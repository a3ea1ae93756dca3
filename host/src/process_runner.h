// host.Run: starts a Windows program, or under Wine a Linux program, and
// optionally waits for it while pumping messages.
#pragma once

#include <windows.h>
#include <string>

struct CRunOutcome {
    bool bStarted = false;
    bool bStopped = false;  // the run was told to stop while waiting
    int nExitCode = 0;
    std::wstring strError;
};

CRunOutcome RunCommand(const std::wstring& commandLine, bool bWait, HANDLE stopEvent);
