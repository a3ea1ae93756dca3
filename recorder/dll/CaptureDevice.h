// One open wave-in device with its two capture buffers, for one recording.
// Owns the handle, the headers and the buffers; closing unprepares the
// headers, closes the device and takes the device's late messages out of the
// worker's queue, so that no stale buffer of this device reaches a later
// recording and no buffer is freed while the driver may still use it.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <memory>

namespace nelo::rec {

class CaptureDevice {
public:
    // Opens WAVE_MAPPER at 16 kHz mono 16-bit with CALLBACK_THREAD to
    // `threadId`. Returns null (and the result in *pError) when the device
    // does not open; the buffers are then already freed.
    static std::unique_ptr<CaptureDevice> Open(DWORD threadId, MMRESULT* pError);
    ~CaptureDevice();

    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    // Queues both buffers and starts capture.
    void Start();
    // True when a MM_WIM_* message with these parameters is about this device.
    bool IsMine(HWAVEIN hWaveIn) const { return hWaveIn == m_hWaveIn; }
    bool OwnsHeader(const WAVEHDR* header) const;
    bool Requeue(WAVEHDR* header);
    // Stops and closes the device (idempotent).
    void Close();

private:
    explicit CaptureDevice(DWORD threadId) : m_threadId(threadId) {}
    void DrainLateMessages();

    DWORD m_threadId;
    HWAVEIN m_hWaveIn = nullptr;
    bool m_bPrepared[2] = {false, false};
    WAVEHDR m_header[2] = {};
    std::unique_ptr<uint8_t[]> m_buffers;
    bool m_bLeakBuffers = false;  // set when the driver would not close
};

}  // namespace nelo::rec
