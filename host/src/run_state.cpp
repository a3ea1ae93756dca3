#include "run_state.h"

CRunState::CRunState()
    : m_hStop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_nReason(static_cast<LONG>(EStopReason::None)),
      m_nExitCode(kExitOk) {}

CRunState::~CRunState() {
    if (m_hStop) CloseHandle(m_hStop);
}

bool CRunState::RequestStop(EStopReason reason, int exitCode) {
    // Claim with a placeholder first, then publish the code before the
    // reason, so whoever sees the reason also sees its code.
    const LONG none = static_cast<LONG>(EStopReason::None);
    if (InterlockedCompareExchange(&m_nReason, kClaiming, none) != none) return false;
    InterlockedExchange(&m_nExitCode, exitCode);
    InterlockedExchange(&m_nReason, static_cast<LONG>(reason));
    SetEvent(m_hStop);
    return true;
}

bool CRunState::Stopping() const {
    return m_nReason != static_cast<LONG>(EStopReason::None);
}

EStopReason CRunState::Reason() const {
    LONG r = m_nReason;
    return r == kClaiming ? EStopReason::None : static_cast<EStopReason>(r);
}

int CRunState::ExitCode() const {
    return static_cast<int>(m_nExitCode);
}
