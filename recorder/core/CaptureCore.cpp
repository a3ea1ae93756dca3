#include "CaptureCore.h"

#include <algorithm>
#include <cstring>

#include "NeloRec.h"

namespace nelo::rec {

int32_t EndNoticeCode(CaptureEnd end) {
    switch (end) {
    case CaptureEnd::Cancel: return REC_END_CANCEL;
    case CaptureEnd::Stop: return REC_END_STOP;
    case CaptureEnd::NoVoice: return REC_END_NOVOICE;
    case CaptureEnd::Silence: return REC_END_SILENCE;
    case CaptureEnd::None: break;
    }
    return 0;
}

CaptureCore::CaptureCore(AutoCorrMethod method)
    : m_detector(method),
      m_window(new int16_t[kWindowStorage]()),
      m_preVoice(new int16_t[kPreVoiceCapacity]()) {}

void CaptureCore::StartRecording() {
    m_detector.Reset();
    m_nVoiceBytes = m_nSilentRun = m_nNoVoiceRun = 0;
    m_bRecording = m_bVoice = m_bCancel = m_bStop = 0;
    m_nPreVoiceSamples = m_nSettleBytes = m_bStartNotified = 0;
    // The voice store keeps its capacity from one recording to the next:
    // growing it afresh every time costs page faults on every 60 ms buffer.
    m_voice.clear();
    if (m_voice.capacity() < kVoiceReserve) m_voice.reserve(kVoiceReserve);
    m_prevFrame.assign(kBufferSamples, 0);
}

void CaptureCore::DeviceOpened() {
    m_nSilentRun = 0;
    m_nVoiceBytes = 0;
    m_bVoice = 0;
    m_nPreVoiceSamples = 0;
    m_bRecording = 1;
    m_prevFrame.assign(kBufferSamples, 0);
}

void CaptureCore::End(CaptureEnd end, BufferOutcome& out) {
    m_bCancel = 1;
    m_bRecording = 0;
    m_bVoice = 0;
    out.end = end;
}

// 32 x (120 - tail / 2): keeps about 120 ms after the speech and drops the
// silence that ended it. Done in 64 bits and saturated, so absurd settings
// cannot overflow; the result is bounded again when handed to the file.
void CaptureCore::AddLengthAdjustment(int32_t nTailSilenceTime) {
    const int64_t adjusted = int64_t{m_nVoiceBytes} + 32 * (120 - int64_t{nTailSilenceTime / 2});
    m_nVoiceBytes = static_cast<int32_t>(std::clamp<int64_t>(adjusted, INT32_MIN, INT32_MAX));
}

void CaptureCore::StorePreVoice(const uint8_t* data, int32_t nBytes) {
    std::memcpy(reinterpret_cast<uint8_t*>(m_preVoice.get() + m_nPreVoiceSamples), data, nBytes);
    m_nPreVoiceSamples += nBytes / 2;
    // Shifting by halves instead of wrapping keeps the newest samples contiguous.
    if (m_nPreVoiceSamples >= kPreVoiceShiftAt) {
        std::memmove(m_preVoice.get(), m_preVoice.get() + kPreVoiceShift,
                     (kPreVoiceCapacity - kPreVoiceShift) * sizeof(int16_t));
        m_nPreVoiceSamples -= kPreVoiceShift;
    }
}

BufferOutcome CaptureCore::OnBuffer(const uint8_t* buffer, int32_t nBytes, const RecordSettings& s) {
    BufferOutcome out;
    nBytes = std::clamp<int32_t>(nBytes, 0, kBufferBytes);
    if (m_prevFrame.size() != kBufferSamples) return out;  // no recording prepared

    // Cancel; after any end the latch makes returned buffers no-ops.
    if (m_bCancel == 1) {
        if (m_bRecording == 0) return out;
        End(CaptureEnd::Cancel, out);
        return out;
    }
    if (m_bStop != 0) {
        if (m_bRecording != 1) return out;
        End(CaptureEnd::Stop, out);
        return out;
    }
    if (m_nSettleBytes < kSettleBytes) {
        m_nSettleBytes += nBytes;
        out.bRequeue = m_bRecording == 1;
        return out;
    }
    if (m_bStartNotified == 0) {
        out.bReportCapturing = true;
        m_bStartNotified = 1;
    }
    if (int64_t{m_nVoiceBytes} >= int64_t{s.nMaxRecordTime} * 32) {
        if (m_bRecording != 1) return out;
        AddLengthAdjustment(s.nTailSilenceTime);
        End(CaptureEnd::Stop, out);
        return out;
    }

    int16_t current[kBufferSamples];
    std::memcpy(current, buffer, kBufferBytes);
    BuildAnalysisWindow(m_prevFrame.data(), current, m_window.get());

    if (m_bVoice == 0) {
        if (m_detector.OnsetRun(m_window.get()) >= kMinOnsetRun) {
            m_bVoice = 1;
            out.bReportVoice = true;
        } else {
            ++m_nNoVoiceRun;
        }
        if (m_nNoVoiceRun > s.nNoVoiceTime / 60) {
            m_nVoiceBytes = 0;
            End(CaptureEnd::NoVoice, out);
            // Processing goes on: the buffer is still stored, not re-queued.
        }
    } else {
        if (m_detector.SilentFrames(m_window.get()) >= kMinSilentFrames)
            ++m_nSilentRun;
        else
            m_nSilentRun = 0;
    }

    if (s.bAutoStopEN != 0 && m_nSilentRun >= s.nTailSilenceTime / 60) {
        if (m_bRecording != 1) return out;
        AddLengthAdjustment(s.nTailSilenceTime);
        End(CaptureEnd::Silence, out);
        return out;
    }

    if (m_bVoice == 1) {
        m_voice.insert(m_voice.end(), buffer, buffer + nBytes);
        m_nVoiceBytes += nBytes;
    } else {
        StorePreVoice(buffer, nBytes);
    }
    std::memcpy(m_prevFrame.data(), buffer, kBufferBytes);
    out.bRequeue = m_bRecording == 1;
    return out;
}

const int16_t* CaptureCore::PreVoiceForFile() const {
    return m_preVoice.get() + (m_nPreVoiceSamples - PreVoiceSamplesForFile());
}

int32_t CaptureCore::PreVoiceSamplesForFile() const {
    return std::min(m_nPreVoiceSamples, kPreVoiceInFile);
}

int32_t CaptureCore::VoiceBytesForFile() const {
    return std::clamp<int32_t>(m_nVoiceBytes, 0, VoiceBytesHeld());
}

void CaptureCore::ReleaseRecordingBuffers() {
    m_voice.clear();
    m_prevFrame.clear();
}

}  // namespace nelo::rec
