#include "WorkerMessageBox.h"

#include <windows.h>

namespace nelo::rec {

void ShowWorkerMessageBox(const wchar_t* text) {
    // Also to the debugger, so a box on an unattended machine leaves a trace.
    OutputDebugStringW(text);
    MessageBoxW(nullptr, text, kWorkerMessageBoxTitle, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace nelo::rec
