#include "rtvad.h"

#include <cwchar>

#include "../core/WavWriter.h"
#include "RecorderMessages.h"
#include "WorkerMessageBox.h"

namespace nelo::rec {
namespace {

// Path copies travel through the queue as heap strings that the worker owns
// (see Exports.cpp); they are bounded there, and again here.
void TakePath(LPARAM lParam, wchar_t (&target)[PS_MAX_PATH_CHARS + 1]) {
    std::unique_ptr<wchar_t[]> path(reinterpret_cast<wchar_t*>(lParam));
    if (!path) {
        target[0] = L'\0';
        return;
    }
    wcsncpy(target, path.get(), PS_MAX_PATH_CHARS);
    target[PS_MAX_PATH_CHARS] = L'\0';
}

}  // namespace

const rtvad::MessageMapEntry rtvad::kMessageMap[] = {
    {MM_WIM_OPEN, &rtvad::OnWimOpen},
    {MM_WIM_DATA, &rtvad::OnWimData},
    {MM_WIM_CLOSE, &rtvad::OnWimClose},
    {WM_REC_SETFILE, &rtvad::OnSetRecordFile},
    {WM_REC_SETNOTIFY, &rtvad::OnSetRecordNotify},
    {WM_REC_START, &rtvad::OnStartRecord},
    {WM_REC_CANCEL, &rtvad::OnCancelRecord},
    {WM_REC_STOP, &rtvad::OnStopRecord},
    {WM_REC_SAVE, &rtvad::OnSaveRecord},
    {WM_PLAY_SETFILE, &rtvad::OnSetPlayFile},
    {WM_PLAY_SETNOTIFY, &rtvad::OnSetPlayNotify},
    {WM_PLAY_START, &rtvad::OnPlayFile},
    {WM_PLAY_CANCEL, &rtvad::OnPlayCancel},
    {WM_RECORDER_QUIT, &rtvad::OnQuit},
};

rtvad::rtvad(const SettingsSnapshot& s, HMODULE module)
    : m_nNoVoiceTime(s.nNoVoiceTime),
      m_nTailSilenceTime(s.nTailSilenceTime),
      m_nMaxRecordTime(s.nMaxRecordTime),
      m_bAutoStopEN(s.bAutoStopEN),
      m_hModule(module) {}

rtvad::~rtvad() {
    if (m_hReady) CloseHandle(m_hReady);
}

rtvad* rtvad::Create(const SettingsSnapshot& settings, HMODULE module, bool* pThreadStarted) {
    *pThreadStarted = false;
    std::unique_ptr<rtvad> worker(new rtvad(settings, module));
    worker->m_hReady = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!worker->m_hReady) return nullptr;
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, &rtvad::ThreadMain, worker.get(), 0, &threadId);
    if (!thread) return nullptr;
    *pThreadStarted = true;
    worker->m_nThreadId = threadId;
    const HANDLE waits[2] = {worker->m_hReady, thread};
    const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 30000);
    CloseHandle(thread);
    if (woke != WAIT_OBJECT_0) {
        // The thread died or never got going: it may still own the object.
        (void)worker.release();
        return nullptr;
    }
    return worker.release();
}

DWORD WINAPI rtvad::ThreadMain(void* param) {
    rtvad* self = static_cast<rtvad*>(param);
    MSG msg;
    // Creates this thread's message queue before anyone is told it exists.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(self->m_hReady);
    self->Run();
    const HMODULE module = self->m_hModule;
    delete self;
    if (module) FreeLibraryAndExitThread(module, kWorkerExitCode);
    return kWorkerExitCode;
}

void rtvad::Run() {
    MSG msg;
    while (!m_bQuit && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            Dispatch(msg);
        }
    }
}

void rtvad::Dispatch(const MSG& msg) {
    for (const MessageMapEntry& entry : kMessageMap) {
        if (entry.message == msg.message) {
            (this->*entry.handler)(msg.wParam, msg.lParam);
            return;
        }
    }
}

RecordSettings rtvad::LiveSettings() const {
    RecordSettings s;
    s.nNoVoiceTime = m_nNoVoiceTime.load();
    s.nTailSilenceTime = m_nTailSilenceTime.load();
    s.nMaxRecordTime = m_nMaxRecordTime.load();
    s.bAutoStopEN = m_bAutoStopEN.load();
    return s;
}

void rtvad::NotifyRecord(int32_t code) {
    if (m_pfnActiveNotify) m_pfnActiveNotify(m_pActiveUser, NOTIFY_CLASS_RECORD, code);
}

void rtvad::NotifyPlay(int32_t code) {
    if (m_pfnPlayNotify) m_pfnPlayNotify(m_pPlayUser, NOTIFY_CLASS_PLAY, code);
}

// ---- Recording requests

void rtvad::OnSetRecordFile(WPARAM, LPARAM lParam) { TakePath(lParam, m_szRecordFile); }

void rtvad::OnSetRecordNotify(WPARAM wParam, LPARAM lParam) {
    m_pfnRecordNotify = reinterpret_cast<PS_NOTIFYPROC>(lParam);
    m_pRecordUser = reinterpret_cast<void*>(wParam);
}

// A new request never mixes with the previous recording: one still capturing
// ends as a cancel for its own receiver, one whose file is still to be
// written gets its file and its end notice first.
void rtvad::FinishPreviousRecording() {
    if (m_device) {
        m_device.reset();
        m_core.ReleaseRecordingBuffers();
        NotifyRecord(REC_END_CANCEL);
    }
    if (m_bSavePending) WriteFileAndReport();
}

void rtvad::OnStartRecord(WPARAM, LPARAM) {
    FinishPreviousRecording();
    wmemcpy(m_szActiveFile, m_szRecordFile, PS_MAX_PATH_CHARS + 1);
    m_pfnActiveNotify = m_pfnRecordNotify;
    m_pActiveUser = m_pRecordUser;

    m_core.StartRecording();
    MMRESULT error = MMSYSERR_NOERROR;
    m_device = CaptureDevice::Open(GetCurrentThreadId(), &error);
    if (!m_device) {
        m_core.ReleaseRecordingBuffers();
        ShowWorkerMessageBox(L"无法打开录音设备录制!");
        return;
    }
    m_device->Start();
}

void rtvad::OnCancelRecord(WPARAM, LPARAM) {
    m_core.RequestCancel();
    Sleep(100);
}

void rtvad::OnStopRecord(WPARAM, LPARAM) {
    m_core.RequestStop();
    Sleep(100);
}

// ---- Capture

void rtvad::OnWimOpen(WPARAM wParam, LPARAM) {
    if (m_device && m_device->IsMine(reinterpret_cast<HWAVEIN>(wParam))) m_core.DeviceOpened();
}

void rtvad::OnWimData(WPARAM wParam, LPARAM lParam) {
    WAVEHDR* header = reinterpret_cast<WAVEHDR*>(lParam);
    if (!m_device || !m_device->IsMine(reinterpret_cast<HWAVEIN>(wParam)) || !m_device->OwnsHeader(header))
        return;
    const BufferOutcome out = m_core.OnBuffer(reinterpret_cast<const uint8_t*>(header->lpData),
                                              static_cast<int32_t>(header->dwBytesRecorded), LiveSettings());
    if (out.bReportCapturing) NotifyRecord(REC_CAPTURING);
    if (out.bReportVoice) NotifyRecord(REC_VOICE);
    if (!m_device) return;  // a notice handler's request cannot close it, but stay safe

    if (out.end == CaptureEnd::None) {
        if (out.bRequeue && !m_device->Requeue(header)) ShowWorkerMessageBox(L"再次利用缓存有问题！");
        return;
    }
    m_device.reset();
    if (out.end == CaptureEnd::Cancel) {
        m_core.ReleaseRecordingBuffers();
        NotifyRecord(REC_END_CANCEL);
        return;
    }
    m_bSavePending = true;
    m_nPendingEndCode = EndNoticeCode(out.end);
    // If the post is lost, the next record request writes the file instead.
    PostThreadMessageW(GetCurrentThreadId(), WM_REC_SAVE, NOTIFY_CLASS_RECORD, m_nPendingEndCode);
}

// The device's close messages are taken out of the queue when it closes
// (CaptureDevice), so one arriving here belongs to no live device.
void rtvad::OnWimClose(WPARAM, LPARAM) {}

// ---- The recording file

void rtvad::OnSaveRecord(WPARAM, LPARAM) {
    if (m_bSavePending) WriteFileAndReport();
}

void rtvad::WriteFileAndReport() {
    m_bSavePending = false;
    const bool written = WriteRecordingWav(m_szActiveFile, m_core.PreVoiceForFile(), m_core.PreVoiceSamplesForFile(),
                                           m_core.VoiceData(), m_core.VoiceBytesForFile());
    m_core.ReleaseRecordingBuffers();
    if (!written) {
        ShowWorkerMessageBox(L"录音文件打开失败!\n");
        return;
    }
    NotifyRecord(m_nPendingEndCode);
}

// ---- Playback

void rtvad::OnSetPlayFile(WPARAM, LPARAM lParam) { TakePath(lParam, m_szPlayFile); }

void rtvad::OnSetPlayNotify(WPARAM wParam, LPARAM lParam) {
    m_pfnPlayNotify = reinterpret_cast<PS_NOTIFYPROC>(lParam);
    m_pPlayUser = reinterpret_cast<void*>(wParam);
}

void rtvad::OnPlayCancel(WPARAM, LPARAM) {
    if (m_bPlaying.load()) m_bPlayCancel = 1;
}

// ---- Quit

void rtvad::DiscardQueuedRequests() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd == nullptr && (msg.message == WM_REC_SETFILE || msg.message == WM_PLAY_SETFILE))
            delete[] reinterpret_cast<wchar_t*>(msg.lParam);
    }
}

void rtvad::OnQuit(WPARAM, LPARAM) {
    m_device.reset();
    m_core.ReleaseRecordingBuffers();
    DiscardQueuedRequests();
    m_bQuit = true;
}

}  // namespace nelo::rec
