// What the robustness runs share: the process set-up (COM, a private temporary
// folder, the module's application object, message boxes caught), a watchdog
// that names a call that hangs, the recorder's message boxes dismissed as they
// come, and the guard that proves nothing outside the two folders is touched.
#pragma once
#include <windows.h>

#include "MessagePump.h"
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

namespace robust {

// The private temporary folder (trailing backslash) and the control's folders.
const std::wstring& TempRoot();
std::wstring WorkDir();
std::wstring RecordTempDir();
std::wstring ModuleDir();  // trailing backslash

// Message boxes the control showed (through its handler) and the recorder's
// worker boxes that were dismissed, since the process started.
std::vector<std::wstring> ControlBoxes();
std::vector<std::wstring> WorkerBoxes();

// Runs `what` under the watchdog: a call that takes longer than the limit ends
// the process with the description, so a hang shows which call it was.
void Guarded(const std::string& description, const std::function<void()>& what, DWORD limitMs = 60000);

// Message pumping while waiting (tests/common/MessagePump.h).
using testpump::PumpPending;
using testpump::PumpUntil;

// The log's bytes written so far (flushed first, with an INFO line).
std::string FlushedLog();

// Sentinel files outside the two folders (next to them, above them, next to
// the module) and a snapshot of those parent folders, with change
// notifications on them: Check() reports anything that changed.
class OutsideGuard {
public:
    OutsideGuard();
    ~OutsideGuard();
    OutsideGuard(const OutsideGuard&) = delete;
    OutsideGuard& operator=(const OutsideGuard&) = delete;

    const std::vector<std::wstring>& SentinelPaths() const { return m_sentinels; }
    // Empty when nothing outside the folders changed; otherwise what did.
    std::vector<std::string> Check();

private:
    struct Entry { std::wstring path; ULONGLONG size; FILETIME written; };
    std::vector<Entry> Snapshot() const;

    std::vector<std::wstring> m_sentinels;
    std::vector<std::wstring> m_watched;   // folders whose own entries must not change
    std::vector<HANDLE> m_notifications;
    std::vector<Entry> m_before;
};

// A short 16 kHz mono 16-bit WAV file (a tone) of the given length.
void WriteToneWav(const std::wstring& path, DWORD milliseconds);

std::string Narrow(const std::wstring& text);

}  // namespace robust
