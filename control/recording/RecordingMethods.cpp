// The control's recording methods. The control does no audio work: each recording is a
// job handed to NeloRec on a record thread (RecordThread.h); the recorder's notices come
// back as WM_RECORD_NOTIFY and become record states in OnRecordNotify.
#include "NeloRecognitionCtrl.h"

#include "NeloRecognitionApp.h"
#include "RecordRequestLine.h"
#include "RecordSetters.h"
#include "RecordThread.h"
#include "folders/SafePath.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"

namespace {

// How long cancel and stop wait for begun requests to reach the recorder. Normally a
// thread start; the recorder's very first request also starts its worker.
const DWORD kRequestDrainMs = 5000;

LONG RunSetter(const RecordSetter& setter, LONG value) {
    const RecordSetterOutcome outcome = ApplyRecordSetter(setter, value);
    if (!outcome.logLine.empty()) LogError(outcome.logLine);
    return outcome.result;
}

}  // namespace

// lTime is part of the script interface and has never had an effect.
LONG CNeloRecognitionCtrl::OcxBeginRecord(BSTR strFileName, LONG /*lTime*/) {
    std::wstring path;
    if (!JoinInFolder(GetRecordTempDir(theApp.m_strWorkDir), strFileName, SysStringLen(strFileName), path)) {
        LogError(L"OcxBeginRecord: param of strFileName is incorrect!");
        return 1;
    }
    m_listRecordState.RemoveAll();  // states of earlier recordings are of no interest now
    // A recording still running is not refused: the recorder ends it (cancelled, or with
    // its own end if it was being saved) before this one starts, and that end reaches the
    // script, after this call, ahead of the new recording's states.
    if (!StartRecordJob(path, NotifyWindow(), PS_RecordSentenceWithVad)) {
        LogError(L"Create CRecordThread Failed!");
        return 1;
    }
    return 0;
}

void CNeloRecognitionCtrl::OcxCancelRecord() {
    RecordRequests().WaitAllFinished(kRequestDrainMs);
    (void)PS_RecordCancel();
}

LONG CNeloRecognitionCtrl::OcxStopRecord() {
    RecordRequests().WaitAllFinished(kRequestDrainMs);
    if (PS_RecordStop() != 0) {
        LogError(L"OcxStopRecord PS_RecordStop Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxSetRecordNoVoiceTime(LONG lTimeInMS) { return RunSetter(kSetRecordNoVoiceTime, lTimeInMS); }

LONG CNeloRecognitionCtrl::OcxSetRecordTailSilenceTime(LONG lTimeInMS) {
    return RunSetter(kSetRecordTailSilenceTime, lTimeInMS);
}

LONG CNeloRecognitionCtrl::OcxSetRecordMaxRecordTime(LONG lTimeInMS) {
    return RunSetter(kSetRecordMaxRecordTime, lTimeInMS);
}

LONG CNeloRecognitionCtrl::OcxSetRecordAutoStopEN(LONG lBoolEnable) { return RunSetter(kSetRecordAutoStopEN, lBoolEnable); }
