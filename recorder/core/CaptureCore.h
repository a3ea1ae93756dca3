// One recording's per-buffer decisions, without any device: settling, the
// first notice, the five end conditions, onset search, silence tracking,
// length adjustments, and the pre-voice and voice stores. The worker feeds it
// each filled capture buffer and acts on the answer.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "VoiceDetector.h"

namespace nelo::rec {

struct RecordSettings {
    int32_t nNoVoiceTime = 5000;       // ms
    int32_t nTailSilenceTime = 2000;   // ms
    int32_t nMaxRecordTime = 18000;    // ms
    int32_t bAutoStopEN = 1;
};

enum class CaptureEnd { None, Cancel, Stop, NoVoice, Silence };

// The notice code of an end (REC_END_* of NeloRec.h); 0 for None.
int32_t EndNoticeCode(CaptureEnd end);

struct BufferOutcome {
    bool bReportCapturing = false;  // send REC_CAPTURING (before anything else)
    bool bReportVoice = false;      // send REC_VOICE
    CaptureEnd end = CaptureEnd::None;  // stop the device; Cancel is reported at once,
                                        // the others after the file is written
    bool bRequeue = false;          // hand the buffer back to the device
};

constexpr int32_t kSettleBytes = 16000;          // 500 ms; nine full buffers are discarded
constexpr int32_t kPreVoiceCapacity = 320000;    // samples, 20 s
constexpr int32_t kPreVoiceShiftAt = 304000;
constexpr int32_t kPreVoiceShift = 160000;
constexpr int32_t kPreVoiceInFile = 8000;        // newest 0.5 s before the onset buffer
constexpr size_t kVoiceReserve = 18000 * 32 + 1920;  // the default maximum voice segment

class CaptureCore {
public:
    explicit CaptureCore(AutoCorrMethod method = AutoCorrMethod::Lanes);

    // A new recording: levels and counters back to their start, request flags
    // cleared, fresh voice and previous-buffer stores.
    void StartRecording();
    // The device reported itself open: capture runs, the first window begins
    // with a buffer of silence.
    void DeviceOpened();

    void RequestCancel() { m_bCancel = 1; }
    void RequestStop() { m_bStop = 1; }

    // One filled buffer: `buffer` is the whole 1920-byte capture buffer,
    // `nBytes` how much of it the device filled.
    BufferOutcome OnBuffer(const uint8_t* buffer, int32_t nBytes, const RecordSettings& settings);

    // What the file receives: the newest pre-voice samples (at most 8000) and
    // the voice bytes, bounded to what the voice store really holds.
    const int16_t* PreVoiceForFile() const;
    int32_t PreVoiceSamplesForFile() const;
    const uint8_t* VoiceData() const { return m_voice.data(); }
    int32_t VoiceBytesForFile() const;

    // After the file is written (or the recording cancelled): the voice and
    // previous-buffer stores are emptied. Their memory is kept for the next
    // recording (bounded by the longest recording made), like the fixed stores.
    void ReleaseRecordingBuffers();

    // State, as the worker and tests see it.
    bool Recording() const { return m_bRecording == 1; }
    bool Voice() const { return m_bVoice != 0; }
    bool EndLatched() const { return m_bCancel != 0 && m_bRecording == 0; }
    int32_t VoiceBytes() const { return m_nVoiceBytes; }  // before bounding
    int32_t VoiceBytesHeld() const { return static_cast<int32_t>(m_voice.size()); }
    int32_t PreVoiceSamples() const { return m_nPreVoiceSamples; }
    const int16_t* PreVoice() const { return m_preVoice.get(); }
    int32_t SilentRun() const { return m_nSilentRun; }
    int32_t NoVoiceRun() const { return m_nNoVoiceRun; }
    const VoiceDetector& Detector() const { return m_detector; }
    VoiceDetector& Detector() { return m_detector; }

private:
    void End(CaptureEnd end, BufferOutcome& out);
    void AddLengthAdjustment(int32_t nTailSilenceTime);
    void StorePreVoice(const uint8_t* data, int32_t nBytes);

    VoiceDetector m_detector;
    std::unique_ptr<int16_t[]> m_window;     // kWindowStorage samples, kept for the worker's life
    std::unique_ptr<int16_t[]> m_preVoice;   // kPreVoiceCapacity samples, kept for the worker's life
    std::vector<int16_t> m_prevFrame;        // per recording
    std::vector<uint8_t> m_voice;            // per recording, grows by one buffer per 60 ms
                                             // into capacity reserved once

    int32_t m_nPreVoiceSamples = 0;
    int32_t m_nVoiceBytes = 0;
    int32_t m_nSilentRun = 0;
    int32_t m_nNoVoiceRun = 0;
    int32_t m_nSettleBytes = 0;
    int32_t m_bStartNotified = 0;
    int32_t m_bRecording = 0;
    int32_t m_bVoice = 0;
    int32_t m_bCancel = 0;   // also latched after every end of capture
    int32_t m_bStop = 0;
};

}  // namespace nelo::rec
