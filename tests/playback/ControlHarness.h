// A real control object inside a test executable: a private temporary folder (so the
// working and record-temp folders are the test's own), COM on this thread, the module's
// application object, a log reader and a message pump for timers and posted notices.
#pragma once
#include <windows.h>

#include "MessagePump.h"

#include <functional>
#include <string>
#include <vector>

#include "NeloRecognitionCtrl.h"

namespace pbtest {

// Registered once per test executable (see ControlHarness.cpp).
class ControlEnvironment;

// Owns one control for a test's lifetime.
class ControlHolder {
public:
    ControlHolder();
    ~ControlHolder();
    ControlHolder(const ControlHolder&) = delete;
    ControlHolder& operator=(const ControlHolder&) = delete;
    CNeloRecognitionCtrl* operator->() const { return m_p; }
    CNeloRecognitionCtrl& operator*() const { return *m_p; }

private:
    CNeloRecognitionCtrl* m_p;
};

// The record-temp folder of the controls (valid while one lives).
std::wstring RecordTempDir();
// Full path of a name in the record-temp folder.
std::wstring InRecordTemp(const std::wstring& name);
// Names of the files in the record-temp folder.
std::vector<std::wstring> RecordTempFiles();

bool FileExists(const std::wstring& path);
long long FileSize(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes);

// A 16 kHz mono 16-bit WAV of a tone lasting `ms`, as the recorder writes recordings.
bool WriteToneWav(const std::wstring& path, int ms);
std::vector<BYTE> ReadBytes(const std::wstring& path);

// What the log gained since construction (the pending error lines are flushed first).
class LogWatch {
public:
    LogWatch();
    std::string NewText() const;
    bool Saw(const std::string& text) const { return NewText().find(text) != std::string::npos; }

private:
    long long m_start;
};

// Dispatches this thread's messages (timers, posted notices) for `ms` milliseconds.
void PumpFor(DWORD ms);
// Message pumping while waiting (tests/common/MessagePump.h).
using testpump::PumpPending;
using testpump::PumpUntil;

// A script array variable as script engines pass it: VT_BYREF|VT_VARIANT to an array.
class ScriptBytes {
public:
    explicit ScriptBytes(const std::vector<BYTE>& bytes);
    ~ScriptBytes();
    ScriptBytes(const ScriptBytes&) = delete;
    ScriptBytes& operator=(const ScriptBytes&) = delete;
    const VARIANT& Arg() const { return m_byRef; }

private:
    VARIANT m_array;
    VARIANT m_byRef;
};

}  // namespace pbtest
