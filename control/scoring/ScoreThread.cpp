#include "ScoreThread.h"

#include "ControlTypes.h"
#include "EngineText.h"
#include "NeloPS.h"
#include "PackedValues.h"
#include "log/Log.h"

CScoreThread* CScoreThread::ForFile(HWND notifyWindow, LONG nSession, const std::string& ansiPath, ULONG nOffset,
                                    LONG nLen) {
    auto* job = new CScoreThread();
    job->m_hwndCtrl = notifyWindow;
    job->m_nSoundType = kSoundFile;
    job->m_nSession = nSession;
    job->m_strFileName = ansiPath;
    job->m_nOffset = nOffset;
    job->m_nLen = nLen;
    return job;
}

CScoreThread* CScoreThread::ForBytes(HWND notifyWindow, LONG nSession, CByteBuffer&& bytes, ULONG nOffset,
                                     LONG nLen) {
    auto* job = new CScoreThread();
    job->m_hwndCtrl = notifyWindow;
    job->m_nSoundType = kSoundInMemory;
    job->m_nSession = nSession;
    const ULONG size = bytes.Size();  // Detach forgets the size
    job->m_pData.Reset(bytes.Detach(), size);
    job->m_nOffset = nOffset;
    job->m_nLen = nLen;
    return job;
}

bool CScoreThread::StartJob(CScoreThread* job) {
    const LONG session = job->m_nSession;  // Start deletes a job it cannot run
    if (nelo::WorkerThread::Start(job)) return true;
    LogEngineFailure(L"Create CScoreThread", session);
    return false;
}

void CScoreThread::Run() {
    m_nLen = EngineScoreLength(m_nLen);
    bool scored;
    if (m_nSoundType == kSoundFile) {
        scored = PsSoundByName(m_nSession, m_strFileName.c_str(), m_nOffset, m_nLen);
        if (!scored) LogEngineFailure(L"PsSoundByName", m_nSession);
    } else {
        const PSSOUND sound = {m_pData.Get(), m_pData.Size()};
        scored = PsSoundByPoint(m_nSession, &sound, m_nOffset, m_nLen);
        m_pData.Reset();
        if (!scored) LogEngineFailure(L"PsSoundByPoint", m_nSession);
    }
    // Exactly one notification per started job, after the engine call and its line. Session
    // handles travel as 32-bit values in the wider message word.
    PostMessageW(m_hwndCtrl, WM_SCORE_NOTIFY, static_cast<WPARAM>(static_cast<ULONG>(m_nSession)), scored ? 1 : 2);
}
