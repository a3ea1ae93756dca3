// Message pumping for tests that wait on a control's posted notifications:
// the control's thread must keep dispatching while a test waits.
#pragma once
#include <windows.h>

#include <functional>

namespace testpump {

// Dispatches every message already queued for this thread.
void PumpPending();

// Pumps until cond() holds or limitMs pass; true when cond() held.
bool PumpUntil(const std::function<bool()>& cond, DWORD limitMs = 20000);

}  // namespace testpump
