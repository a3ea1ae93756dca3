// How this run of a script ends. The first request to stop wins (host.Quit,
// a failed assertion, a script error, the timeout); everything that waits
// (host.Sleep, host.Run) watches the stop event so the script unwinds.
#pragma once

#include <windows.h>
#include <string>

enum class EStopReason { None, Quit, Assert, ScriptError, Timeout };

enum ExitCodes : int {
    kExitOk = 0,
    kExitAssert = 1,
    kExitUsage = 2,
    kExitScriptError = 3,
    kExitTimeout = 4,
};

class CRunState {
public:
    CRunState();
    ~CRunState();
    CRunState(const CRunState&) = delete;
    CRunState& operator=(const CRunState&) = delete;

    // True when this call decided the outcome; later requests are ignored.
    bool RequestStop(EStopReason reason, int exitCode);
    bool Stopping() const;
    EStopReason Reason() const;
    int ExitCode() const;
    HANDLE StopEvent() const { return m_hStop; }

    // A failed assertion's text waits here until someone reports it with
    // the script position (the error callback) or without (the end of the run).
    // Script thread only.
    void SetPendingReport(const std::wstring& text) { m_strPendingReport = text; }
    bool TakePendingReport(std::wstring& text) {
        if (m_strPendingReport.empty()) return false;
        text.swap(m_strPendingReport);
        m_strPendingReport.clear();
        return true;
    }

private:
    static constexpr LONG kClaiming = -1;
    HANDLE m_hStop;
    volatile LONG m_nReason;  // EStopReason; written once through a compare-exchange
    volatile LONG m_nExitCode;
    std::wstring m_strPendingReport;
};
