// Script methods that play, pause, resume, stop, close, query and seek the open sound, and
// the four that open and play in one call.
#include "MciDevice.h"
#include "NeloRecognitionCtrl.h"
#include "PlayerDevice.h"
#include "PlayerRules.h"
#include "log/Log.h"

LONG CNeloRecognitionCtrl::OcxPlaySound() {
    // A fresh start forgets earlier stops and keeps the sound open after its end; both
    // hold even when the play then fails.
    m_listPlayState.RemoveAll();
    m_bAutoClose = FALSE;
    if (!MciPlay(m_objPlayer)) {
        LogError(L"OcxPlaySound Play Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxPlaySoundEx(ULONG nFrom, ULONG nTo) {
    m_listPlayState.RemoveAll();
    m_bAutoClose = FALSE;
    if (!MciPlayFromTo(m_objPlayer, nFrom, nTo)) {
        LogError(L"OcxPlaySound PlayEx Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxStopSound() {
    if (m_objPlayer.wDeviceID == 0 || !MciStopDevice(m_objPlayer.wDeviceID)) {
        LogError(L"OcxPlaySound Stop Failed!");
        return 0;
    }
    MciSeek(m_objPlayer, 0);  // back to the start; a device that cannot seek stays where it stopped
    StopPlayTimer(m_objPlayer);
    // The script learns of every stop the same way, playing or not.
    PostPlayNotice(m_objPlayer, PLAY_STATE_STOPPED);
    return 1;
}

LONG CNeloRecognitionCtrl::OcxCloseSound() {
    if (m_objPlayer.wDeviceID == 0 || !ClosePlayerDevice(m_objPlayer)) {
        LogError(L"OcxPlaySound Close Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxPauseSound() {
    if (m_objPlayer.wDeviceID == 0 || !MciPauseDevice(m_objPlayer.wDeviceID)) {
        LogError(L"OcxPlaySound Pause Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxResumeSound() {
    if (m_objPlayer.wDeviceID == 0 || !MciResumeDevice(m_objPlayer.wDeviceID)) {
        LogError(L"OcxPlaySound Resume Failed!");
        return 0;
    }
    return 1;
}

ULONG CNeloRecognitionCtrl::OcxGetPlayStatus(LONG nItem) { return MciGetStatus(m_objPlayer, nItem); }

LONG CNeloRecognitionCtrl::OcxSetPlayStatus(LONG nItem, ULONG nValue) {
    if (m_objPlayer.wDeviceID == 0 || nItem != PLAY_ITEM_POSITION || !MciSeek(m_objPlayer, nValue)) {
        LogError(L"OcxPlaySound SetStatus Failed!");
        return 0;
    }
    return 1;
}

LONG CNeloRecognitionCtrl::OcxPlaySoundByFile(LONG nDirType, BSTR strFileName) {
    if (OcxOpenSoundByFile(nDirType, strFileName) != 0) return 1;
    m_bAutoClose = TRUE;
    if (!MciPlay(m_objPlayer)) {
        LogError(L"OcxPlaySoundByFile Play Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxPlaySoundByBuf(const VARIANT& vData) {
    if (OcxOpenSoundByBuf(vData) != 0) return 1;
    m_bAutoClose = TRUE;
    if (!MciPlay(m_objPlayer)) {
        LogError(L"OcxPlaySoundByBuf Play Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxPlaySoundByStr(BSTR strData) {
    if (OcxOpenSoundByStr(strData) != 0) return 1;
    m_bAutoClose = TRUE;
    if (!MciPlay(m_objPlayer)) {
        LogError(L"OcxPlaySoundByStr Play Failed!");
        return 1;
    }
    return 0;
}

LONG CNeloRecognitionCtrl::OcxPlaySoundByMBBuf(LONG _nhandle, LONG _nState) {
    if (OcxOpenSoundByMBBuf(_nhandle, _nState) != 1) {
        LogError(L"OcxPlaySoundByMBBuf: _nhandle or _nState is incorrect!");
        return 0;
    }
    m_bAutoClose = TRUE;
    if (!MciPlay(m_objPlayer)) {
        LogError(L"OcxPlaySoundByMBBuf: _nhandle or _nState is incorrect!");
        return 0;
    }
    return 1;
}

void CNeloRecognitionCtrl::OnPlayNotify(WPARAM wParam, LPARAM lParam) {
    // A notice posted for a sound that has since been replaced by a newer open is dropped:
    // that open emptied the queue of the earlier sound's states, and the notice must not be
    // taken for the new sound's end, let alone close it.
    if (!IsNoticeOfSound(wParam, m_objPlayer.nSoundSerial)) return;
    const DWORD code = static_cast<DWORD>(lParam);
    m_listPlayState.AddHead(code);  // queued before the event: the handler can read it
    FireEvent(DISPID_EVENT_PLAY_NOTIFY, {nelo::Variant::FromUI4(0), nelo::Variant::FromI4(static_cast<LONG>(code))});
    // The handler may have opened, played or closed a sound meanwhile: decide only now, and
    // only for the sound this notice belongs to.
    if (code == PLAY_STATE_STOPPED && m_bAutoClose && m_objPlayer.wDeviceID != 0 &&
        IsNoticeOfSound(wParam, m_objPlayer.nSoundSerial))
        ClosePlayerDevice(m_objPlayer);
}
