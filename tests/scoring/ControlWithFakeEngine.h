// A real control driven on the test's thread against the engine test double: creation and
// destruction, message pumping until a condition holds, the score events it fires, and the
// log lines it wrote (read once the last control is gone and the log is closed).
#pragma once
#include <windows.h>

#include "MessagePump.h"
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

#include "FakePs.h"
#include "NeloRecognitionCtrl.h"

struct ScoreEvent {
    ULONG wParam;
    LONG lParam;
    LONG stateReadInHandler;  // OcxGetScoreState(wParam) called from inside the handler, when asked
};

// Receives the control's events; optionally reads the score state from inside the handler.
class EventRecorder;

class ControlWithFakeEngine {
public:
    ControlWithFakeEngine();
    ~ControlWithFakeEngine();
    ControlWithFakeEngine(const ControlWithFakeEngine&) = delete;
    ControlWithFakeEngine& operator=(const ControlWithFakeEngine&) = delete;

    CNeloRecognitionCtrl& Ctrl() { return *m_pCtrl; }
    const std::vector<ScoreEvent>& ScoreEvents() const;
    void ReadStateInHandler(bool on);

    // Releases the control now (a held job may still run).
    void Destroy();
    bool Alive() const { return m_pCtrl != nullptr; }

private:
    CNeloRecognitionCtrl* m_pCtrl = nullptr;
    EventRecorder* m_pSink = nullptr;
    IConnectionPoint* m_pPoint = nullptr;
    DWORD m_dwCookie = 0;
};

// Message pumping while waiting (tests/common/MessagePump.h).
using testpump::PumpPending;
using testpump::PumpUntil;

// The log file's size now, and the text appended after `offset` (UTF-8 bytes as they are).
size_t LogSize();
std::string LogSince(size_t offset);
// Whether `text` holds the (ERROR) line `line` (matched as a whole line ending).
bool HasLogLine(const std::string& text, const std::string& line);

// The fake's call log.
std::vector<FAKEPSCALL> Calls();
std::vector<FAKEPSCALL> CallsOf(const char* function);

// A VARIANT as VBScript passes an array variable: VT_BYREF|VT_VARIANT pointing at a
// VT_ARRAY|VT_VARIANT of VT_I4 elements. Owns its array.
class ScriptArrayArg {
public:
    explicit ScriptArrayArg(const std::vector<LONG>& values);
    ~ScriptArrayArg();
    ScriptArrayArg(const ScriptArrayArg&) = delete;
    ScriptArrayArg& operator=(const ScriptArrayArg&) = delete;
    const VARIANT& Arg() const { return m_byRef; }

private:
    VARIANT m_array;
    VARIANT m_byRef;
};

// The test process plays the module: the application object, COM on this thread.
void InitControlModuleForTests();
