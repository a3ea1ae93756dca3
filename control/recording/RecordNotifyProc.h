// The notification function handed to the recorder with every record request.
#pragma once
#include <windows.h>

#include "NeloRec.h"

// On the recorder's worker thread: pUser is the job's ticket (RecordJobTable.h). Posts
// WM_RECORD_NOTIFY (wParam = class, lParam = code) to the job's window, so the control
// handles every notice in order on its own thread. Returns 0.
int32_t PSREC_API RecordNotifyProc(void* pUser, int32_t nClass, int32_t nCode);
