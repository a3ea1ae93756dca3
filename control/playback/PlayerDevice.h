// The player record's device and poll timer, shared by the open, play and notify code.
#pragma once
#include <windows.h>

#include <string>

#include "ControlTypes.h"

// Opens `path` as the player's sound, closing the earlier sound's device first, so no device
// is ever left open without the player knowing it; after a failed open no sound is open.
// A new sound gets a new serial number.
bool MciOpen(tagMCIPLAYER& player, const std::wstring& path);

// Plays the open sound from its position, or a range, and starts the poll timer.
bool MciPlay(tagMCIPLAYER& player);
bool MciPlayFromTo(tagMCIPLAYER& player, ULONG nFrom, ULONG nTo);

// Status item of a script (length, position, mode); 0 with no sound or a failed query.
ULONG MciGetStatus(const tagMCIPLAYER& player, LONG nItem);
bool MciSeek(const tagMCIPLAYER& player, ULONG nValue);

// Starts (or restarts) the 100 ms poll timer on the control's window. Without a window
// playback still runs, but no play-end notice follows.
void StartPlayTimer(tagMCIPLAYER& player);
void StopPlayTimer(tagMCIPLAYER& player);

// Posts the play-end notice of the open sound to the control's window.
void PostPlayNotice(const tagMCIPLAYER& player, DWORD code);

// Closes the device and stops polling it; true when there was none or MCI closed it. A
// device MCI refuses to close stays in the player, still polled, as it is still playing.
bool ClosePlayerDevice(tagMCIPLAYER& player);

// The poll timer's procedure; the timer's identifier is the player record itself.
void CALLBACK PlayTimerProc(HWND hwnd, UINT message, UINT_PTR idEvent, DWORD time);
