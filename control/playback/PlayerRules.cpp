#include "PlayerRules.h"

bool MciStatusItemFor(LONG nItem, DWORD& mciItem) {
    switch (nItem) {
        case PLAY_ITEM_LENGTH: mciItem = MCI_STATUS_LENGTH; return true;
        case PLAY_ITEM_POSITION: mciItem = MCI_STATUS_POSITION; return true;
        case PLAY_ITEM_MODE: mciItem = MCI_STATUS_MODE; return true;
        default: return false;
    }
}

ULONG PlayModeFromMci(DWORD_PTR mciMode) {
    switch (mciMode) {
        case MCI_MODE_STOP: return PLAY_MODE_STOPPED;
        case MCI_MODE_PLAY: return PLAY_MODE_PLAYING;
        case MCI_MODE_PAUSE: return PLAY_MODE_PAUSED;
        case MCI_MODE_SEEK: return PLAY_MODE_SEEKING;
        default: return PLAY_MODE_OTHER;  // not ready, recording, open, or a failed query
    }
}

MciPlayRequest PlayRangeRequest(ULONG nFrom, ULONG nTo) {
    MciPlayRequest request = {MCI_FROM, nFrom, 0};
    if (nTo != PLAY_POSITION_END) {
        request.flags |= MCI_TO;
        request.to = nTo;
    }
    return request;
}

MciSeekRequest SeekRequestFor(ULONG nValue) {
    if (nValue == 0) return {MCI_SEEK_TO_START | MCI_WAIT, 0};
    if (nValue == PLAY_POSITION_END) return {MCI_SEEK_TO_END | MCI_WAIT, 0};
    return {MCI_TO | MCI_WAIT, nValue};
}

DWORD NextSoundSerial(DWORD current) {
    const DWORD next = current + 1;
    return next == 0 ? 1 : next;
}

bool IsNoticeOfSound(WPARAM noticeSerial, DWORD soundSerial) {
    return soundSerial != 0 && noticeSerial == static_cast<WPARAM>(soundSerial);
}
