#include "MciDevice.h"

namespace {

bool SendWait(MCIDEVICEID id, UINT command) {
    MCI_GENERIC_PARMS generic = {};
    return mciSendCommandW(id, command, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&generic)) == 0;
}

}  // namespace

CMciDevice& CMciDevice::operator=(CMciDevice&& other) noexcept {
    if (this != &other) {
        Close();
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

CMciDevice CMciDevice::OpenFile(const std::wstring& path) {
    CMciDevice device;
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = L"mpegvideo";
    open.lpstrElementName = path.c_str();
    if (mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT,
                        reinterpret_cast<DWORD_PTR>(&open)) == 0)
        device.m_id = open.wDeviceID;
    return device;
}

bool CMciDevice::Close() {
    if (m_id == 0) return true;
    const bool closed = MciCloseDevice(m_id);
    m_id = 0;  // a device MCI will not close is beyond our reach either way
    return closed;
}

bool MciCloseDevice(MCIDEVICEID id) { return SendWait(id, MCI_CLOSE); }
bool MciStopDevice(MCIDEVICEID id) { return SendWait(id, MCI_STOP); }
bool MciPauseDevice(MCIDEVICEID id) { return SendWait(id, MCI_PAUSE); }
bool MciResumeDevice(MCIDEVICEID id) { return SendWait(id, MCI_RESUME); }

bool MciPlayDevice(MCIDEVICEID id) {
    MCI_PLAY_PARMS play = {};
    return mciSendCommandW(id, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&play)) == 0;
}

bool MciPlayDeviceRange(MCIDEVICEID id, const MciPlayRequest& request) {
    MCI_PLAY_PARMS play = {};
    play.dwFrom = request.from;
    play.dwTo = request.to;
    return mciSendCommandW(id, MCI_PLAY, request.flags, reinterpret_cast<DWORD_PTR>(&play)) == 0;
}

bool MciSeekDevice(MCIDEVICEID id, const MciSeekRequest& request) {
    MCI_SEEK_PARMS seek = {};
    seek.dwTo = request.to;
    return mciSendCommandW(id, MCI_SEEK, request.flags, reinterpret_cast<DWORD_PTR>(&seek)) == 0;
}

DWORD_PTR MciStatusValue(MCIDEVICEID id, DWORD mciItem) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = mciItem;
    status.dwReturn = 0;
    if (mciSendCommandW(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)) != 0)
        return 0;
    return status.dwReturn;
}
