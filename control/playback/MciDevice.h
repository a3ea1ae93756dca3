// Thin wrappers over mciSendCommandW for the one device type the control plays with
// ("mpegvideo", opened on a file). Every command but MCI_PLAY waits for completion; MCI
// error codes are reported as failure only, never logged or handed to scripts.
#pragma once
#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "PlayerRules.h"

// An open MCI device, closed when the owner lets it go without handing it on.
class CMciDevice {
public:
    CMciDevice() = default;
    CMciDevice(const CMciDevice&) = delete;
    CMciDevice& operator=(const CMciDevice&) = delete;
    CMciDevice(CMciDevice&& other) noexcept : m_id(other.m_id) { other.m_id = 0; }
    CMciDevice& operator=(CMciDevice&& other) noexcept;
    ~CMciDevice() { Close(); }

    // Opens `path` as an "mpegvideo" device; an empty device when MCI refuses (missing
    // file, a format no decoder reads).
    static CMciDevice OpenFile(const std::wstring& path);

    explicit operator bool() const { return m_id != 0; }
    MCIDEVICEID Get() const { return m_id; }
    // Hands the device to an owner that closes it itself (the player record).
    MCIDEVICEID Release() {
        const MCIDEVICEID id = m_id;
        m_id = 0;
        return id;
    }
    // Closes now; true when there was nothing to close or MCI closed it.
    bool Close();

private:
    MCIDEVICEID m_id = 0;
};

// Commands on a device the player holds. True when MCI answered 0.
bool MciCloseDevice(MCIDEVICEID id);
bool MciStopDevice(MCIDEVICEID id);
bool MciPauseDevice(MCIDEVICEID id);
bool MciResumeDevice(MCIDEVICEID id);
// From the current position, returning at once.
bool MciPlayDevice(MCIDEVICEID id);
// A range, returning at once.
bool MciPlayDeviceRange(MCIDEVICEID id, const MciPlayRequest& request);
bool MciSeekDevice(MCIDEVICEID id, const MciSeekRequest& request);
// The value of one MCI_STATUS item; 0 when the query fails.
DWORD_PTR MciStatusValue(MCIDEVICEID id, DWORD mciItem);
