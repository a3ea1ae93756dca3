// The eleven exports. Each runs on the caller's thread and only stores a
// value, touches a worker flag or posts a request; the worker does the rest.
#include <windows.h>

#include <cwchar>
#include <memory>

#include "NeloRec.h"
#include "RecorderApp.h"
#include "RecorderMessages.h"

using namespace nelo::rec;

namespace {

// A private copy of a request's path, or null when the path is refused
// (missing, empty, or too long for the worker's 1024-character buffers).
std::unique_ptr<wchar_t[]> CopyRequestPath(const wchar_t* path) {
    if (!path) return nullptr;
    const size_t length = wcsnlen(path, PS_MAX_PATH_CHARS + 1);
    if (length == 0 || length > PS_MAX_PATH_CHARS) return nullptr;
    std::unique_ptr<wchar_t[]> copy(new wchar_t[length + 1]);
    wmemcpy(copy.get(), path, length);
    copy[length] = L'\0';
    return copy;
}

// SETFILE, SETNOTIFY, START as one group, under the request lock, so that two
// callers' groups never interleave. The worker owns the posted path copy.
int32_t PostRequestGroup(UINT setFile, UINT setNotify, UINT start, const wchar_t* path,
                         PS_NOTIFYPROC notify, void* user) {
    std::unique_ptr<wchar_t[]> copy = CopyRequestPath(path);
    if (!copy) return PS_ERR_BAD_PATH;
    RequestLock lock;
    rtvad* worker = EnsureWorker();
    if (!worker) return PS_ERR_NO_WORKER_THREAD;
    if (worker->Post(setFile, 0, reinterpret_cast<LPARAM>(copy.get()))) (void)copy.release();
    worker->Post(setNotify, reinterpret_cast<WPARAM>(user), reinterpret_cast<LPARAM>(notify));
    worker->Post(start, 0, 0);
    return PS_OK;
}

template <typename Field>
int32_t StoreSetting(std::atomic<int32_t>& global, Field rtvad::*live, int32_t value) {
    RequestLock lock;  // a worker being created copies the globals under the same lock
    global = value;
    if (rtvad* worker = g_pRecorder.load()) (worker->*live) = value;
    return PS_OK;
}

}  // namespace

extern "C" {

int32_t PSREC_API PS_RecordSetNoVoiceTime(int32_t nTimeInMs) {
    return StoreSetting(g_nNoVoiceTime, &rtvad::m_nNoVoiceTime, nTimeInMs);
}

int32_t PSREC_API PS_RecordSetTailSilenceTime(int32_t nTimeInMs) {
    return StoreSetting(g_nTailSilenceTime, &rtvad::m_nTailSilenceTime, nTimeInMs);
}

int32_t PSREC_API PS_RecordSetMaxRecordTime(int32_t nTimeInMs) {
    return StoreSetting(g_nMaxRecordTime, &rtvad::m_nMaxRecordTime, nTimeInMs);
}

int32_t PSREC_API PS_RecordSetAutoStopEN(int32_t bEnable) {
    return StoreSetting(g_bAutoStopEN, &rtvad::m_bAutoStopEN, bEnable);
}

int32_t PSREC_API PS_RecordSentenceWithVad(const wchar_t* pszFile, PS_NOTIFYPROC pfnNotify, void* pUser) {
    return PostRequestGroup(WM_REC_SETFILE, WM_REC_SETNOTIFY, WM_REC_START, pszFile, pfnNotify, pUser);
}

int32_t PSREC_API PS_RecordCancel(void) {
    RequestLock lock;
    rtvad* worker = EnsureWorker();
    if (!worker) return PS_ERR_NO_WORKER_THREAD;
    worker->Post(WM_REC_CANCEL, 0, 0);
    return PS_OK;
}

int32_t PSREC_API PS_RecordStop(void) {
    RequestLock lock;
    if (rtvad* worker = g_pRecorder.load()) worker->Post(WM_REC_STOP, 0, 0);
    return PS_OK;
}

int32_t PSREC_API PS_PlayFile(const wchar_t* pszFile, PS_NOTIFYPROC pfnNotify, void* pUser) {
    return PostRequestGroup(WM_PLAY_SETFILE, WM_PLAY_SETNOTIFY, WM_PLAY_START, pszFile, pfnNotify, pUser);
}

int32_t PSREC_API PS_PlayCancel(void) {
    rtvad* worker = nullptr;
    {
        RequestLock lock;
        worker = EnsureWorker();
    }
    if (!worker) return PS_ERR_NO_WORKER_THREAD;
    // Set directly: the worker serves no messages while it plays.
    if (worker->m_bPlaying.load()) worker->m_bPlayCancel = 1;
    return PS_OK;
}

int32_t PSREC_API PS_PlayPause(int32_t bPause) {
    rtvad* worker = g_pRecorder.load();
    if (!worker) return PS_ERR_NO_WORKER;
    if (worker->m_bPlaying.load()) worker->m_bPauseRequest = bPause != 0 ? 1 : 0;
    return PS_OK;
}

int32_t PSREC_API PS_PlayGetTimePos(int32_t* pnPosMs, int32_t* pnLengthMs) {
    rtvad* worker = g_pRecorder.load();
    if (!worker) return PS_ERR_NO_WORKER;
    const bool playing = worker->m_bPlaying.load() != 0;
    if (pnPosMs) *pnPosMs = playing ? worker->m_nPlayPos.load() : 0;
    if (pnLengthMs) *pnLengthMs = playing ? worker->m_nPlayLength.load() : 0;
    return PS_OK;
}

}  // extern "C"
