// Failures inside the worker are shown to the user as message boxes on the
// worker's thread; the worker waits until the box is dismissed.
//
// Tests (and anyone diagnosing the library) find such a box as a top-level
// dialog window (class "#32770") of the process whose title is
// kWorkerMessageBoxTitle; its static child holds the text, and posting
// WM_COMMAND IDOK to it dismisses it. tests/recorder/MessageBoxWatcher.h does
// exactly that.
#pragma once

namespace nelo::rec {

inline constexpr wchar_t kWorkerMessageBoxTitle[] = L"NeloRec";

void ShowWorkerMessageBox(const wchar_t* text);

}  // namespace nelo::rec
