// The recorder's one worker thread: it owns the capture device, the detector
// core, the recording file and MCI playback, serves the thread messages of
// RecorderMessages.h one at a time in the order posted, and reports through
// the caller's notification functions on its own thread.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>

#include "NeloRec.h"
#include "../core/CaptureCore.h"
#include "CaptureDevice.h"

namespace nelo::rec {

struct SettingsSnapshot {
    int32_t nNoVoiceTime, nTailSilenceTime, nMaxRecordTime, bAutoStopEN;
};

class rtvad {
public:
    // Starts the thread and returns once its message queue exists, so the
    // first posts are never lost. Null if the thread cannot be started.
    // `module` is a reference on this library that the thread gives back
    // when it quits, so the code it runs stays mapped while it runs.
    // *pThreadStarted tells whether a thread (which then owns `module`) began.
    static rtvad* Create(const SettingsSnapshot& settings, HMODULE module, bool* pThreadStarted);

    DWORD ThreadId() const { return m_nThreadId; }
    bool Post(UINT message, WPARAM wParam, LPARAM lParam) const {
        return PostThreadMessageW(m_nThreadId, message, wParam, lParam) != FALSE;
    }

    // Live settings and play flags, written and read by other threads as
    // single 32-bit values.
    std::atomic<int32_t> m_nNoVoiceTime;
    std::atomic<int32_t> m_nTailSilenceTime;
    std::atomic<int32_t> m_nMaxRecordTime;
    std::atomic<int32_t> m_bAutoStopEN;
    std::atomic<int32_t> m_bPlaying{0};
    std::atomic<int32_t> m_bPlayCancel{0};
    std::atomic<int32_t> m_bPauseRequest{0};
    std::atomic<int32_t> m_nPlayPos{0};
    std::atomic<int32_t> m_nPlayLength{0};

    // Deleted by its own thread when it quits.
    ~rtvad();

private:
    rtvad(const SettingsSnapshot& settings, HMODULE module);

    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    void Dispatch(const MSG& msg);
    void DiscardQueuedRequests();

    // Message map handlers.
    void OnWimOpen(WPARAM wParam, LPARAM lParam);
    void OnWimData(WPARAM wParam, LPARAM lParam);
    void OnWimClose(WPARAM wParam, LPARAM lParam);
    void OnSetRecordFile(WPARAM wParam, LPARAM lParam);
    void OnSetRecordNotify(WPARAM wParam, LPARAM lParam);
    void OnStartRecord(WPARAM wParam, LPARAM lParam);
    void OnCancelRecord(WPARAM wParam, LPARAM lParam);
    void OnStopRecord(WPARAM wParam, LPARAM lParam);
    void OnSaveRecord(WPARAM wParam, LPARAM lParam);
    void OnSetPlayFile(WPARAM wParam, LPARAM lParam);
    void OnSetPlayNotify(WPARAM wParam, LPARAM lParam);
    void OnPlayFile(WPARAM wParam, LPARAM lParam);
    void OnPlayCancel(WPARAM wParam, LPARAM lParam);
    void OnQuit(WPARAM wParam, LPARAM lParam);

    void NotifyRecord(int32_t code);
    void NotifyPlay(int32_t code);
    void FinishPreviousRecording();
    void WriteFileAndReport();
    RecordSettings LiveSettings() const;

    struct MessageMapEntry {
        UINT message;
        void (rtvad::*handler)(WPARAM, LPARAM);
    };
    static const MessageMapEntry kMessageMap[];

    DWORD m_nThreadId = 0;
    HANDLE m_hReady = nullptr;
    HMODULE m_hModule = nullptr;
    bool m_bQuit = false;

    CaptureCore m_core;
    std::unique_ptr<CaptureDevice> m_device;

    // The next recording's request, set by SETFILE / SETNOTIFY; START makes
    // it the active one, so a request arriving mid-recording never redirects
    // the running recording's file or notices.
    wchar_t m_szRecordFile[PS_MAX_PATH_CHARS + 1] = {};
    PS_NOTIFYPROC m_pfnRecordNotify = nullptr;
    void* m_pRecordUser = nullptr;
    // The active recording.
    wchar_t m_szActiveFile[PS_MAX_PATH_CHARS + 1] = {};
    PS_NOTIFYPROC m_pfnActiveNotify = nullptr;
    void* m_pActiveUser = nullptr;
    bool m_bSavePending = false;
    int32_t m_nPendingEndCode = 0;

    wchar_t m_szPlayFile[PS_MAX_PATH_CHARS + 1] = {};
    PS_NOTIFYPROC m_pfnPlayNotify = nullptr;
    void* m_pPlayUser = nullptr;
    int32_t m_bPaused = 0;
    UINT m_nMciDevice = 0;
};

}  // namespace nelo::rec
