// A scoring job: one sound scored against a session's reference on a thread of its own,
// its outcome posted to the control's window as WM_SCORE_NOTIFY (session, 1 or 2).
//
// The job keeps the control's window handle, never the control: a control destroyed while
// its job is inside the engine takes its window with it, and the job's post then fails
// harmlessly. The worker thread holds the module (lock count and load reference) until the
// thread has ended, so a host cannot unload the code a job is still running.
#pragma once
#include <windows.h>

#include <string>

#include "WorkerThread.h"
#include "scriptdata/ByteBuffer.h"

class CScoreThread : public nelo::WorkerThread {
public:
    enum SoundType : LONG { kSoundFile = 0, kSoundInMemory = 1 };

    // A job for the file at ansiPath (already in the system code page, NUL-terminated, fits
    // the engine's 260-byte path buffer) or for bytes the job then owns.
    static CScoreThread* ForFile(HWND notifyWindow, LONG nSession, const std::string& ansiPath, ULONG nOffset,
                                 LONG nLen);
    static CScoreThread* ForBytes(HWND notifyWindow, LONG nSession, CByteBuffer&& bytes, ULONG nOffset, LONG nLen);

    // Starts the job's thread and gives the job to it. On failure the job (with its bytes) is
    // gone, "Create CScoreThread Failed! ERRCODE[%d]" is written and false returned.
    static bool StartJob(CScoreThread* job);

protected:
    void Run() override;

private:
    CScoreThread() = default;

    HWND m_hwndCtrl = nullptr;  // the control's message-only window, taken when the job starts
    LONG m_nSoundType = kSoundFile;
    LONG m_nSession = 0;
    std::string m_strFileName;  // type 0: the full path in the system code page
    CByteBuffer m_pData;        // type 1: the sound, owned by the job
    ULONG m_nOffset = 0;
    LONG m_nLen = 0;
};
