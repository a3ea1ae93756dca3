// Waiting on the script's thread without freezing it: every wait pumps the
// thread's messages, so the control's posted notifications are handled and
// its events reach the script while the script sleeps.
#pragma once

#include <windows.h>

enum class EWaitResult { Signaled, Stopped, TimedOut };

// Waits for `handle` (may be null: just pass time) for up to `ms`
// milliseconds (INFINITE allowed), or until `stopEvent` is set.
EWaitResult PumpingWait(HANDLE handle, DWORD ms, HANDLE stopEvent);

// Dispatches whatever is queued now, without waiting.
void PumpPendingMessages();
