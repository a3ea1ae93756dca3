#include "message_pump.h"

void PumpPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // WM_QUIT has no window to go to; put it back for whoever owns the loop.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

EWaitResult PumpingWait(HANDLE handle, DWORD ms, HANDLE stopEvent) {
    HANDLE handles[2];
    DWORD count = 0;
    handles[count++] = stopEvent;
    if (handle) handles[count++] = handle;

    const ULONGLONG start = GetTickCount64();
    for (;;) {
        DWORD remaining = INFINITE;
        if (ms != INFINITE) {
            ULONGLONG elapsed = GetTickCount64() - start;
            if (elapsed >= ms) remaining = 0;
            else remaining = static_cast<DWORD>(ms - elapsed);
        }
        // MWMO_INPUTAVAILABLE: also wake for messages that were already in
        // the queue before the call, not only for new ones.
        DWORD r = MsgWaitForMultipleObjectsEx(count, handles, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0) return EWaitResult::Stopped;
        if (handle && r == WAIT_OBJECT_0 + 1) return EWaitResult::Signaled;
        if (r == WAIT_OBJECT_0 + count) {
            PumpPendingMessages();
            // A handler run by the pump may have asked to stop.
            if (WaitForSingleObject(stopEvent, 0) == WAIT_OBJECT_0) return EWaitResult::Stopped;
            // A steady stream of messages must not stretch the wait.
            if (remaining == 0) return EWaitResult::TimedOut;
            continue;
        }
        if (r == WAIT_TIMEOUT) return EWaitResult::TimedOut;
        return EWaitResult::Stopped;  // WAIT_FAILED: nothing sensible to wait on
    }
}
