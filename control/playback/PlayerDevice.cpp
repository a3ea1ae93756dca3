#include "PlayerDevice.h"

#include "MciDevice.h"
#include "NeloRecognitionCtrl.h"
#include "PlayerRules.h"

namespace {

HWND PlayerWindow(const tagMCIPLAYER& player) { return player.pWnd ? player.pWnd->NotifyWindow() : nullptr; }

}  // namespace

bool MciOpen(tagMCIPLAYER& player, const std::wstring& path) {
    // One sound at a time: the earlier device goes first, or nobody would ever close it.
    // (First, not after the new open: the platform may refuse a second device on the
    // same file.) A device MCI will not close is out of reach either way; forget it.
    if (!ClosePlayerDevice(player)) {
        StopPlayTimer(player);
        player.wDeviceID = 0;
    }
    CMciDevice device = CMciDevice::OpenFile(path);
    if (!device) return false;
    player.wDeviceID = device.Release();
    player.nSoundSerial = NextSoundSerial(player.nSoundSerial);
    return true;
}

bool MciPlay(tagMCIPLAYER& player) {
    if (player.wDeviceID == 0 || !MciPlayDevice(player.wDeviceID)) return false;
    StartPlayTimer(player);
    return true;
}

bool MciPlayFromTo(tagMCIPLAYER& player, ULONG nFrom, ULONG nTo) {
    if (player.wDeviceID == 0 || !MciPlayDeviceRange(player.wDeviceID, PlayRangeRequest(nFrom, nTo))) return false;
    StartPlayTimer(player);
    return true;
}

ULONG MciGetStatus(const tagMCIPLAYER& player, LONG nItem) {
    DWORD mciItem = 0;
    if (player.wDeviceID == 0 || !MciStatusItemFor(nItem, mciItem)) return 0;
    const DWORD_PTR value = MciStatusValue(player.wDeviceID, mciItem);
    return nItem == PLAY_ITEM_MODE ? PlayModeFromMci(value) : static_cast<ULONG>(value);
}

bool MciSeek(const tagMCIPLAYER& player, ULONG nValue) {
    return player.wDeviceID != 0 && MciSeekDevice(player.wDeviceID, SeekRequestFor(nValue));
}

void StartPlayTimer(tagMCIPLAYER& player) {
    HWND window = PlayerWindow(player);
    if (!window) return;
    // Same window and identifier: a running timer is replaced, never doubled.
    player.nTimerID = SetTimer(window, reinterpret_cast<UINT_PTR>(&player), PLAY_POLL_MS, PlayTimerProc);
}

void StopPlayTimer(tagMCIPLAYER& player) {
    if (player.nTimerID == 0) return;
    HWND window = PlayerWindow(player);
    if (window) KillTimer(window, player.nTimerID);
    player.nTimerID = 0;
}

void PostPlayNotice(const tagMCIPLAYER& player, DWORD code) {
    HWND window = PlayerWindow(player);
    // The serial ties the notice to this sound; see OnPlayNotify.
    if (window) PostMessageW(window, player.nNotifyMsg, static_cast<WPARAM>(player.nSoundSerial), code);
}

bool ClosePlayerDevice(tagMCIPLAYER& player) {
    if (player.wDeviceID == 0) return true;
    if (!MciCloseDevice(player.wDeviceID)) return false;
    player.wDeviceID = 0;
    // A timer left running could see the next sound's device stopped before it is even
    // played and report an end that never happened.
    StopPlayTimer(player);
    return true;
}

void CALLBACK PlayTimerProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
    tagMCIPLAYER& player = *reinterpret_cast<tagMCIPLAYER*>(idEvent);
    if (player.wDeviceID == 0) {
        StopPlayTimer(player);
        return;
    }
    // Paused and seeking keep the timer going; only a stop ends the sound.
    if (MciStatusValue(player.wDeviceID, MCI_STATUS_MODE) != MCI_MODE_STOP) return;
    StopPlayTimer(player);
    PostPlayNotice(player, PLAY_STATE_STOPPED);
}
