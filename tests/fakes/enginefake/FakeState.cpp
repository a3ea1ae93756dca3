#include "FakeState.h"

#include <cstdio>
#include <cstring>
#include <deque>

#include "FakeConfigText.h"

namespace fakeps {
namespace {

struct Ticket {
    bool released = false;
    int answer = -1;  // < 0: the configured answer
};

struct State {
    State() {
        InitializeCriticalSection(&lock);
        InitializeConditionVariable(&changed);
    }
    CRITICAL_SECTION lock;
    CONDITION_VARIABLE changed;  // calls recorded, holds entered or released
    Answers answers;
    std::vector<FAKEPSCALL> calls;
    bool hold[kFnCount] = {};
    std::deque<Ticket*> held[kFnCount];
    int nextSession = 1;
    int inside = 0;
    std::string lastData = "none";
    std::string appliedConfig;
};

State& S() {
    static State* state = new State();  // never destroyed: score threads may outlive static teardown
    return *state;
}

class Locked {
public:
    Locked() { EnterCriticalSection(&S().lock); }
    ~Locked() { LeaveCriticalSection(&S().lock); }
};

std::string Hex(const void* data, uint32_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(size * 2);
    const auto* p = static_cast<const unsigned char*>(data);
    for (uint32_t i = 0; i < size; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

// NELO_FAKEPS_CONFIG as a path this process can open (a Linux path under Wine is mapped).
std::wstring ConfigPath() {
    wchar_t value[1024];
    DWORD n = GetEnvironmentVariableW(L"NELO_FAKEPS_CONFIG", value, 1024);
    if (n == 0 || n >= 1024) return std::wstring();
    if (value[0] != L'/') return value;
    using ToDos = WCHAR*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) return value;
    char unixPath[1024];
    WideCharToMultiByte(CP_UTF8, 0, value, -1, unixPath, sizeof unixPath, nullptr, nullptr);
    WCHAR* dos = toDos(unixPath);
    if (!dos) return value;
    std::wstring out(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    text.clear();
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(file);
    return true;
}

// Scripts rewrite the file between calls; a changed content replaces the answers whole.
void ApplyConfigFileIfChanged() {
    static const std::wstring path = ConfigPath();
    if (path.empty()) return;
    std::string text;
    if (!ReadWholeFile(path, text)) text.clear();
    Locked guard;
    if (text == S().appliedConfig) return;
    S().appliedConfig = text;
    S().answers = Answers();
    ApplyConfigText(text, S().answers);
}

void CopyText(char* dst, size_t dstSize, const char* src) {
    std::snprintf(dst, dstSize, "%s", src);
}

bool Lookup(const char* function, Fn& fn) { return FnFromName(function, fn); }

// Waits on the condition until pred holds or the time is up; the lock is held throughout.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!pred()) {
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        SleepConditionVariableCS(&S().changed, &S().lock, static_cast<DWORD>(deadline - now));
    }
    return true;
}

}  // namespace

CallScope::CallScope(Fn fn, int session, std::initializer_list<int64_t> args, const void* pointer, const void* data,
                     uint32_t dataSize, const char* text) {
    ApplyConfigFileIfChanged();
    FAKEPSCALL call = {};
    CopyText(call.szFunction, sizeof call.szFunction, FnName(fn));
    call.nThreadId = GetCurrentThreadId();
    call.nSession = session;
    int i = 0;
    for (int64_t a : args) {
        if (i < 4) call.args[i++] = a;
    }
    call.bPointerGiven = pointer != nullptr;
    call.nDataSize = data ? dataSize : 0;
    if (data) std::memcpy(call.data, data, dataSize < sizeof call.data ? dataSize : sizeof call.data);
    call.nTextLength = text ? static_cast<int>(std::strlen(text)) : -1;
    if (text) CopyText(call.szText, sizeof call.szText, text);

    Locked guard;
    S().calls.push_back(call);
    ++S().inside;
    if (fn == kLoadNet || fn == kSoundByPoint || fn == kSetECode)
        S().lastData = std::string(FnName(fn)) + " " + (data ? Hex(data, dataSize) : std::string("null"));
    else if (fn == kSoundByName)
        S().lastData = std::string(FnName(fn)) + " " + (text ? text : "null");
    WakeAllConditionVariable(&S().changed);

    int releasedAnswer = -1;
    if (S().hold[fn]) {
        Ticket ticket;
        S().held[fn].push_back(&ticket);
        WakeAllConditionVariable(&S().changed);
        while (!ticket.released) SleepConditionVariableCS(&S().changed, &S().lock, INFINITE);
        releasedAnswer = ticket.answer;
    }
    m_answer = S().answers.fn[fn];
    if (releasedAnswer >= 0) m_answer.value = releasedAnswer;
    if (m_answer.text == kLastDataText) m_answer.text = S().lastData;
    if (fn == kGetPhoneticItem) m_codes = S().answers.codes;
}

CallScope::~CallScope() {
    Locked guard;
    --S().inside;
    WakeAllConditionVariable(&S().changed);
}

int CallScope::NextSession() {
    Locked guard;
    return S().nextSession++;
}

void ResetAll() {
    Locked guard;
    S().answers = Answers();
    S().calls.clear();
    S().nextSession = 1;
    S().lastData = "none";
    for (int f = 0; f < kFnCount; ++f) {
        S().hold[f] = false;
        for (Ticket* t : S().held[f]) t->released = true;
        S().held[f].clear();
    }
    WakeAllConditionVariable(&S().changed);
}

bool SetResult(const char* function, int64_t value) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    S().answers.fn[fn].value = value;
    S().answers.fn[fn].valueSet = true;
    return true;
}

bool SetSecondResult(const char* function, int value) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    S().answers.fn[fn].second = value;
    return true;
}

bool SetText(const char* function, const char* text) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    S().answers.fn[fn].text = text ? text : "";
    return true;
}

void SetCodes(const uint32_t* codes, int count) {
    Locked guard;
    S().answers.codes.assign(codes, codes + (codes && count > 0 ? count : 0));
}

bool SetPair(const char* function, int first, int second) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    S().answers.fn[fn].pairFirst = first;
    S().answers.fn[fn].pairSecond = second;
    return true;
}

bool Hold(const char* function) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    S().hold[fn] = true;
    return true;
}

int HeldCount(const char* function) {
    Fn fn;
    if (!Lookup(function, fn)) return 0;
    Locked guard;
    return static_cast<int>(S().held[fn].size());
}

bool WaitHeld(const char* function, int n, DWORD timeoutMs) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    return WaitUntil([&] { return static_cast<int>(S().held[fn].size()) >= n; }, timeoutMs);
}

bool ReleaseOne(const char* function, int answer) {
    Fn fn;
    if (!Lookup(function, fn)) return false;
    Locked guard;
    if (S().held[fn].empty()) return false;
    Ticket* t = S().held[fn].front();
    S().held[fn].pop_front();
    t->answer = answer;
    t->released = true;
    WakeAllConditionVariable(&S().changed);
    return true;
}

void Release(const char* function) {
    Fn fn;
    if (!Lookup(function, fn)) return;
    Locked guard;
    S().hold[fn] = false;
    for (Ticket* t : S().held[fn]) t->released = true;
    S().held[fn].clear();
    WakeAllConditionVariable(&S().changed);
}

int CallCount() {
    Locked guard;
    return static_cast<int>(S().calls.size());
}

bool GetCall(int index, FAKEPSCALL* out) {
    Locked guard;
    if (!out || index < 0 || index >= static_cast<int>(S().calls.size())) return false;
    *out = S().calls[index];
    return true;
}

int CountCalls(const char* function) {
    Locked guard;
    int n = 0;
    for (const FAKEPSCALL& c : S().calls) n += function && std::strcmp(c.szFunction, function) == 0;
    return n;
}

bool WaitCalls(const char* function, int n, DWORD timeoutMs) {
    Locked guard;
    return WaitUntil(
        [&] {
            int count = 0;
            for (const FAKEPSCALL& c : S().calls) count += function && std::strcmp(c.szFunction, function) == 0;
            return count >= n;
        },
        timeoutMs);
}

int InsideCount() {
    Locked guard;
    return S().inside;
}

}  // namespace fakeps
