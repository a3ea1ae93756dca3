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

// Complete already (it only reads the score list that OnScoreNotify fills); it moves to
// the scoring files with the rest.
LONG CNeloRecognitionCtrl::OcxGetScoreState(LONG nSession) {
    tagSCORESTATE found = {0, 0};
    if (!m_listScoreState.RemoveFirstFromHead([nSession](const tagSCORESTATE& s) { return s.nSession == nSession; },
                                              found))
        return 0;
    return found.nState;
}

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

#ifndef NELO_HAVE_FILES
// ---- Files
BSTR CNeloRecognitionCtrl::OcxCreateFile() { return PendingText(L"OcxCreateFile"); }
LONG CNeloRecognitionCtrl::OcxRemoveFile(BSTR) { return PendingZero(L"OcxRemoveFile"); }
VARIANT CNeloRecognitionCtrl::OcxGetFileData(LONG, BSTR) { return PendingArray(L"OcxGetFileData"); }

#endif  // NELO_HAVE_FILES

#ifndef NELO_HAVE_PLAYBACK
// ---- Memory blocks
LONG CNeloRecognitionCtrl::OcxMemoryBlockCreate(LONG) { return PendingZero(L"OcxMemoryBlockCreate"); }
LONG CNeloRecognitionCtrl::OcxMemoryBlockRelease(LONG) { return PendingZero(L"OcxMemoryBlockRelease"); }
LONG CNeloRecognitionCtrl::OcxMemoryBlockWrite(LONG, LONG, const VARIANT&) { return PendingZero(L"OcxMemoryBlockWrite"); }
LONG CNeloRecognitionCtrl::OcxMemoryBlockWriteByStr(LONG, LONG, BSTR) { return PendingZero(L"OcxMemoryBlockWriteByStr"); }

// ---- Opening and playing sounds
LONG CNeloRecognitionCtrl::OcxOpenSoundByFile(LONG, BSTR) { return PendingOne(L"OcxOpenSoundByFile"); }
LONG CNeloRecognitionCtrl::OcxOpenSoundByBuf(const VARIANT&) { return PendingOne(L"OcxOpenSoundByBuf"); }
LONG CNeloRecognitionCtrl::OcxOpenSoundByMBBuf(LONG, LONG) { return PendingZero(L"OcxOpenSoundByMBBuf"); }
LONG CNeloRecognitionCtrl::OcxOpenSoundByStr(BSTR) { return PendingOne(L"OcxOpenSoundByStr"); }
LONG CNeloRecognitionCtrl::OcxPlaySound() { return PendingZero(L"OcxPlaySound"); }
LONG CNeloRecognitionCtrl::OcxCloseSound() { return PendingZero(L"OcxCloseSound"); }
LONG CNeloRecognitionCtrl::OcxStopSound() { return PendingZero(L"OcxStopSound"); }
LONG CNeloRecognitionCtrl::OcxPauseSound() { return PendingZero(L"OcxPauseSound"); }
LONG CNeloRecognitionCtrl::OcxResumeSound() { return PendingZero(L"OcxResumeSound"); }
ULONG CNeloRecognitionCtrl::OcxGetPlayStatus(LONG) { return 0; }  // 0 with no sound open, never logged
LONG CNeloRecognitionCtrl::OcxSetPlayStatus(LONG, ULONG) { return PendingZero(L"OcxSetPlayStatus"); }
LONG CNeloRecognitionCtrl::OcxPlaySoundEx(ULONG, ULONG) { return PendingZero(L"OcxPlaySoundEx"); }
LONG CNeloRecognitionCtrl::OcxPlaySoundByFile(LONG, BSTR) { return PendingOne(L"OcxPlaySoundByFile"); }
LONG CNeloRecognitionCtrl::OcxPlaySoundByBuf(const VARIANT&) { return PendingOne(L"OcxPlaySoundByBuf"); }
LONG CNeloRecognitionCtrl::OcxPlaySoundByMBBuf(LONG, LONG) { return PendingZero(L"OcxPlaySoundByMBBuf"); }
LONG CNeloRecognitionCtrl::OcxPlaySoundByStr(BSTR) { return PendingOne(L"OcxPlaySoundByStr"); }
#endif  // NELO_HAVE_PLAYBACK
