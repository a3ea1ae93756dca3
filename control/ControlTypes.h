// Records the control keeps in its lists and its player.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <mmsystem.h>

class CNeloRecognitionCtrl;

// Private messages from worker threads and the play timer to the control's window.
const UINT WM_RECORD_NOTIFY = WM_USER + 101;  // 1125
const UINT WM_PLAY_NOTIFY = WM_USER + 102;    // 1126
const UINT WM_SCORE_NOTIFY = WM_USER + 103;   // 1127

// Event DISPIDs of _DNeloRecognitionEvents.
const DISPID DISPID_EVENT_RECORD_NOTIFY = 1;
const DISPID DISPID_EVENT_SCORE_NOTIFY = 2;
const DISPID DISPID_EVENT_PLAY_NOTIFY = 3;

struct tagSCORESTATE {
    LONG nSession;
    LONG nState;
};

struct tagMEMORYBLOCK {
    BYTE* pBuf;   // array new; freed with array delete
    ULONG nSize;
};

struct tagMCIPLAYER {
    CNeloRecognitionCtrl* pWnd;  // the control whose window owns the poll timer and gets WM_PLAY_NOTIFY
    MCIDEVICEID wDeviceID;       // 0: no device open
    UINT_PTR nTimerID;           // 0: no poll timer
    UINT nNotifyMsg;             // WM_PLAY_NOTIFY
    DWORD nSoundSerial;          // serial of the latest sound opened (0: none yet); play-end notices carry it
};
