// What a recorder notice means to the control (pure, so tests drive it with exact codes).
#pragma once
#include <windows.h>
#include <string>

const WPARAM REC_NOTICE_CLASS_RECORD = 17;

const DWORD RECORD_STATE_CAPTURING = 1;
const DWORD RECORD_STATE_VOICE = 2;
const DWORD RECORD_STATE_END_SILENCE = 4;
const DWORD RECORD_STATE_CANCELLED = 5;
const DWORD RECORD_STATE_NO_VOICE = 6;
const DWORD RECORD_STATE_STOPPED = 7;

struct RecordNoticeDecision {
    enum Action { Ignore, Queue, LogOnly } action;
    DWORD state;              // Queue: the state to queue and fire
    const wchar_t* logText;   // LogOnly: the error line
};

// noticeClass/code are the wParam/lParam of WM_RECORD_NOTIFY.
RecordNoticeDecision DecideRecordNotice(WPARAM noticeClass, LPARAM code);
