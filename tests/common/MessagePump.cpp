#include "MessagePump.h"

namespace testpump {

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD limitMs) {
    const ULONGLONG deadline = GetTickCount64() + limitMs;
    for (;;) {
        PumpPending();
        if (cond()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return cond();
        const ULONGLONG wait = deadline - now < 20 ? deadline - now : 20;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
    }
}

}  // namespace testpump
