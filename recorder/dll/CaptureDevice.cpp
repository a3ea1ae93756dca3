#include "CaptureDevice.h"

#include "../core/VoiceDetector.h"

namespace nelo::rec {

std::unique_ptr<CaptureDevice> CaptureDevice::Open(DWORD threadId, MMRESULT* pError) {
    std::unique_ptr<CaptureDevice> device(new CaptureDevice(threadId));
    device->m_buffers.reset(new uint8_t[2 * kBufferBytes]());

    WAVEFORMATEX wfx = {};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 1;
    wfx.nSamplesPerSec = 16000;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 2;
    wfx.nAvgBytesPerSec = 32000;
    wfx.cbSize = 0;

    const MMRESULT result = waveInOpen(&device->m_hWaveIn, WAVE_MAPPER, &wfx, threadId, 0, CALLBACK_THREAD);
    if (pError) *pError = result;
    if (result != MMSYSERR_NOERROR) {
        device->m_hWaveIn = nullptr;
        return nullptr;
    }
    for (int i = 0; i < 2; ++i) {
        WAVEHDR& h = device->m_header[i];
        h = WAVEHDR{};
        h.lpData = reinterpret_cast<LPSTR>(device->m_buffers.get() + i * kBufferBytes);
        h.dwBufferLength = kBufferBytes;
        h.dwLoops = 1;
        device->m_bPrepared[i] =
            waveInPrepareHeader(device->m_hWaveIn, &h, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
    }
    return device;
}

void CaptureDevice::Start() {
    for (WAVEHDR& h : m_header) waveInAddBuffer(m_hWaveIn, &h, sizeof(WAVEHDR));
    waveInStart(m_hWaveIn);
}

bool CaptureDevice::OwnsHeader(const WAVEHDR* header) const {
    return header == &m_header[0] || header == &m_header[1];
}

bool CaptureDevice::Requeue(WAVEHDR* header) {
    return waveInAddBuffer(m_hWaveIn, header, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

void CaptureDevice::Close() {
    if (!m_hWaveIn) return;
    waveInStop(m_hWaveIn);
    waveInReset(m_hWaveIn);  // returns both buffers to us
    for (int i = 0; i < 2; ++i) {
        if (m_bPrepared[i]) waveInUnprepareHeader(m_hWaveIn, &m_header[i], sizeof(WAVEHDR));
        m_bPrepared[i] = false;
    }
    if (waveInClose(m_hWaveIn) != MMSYSERR_NOERROR) {
        // The driver still holds the buffers: better a small leak than memory
        // it may write into after we free it.
        m_bLeakBuffers = true;
    } else {
        DrainLateMessages();
    }
    m_hWaveIn = nullptr;
}

// The device posts MM_WIM_DATA for the buffers that the reset returned and
// MM_WIM_CLOSE at the end. Taking them out now (only the wave-in range, so
// every other request keeps its place in the queue) means the headers can be
// freed at once and a later device with a recycled handle never sees them.
void CaptureDevice::DrainLateMessages() {
    const HWAVEIN closed = m_hWaveIn;
    const DWORD deadline = GetTickCount() + 3000;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, MM_WIM_OPEN, MM_WIM_DATA, PM_REMOVE)) {
            if (msg.message == MM_WIM_CLOSE && reinterpret_cast<HWAVEIN>(msg.wParam) == closed) return;
        }
        const DWORD now = GetTickCount();
        if (static_cast<LONG>(deadline - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - now, QS_POSTMESSAGE);
    }
}

CaptureDevice::~CaptureDevice() {
    Close();
    if (m_bLeakBuffers) (void)m_buffers.release();
}

}  // namespace nelo::rec
