// The worker's MCI playback: plays one file, polls position, length and mode
// every 80 ms for PS_PlayGetTimePos, follows the pause and cancel flags that
// other threads set, and sends PLAY_END when done. The worker serves no other
// message while a file plays.
#include <windows.h>
#include <mmsystem.h>

#include "rtvad.h"

namespace nelo::rec {
namespace {

constexpr DWORD kPollPeriodMs = 80;

// Closes the MCI device on every way out of the loop.
class MciDevice {
public:
    explicit MciDevice(MCIDEVICEID id) : m_id(id) {}
    ~MciDevice() { Close(); }
    MciDevice(const MciDevice&) = delete;
    MciDevice& operator=(const MciDevice&) = delete;
    MCIDEVICEID Id() const { return m_id; }
    void Close() {
        if (!m_id) return;
        MCI_GENERIC_PARMS close = {};
        mciSendCommandW(m_id, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
        m_id = 0;
    }

private:
    MCIDEVICEID m_id;
};

DWORD_PTR QueryStatus(MCIDEVICEID id, DWORD item) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = item;
    mciSendCommandW(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status));
    return status.dwReturn;
}

void SendSimple(MCIDEVICEID id, UINT command) {
    MCI_GENERIC_PARMS parms = {};
    mciSendCommandW(id, command, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&parms));
}

}  // namespace

void rtvad::OnPlayFile(WPARAM, LPARAM) {
    m_bPlaying = 1;
    m_bPaused = 0;
    m_bPlayCancel = 0;
    m_bPauseRequest = 0;

    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = m_szPlayFile;
    if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&open)) != 0) {
        m_bPlaying = 0;
        NotifyPlay(PLAY_END);
        return;
    }
    MciDevice device(open.wDeviceID);
    m_nMciDevice = device.Id();

    MCI_SET_PARMS set = {};
    set.dwTimeFormat = MCI_FORMAT_MILLISECONDS;
    mciSendCommandW(device.Id(), MCI_SET, MCI_SET_TIME_FORMAT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&set));
    MCI_PLAY_PARMS play = {};
    mciSendCommandW(device.Id(), MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));

    auto poll = [&] {
        m_nPlayPos = static_cast<int32_t>(QueryStatus(device.Id(), MCI_STATUS_POSITION));
        m_nPlayLength = static_cast<int32_t>(QueryStatus(device.Id(), MCI_STATUS_LENGTH));
        return QueryStatus(device.Id(), MCI_STATUS_MODE);
    };
    Sleep(kPollPeriodMs);
    // A paused device reports the paused mode, so pausing keeps the loop alive;
    // a failing mode query reads 0 and the loop then waits for a cancel.
    for (DWORD_PTR mode = poll(); mode != MCI_MODE_STOP && m_bPlayCancel.load() == 0; mode = poll()) {
        if (m_bPaused != 0 && m_bPauseRequest.load() == 0) {
            SendSimple(device.Id(), MCI_RESUME);
            m_bPaused = 0;
        }
        if (m_bPaused == 0 && m_bPauseRequest.load() != 0) {
            SendSimple(device.Id(), MCI_PAUSE);
            m_bPaused = 1;
        }
        Sleep(kPollPeriodMs);
    }

    device.Close();
    m_nMciDevice = 0;
    m_bPlaying = 0;
    NotifyPlay(PLAY_END);
}

}  // namespace nelo::rec
