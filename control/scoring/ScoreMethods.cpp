// Starting score jobs from a script, and reading their outcomes.
#include "NeloRecognitionApp.h"
#include "NeloRecognitionCtrl.h"
#include "ScoreThread.h"
#include "folders/SafePath.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"
#include "scriptdata/ScriptData.h"

namespace {

// Every new job drops the unread outcomes of all sessions, then runs on its own thread.
LONG StartJob(CNeloRecognitionCtrl& ctrl, CScoreThread* job) {
    ctrl.m_listScoreState.RemoveAll();
    return CScoreThread::StartJob(job) ? 1 : 0;
}

}  // namespace

LONG CNeloRecognitionCtrl::OcxScoreSoundByBuf(LONG nSession, const VARIANT& vData, ULONG nOffset, LONG nLen) {
    CByteBuffer bytes;
    if (GetArrayBytes(const_cast<VARIANT*>(&vData), bytes) != S_OK) {
        LogError(L"OcxScoreSoundByBuf: param of vData is incorrect!");
        return 0;
    }
    if (bytes.Empty()) {
        LogError(L"OcxScoreSoundByBuf: length of vData is incorrect!");
        return 0;
    }
    return StartJob(*this, CScoreThread::ForBytes(NotifyWindow(), nSession, std::move(bytes), nOffset, nLen));
}

LONG CNeloRecognitionCtrl::OcxScoreSoundByStr(LONG nSession, BSTR sData, ULONG nOffset, LONG nLen) {
    CByteBuffer bytes;
    if (!GetStringBytes(sData, bytes)) {
        LogError(L"OcxScoreSoundByBuf: sData of param is incorrect!");
        return 0;
    }
    if (bytes.Empty()) {
        LogError(L"OcxScoreSoundByBuf: length of vData is incorrect!");
        return 0;
    }
    return StartJob(*this, CScoreThread::ForBytes(NotifyWindow(), nSession, std::move(bytes), nOffset, nLen));
}

LONG CNeloRecognitionCtrl::OcxScoreSoundByName(LONG nSession, BSTR strFileName, ULONG nOffset, LONG nLen) {
    // The name must stay inside the record-temp folder, and its system-code-page form must fit
    // the engine's path buffer whole: a cut path could name another file.
    std::wstring path;
    char ansiPath[kAnsiBufferSize];
    if (!JoinInFolder(GetRecordTempDir(theApp.m_strWorkDir), strFileName, SysStringLen(strFileName), path) ||
        StringToAnsi(path, ansiPath) == 0) {
        LogError(L"OcxScoreSoundByName: param of strFileName is incorrect!");
        return 0;
    }
    return StartJob(*this, CScoreThread::ForFile(NotifyWindow(), nSession, ansiPath, nOffset, nLen));
}

LONG CNeloRecognitionCtrl::OcxGetScoreState(LONG nSession) {
    // Newest first: of two outcomes for one session, the one that arrived last is read first.
    tagSCORESTATE found = {0, 0};
    if (!m_listScoreState.RemoveFirstFromHead([nSession](const tagSCORESTATE& s) { return s.nSession == nSession; },
                                              found))
        return 0;
    return found.nState;
}
