// INTERIM BODIES. The methods below belong to the engine, scoring, recording, file, memory
// block and playback work that is still to come; until each moves to the file of its own
// area (control/scoring/, control/recording/, control/playback/, FileMethods.cpp), it
// answers with its result family's failure value and one log line, so the dispatch
// interface is complete and a script sees an ordinary refusal, never a missing member.
#include "NeloRecognitionCtrl.h"

#include "log/Log.h"

namespace {

[[maybe_unused]] void LogPending(const wchar_t* method) {
    LogError(FormatMessageText(L"%s is not available in this build!", method));
}

// Value-passed-through and yes/no families: 0. Zero-for-success family: 1.
[[maybe_unused]] LONG PendingZero(const wchar_t* method) { LogPending(method); return 0; }
[[maybe_unused]] LONG PendingOne(const wchar_t* method) { LogPending(method); return 1; }
[[maybe_unused]] BSTR PendingText(const wchar_t* method) { LogPending(method); return nullptr; }
[[maybe_unused]] VARIANT PendingArray(const wchar_t* method) {
    LogPending(method);
    VARIANT empty;
    VariantInit(&empty);
    return empty;
}

}  // namespace

#ifndef NELO_HAVE_RECORDING
// ---- Recording
LONG CNeloRecognitionCtrl::OcxBeginRecord(BSTR, LONG) { return PendingOne(L"OcxBeginRecord"); }
void CNeloRecognitionCtrl::OcxCancelRecord() { LogPending(L"OcxCancelRecord"); }
LONG CNeloRecognitionCtrl::OcxStopRecord() { return PendingZero(L"OcxStopRecord"); }
LONG CNeloRecognitionCtrl::OcxSetRecordNoVoiceTime(LONG) { return PendingZero(L"OcxSetRecordNoVoiceTime"); }
LONG CNeloRecognitionCtrl::OcxSetRecordTailSilenceTime(LONG) { return PendingZero(L"OcxSetRecordTailSilenceTime"); }
LONG CNeloRecognitionCtrl::OcxSetRecordMaxRecordTime(LONG) { return PendingZero(L"OcxSetRecordMaxRecordTime"); }
LONG CNeloRecognitionCtrl::OcxSetRecordAutoStopEN(LONG) { return PendingZero(L"OcxSetRecordAutoStopEN"); }

#endif  // NELO_HAVE_RECORDING

