// The fake engine's shared state: answers, call log, holds and the configuration file,
// behind one lock, since engine calls come from the test's thread and score threads at once.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FakeAnswers.h"
#include "FakePs.h"

namespace fakeps {

// A call about to be answered: recorded on construction, its answers snapshotted (after any
// hold was released), counted as inside the engine until destroyed.
class CallScope {
public:
    CallScope(Fn fn, int session, std::initializer_list<int64_t> args, const void* pointer,
              const void* data = nullptr, uint32_t dataSize = 0, const char* text = nullptr);
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

    const FnAnswer& Answer() const { return m_answer; }
    const std::vector<uint32_t>& Codes() const { return m_codes; }
    // The text answer with "@lastdata" resolved.
    const std::string& Text() const { return m_answer.text; }
    // PsStartSession without a set answer: the next handle.
    int NextSession();

private:
    FnAnswer m_answer;
    std::vector<uint32_t> m_codes;
};

// Entry points of the FakePs_* exports.
void ResetAll();
bool SetResult(const char* function, int64_t value);
bool SetSecondResult(const char* function, int value);
bool SetText(const char* function, const char* text);
void SetCodes(const uint32_t* codes, int count);
bool SetPair(const char* function, int first, int second);
bool Hold(const char* function);
int HeldCount(const char* function);
bool WaitHeld(const char* function, int n, DWORD timeoutMs);
bool ReleaseOne(const char* function, int answer);
void Release(const char* function);
int CallCount();
bool GetCall(int index, FAKEPSCALL* out);
int CountCalls(const char* function);
bool WaitCalls(const char* function, int n, DWORD timeoutMs);
int InsideCount();

}  // namespace fakeps
