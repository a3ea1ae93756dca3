// The player's decisions that need no device: how status items and modes translate between
// scripts and MCI, which flags a range play and a seek send, and which play-end notice still
// belongs to the sound that is open. Pure, so tests drive it with exact data.
#pragma once
#include <windows.h>
#include <mmsystem.h>

// Status items of OcxGetPlayStatus / OcxSetPlayStatus.
const LONG PLAY_ITEM_LENGTH = 0;
const LONG PLAY_ITEM_POSITION = 1;
const LONG PLAY_ITEM_MODE = 2;

// Values scripts see for PLAY_ITEM_MODE.
const ULONG PLAY_MODE_OTHER = 0;
const ULONG PLAY_MODE_STOPPED = 1;
const ULONG PLAY_MODE_PLAYING = 2;
const ULONG PLAY_MODE_PAUSED = 3;
const ULONG PLAY_MODE_SEEKING = 4;

// The one play-state code: playback stopped (its end, or OcxStopSound).
const DWORD PLAY_STATE_STOPPED = 1;

// "Play to the end" for OcxPlaySoundEx's nTo; "seek to the end" for OcxSetPlayStatus.
const ULONG PLAY_POSITION_END = 0xFFFFFFFF;

// The poll timer's period.
const UINT PLAY_POLL_MS = 100;

// The MCI_STATUS item for a script's status item; false for items that have none.
bool MciStatusItemFor(LONG nItem, DWORD& mciItem);

// A script's mode value for an MCI mode.
ULONG PlayModeFromMci(DWORD_PTR mciMode);

// The flags and block of an MCI_PLAY over a range: MCI_FROM always (also for 0), MCI_TO
// unless nTo is PLAY_POSITION_END.
struct MciPlayRequest {
    DWORD flags;
    DWORD from;
    DWORD to;
};
MciPlayRequest PlayRangeRequest(ULONG nFrom, ULONG nTo);

// The flags and target of an MCI_SEEK for a script's position: 0 is the start,
// PLAY_POSITION_END the end, anything else that position. Always waits.
struct MciSeekRequest {
    DWORD flags;
    DWORD to;  // used only with MCI_TO
};
MciSeekRequest SeekRequestFor(ULONG nValue);

// Every opened sound gets the next serial number; 0 is never one, so a notice without a
// serial can never be taken for the open sound's.
DWORD NextSoundSerial(DWORD current);

// A play-end notice carries the serial of the sound it was posted for (its wParam). It
// still concerns the player only while that sound is the latest one opened.
bool IsNoticeOfSound(WPARAM noticeSerial, DWORD soundSerial);
