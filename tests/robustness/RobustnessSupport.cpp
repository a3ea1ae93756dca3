#include "RobustnessSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "MessageBox.h"
#include "NeloRecognitionApp.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"

namespace robust {
namespace {

CRITICAL_SECTION g_lock;
std::vector<std::wstring> g_controlBoxes;
std::vector<std::wstring> g_workerBoxes;
HANDLE g_stop = nullptr;
HANDLE g_dismisser = nullptr;
HANDLE g_watchdog = nullptr;
volatile LONG g_callSerial = 0;      // bumps at every guarded call's start and end
volatile LONG g_callLimitMs = 0;
std::string g_callDescription;       // read by the watchdog under g_lock

int RecordControlBox(const std::wstring& text, UINT) {
    EnterCriticalSection(&g_lock);
    g_controlBoxes.push_back(text);
    LeaveCriticalSection(&g_lock);
    return IDOK;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
    wchar_t cls[32] = {}, text[512] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0 && GetWindowTextW(child, text, 512) > 0)
        *reinterpret_cast<std::wstring*>(param) += text;
    return TRUE;
}

// The recorder's worker shows its failures in a box titled "NeloRec" and waits
// for it; a hostile call must not leave the recorder stuck behind one, so
// boxes are read and dismissed here, and counted.
BOOL CALLBACK DismissWorkerBox(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    wchar_t cls[32] = {}, title[64] = {};
    GetClassNameW(hwnd, cls, 32);
    GetWindowTextW(hwnd, title, 64);
    if (lstrcmpW(cls, L"#32770") != 0 || lstrcmpW(title, L"NeloRec") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    std::wstring text;
    EnumChildWindows(hwnd, CollectText, reinterpret_cast<LPARAM>(&text));
    if (text.empty()) return TRUE;
    EnterCriticalSection(&g_lock);
    g_workerBoxes.push_back(text);
    LeaveCriticalSection(&g_lock);
    PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return TRUE;
}

DWORD WINAPI DismisserMain(void*) {
    while (WaitForSingleObject(g_stop, 100) == WAIT_TIMEOUT) EnumWindows(DismissWorkerBox, 0);
    return 0;
}

DWORD WINAPI WatchdogMain(void*) {
    LONG seen = -1;
    ULONGLONG since = GetTickCount64();
    while (WaitForSingleObject(g_stop, 200) == WAIT_TIMEOUT) {
        const LONG serial = g_callSerial;
        if (serial != seen || (serial & 1) == 0) {
            seen = serial;
            since = GetTickCount64();
            continue;
        }
        if (GetTickCount64() - since > static_cast<ULONGLONG>(g_callLimitMs)) {
            EnterCriticalSection(&g_lock);
            std::fprintf(stderr, "\nHANG: no return within %ld ms from %s\n", static_cast<long>(g_callLimitMs),
                         g_callDescription.c_str());
            std::fflush(stderr);
            LeaveCriticalSection(&g_lock);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
    return 0;
}

std::wstring MakeTempRoot() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    std::wstring root = std::wstring(base) + L"nelo-robust-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(root.c_str(), nullptr);
    return root;
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(child);
            else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(path.c_str());
}

class RobustEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        InitializeCriticalSection(&g_lock);
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        SetEnvironmentVariableW(L"TMP", TempRoot().c_str());
        SetEnvironmentVariableW(L"TEMP", TempRoot().c_str());
        theApp.InitInstance(GetModuleHandleW(nullptr));
        nelo::SetMessageBoxHandler(&RecordControlBox);
        g_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        g_dismisser = CreateThread(nullptr, 0, DismisserMain, nullptr, 0, nullptr);
        g_watchdog = CreateThread(nullptr, 0, WatchdogMain, nullptr, 0, nullptr);
    }
    void TearDown() override {
        SetEvent(g_stop);
        for (HANDLE h : {g_dismisser, g_watchdog}) {
            WaitForSingleObject(h, 10000);
            CloseHandle(h);
        }
        CloseHandle(g_stop);
        nelo::SetMessageBoxHandler(nullptr);
        RemoveTree(TempRoot().substr(0, TempRoot().size() - 1));
        OleUninitialize();
    }
};

::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new RobustEnvironment);

bool IsBuildOutput(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring ext = name.substr(dot);
    return _wcsicmp(ext.c_str(), L".exe") == 0 || _wcsicmp(ext.c_str(), L".dll") == 0 ||
           _wcsicmp(ext.c_str(), L".tmp") == 0;
}

bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

}  // namespace

const std::wstring& TempRoot() {
    static const std::wstring root = MakeTempRoot();
    return root;
}
std::wstring WorkDir() { return TempRoot() + L"NeloRecognition"; }
std::wstring RecordTempDir() { return GetRecordTempDir(WorkDir()); }
std::wstring ModuleDir() { return theApp.m_strModuleDir; }

std::vector<std::wstring> ControlBoxes() {
    EnterCriticalSection(&g_lock);
    std::vector<std::wstring> out = g_controlBoxes;
    LeaveCriticalSection(&g_lock);
    return out;
}

std::vector<std::wstring> WorkerBoxes() {
    EnterCriticalSection(&g_lock);
    std::vector<std::wstring> out = g_workerBoxes;
    LeaveCriticalSection(&g_lock);
    return out;
}

void Guarded(const std::string& description, const std::function<void()>& what, DWORD limitMs) {
    EnterCriticalSection(&g_lock);
    g_callDescription = description;
    LeaveCriticalSection(&g_lock);
    g_callLimitMs = static_cast<LONG>(limitMs);
    InterlockedIncrement(&g_callSerial);  // odd: inside a call
    what();
    InterlockedIncrement(&g_callSerial);
}

std::string FlushedLog() {
    LogInfo(L"robustness: log flushed");
    HANDLE h = CreateFileW(GetLogPath(WorkDir()).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(h);
    return text;
}

OutsideGuard::OutsideGuard() {
    // Where "..", absolute and device-style names would land: beside and above
    // the record-temp folder, and beside the resources folder.
    m_watched = {TempRoot().substr(0, TempRoot().size() - 1), WorkDir(), ModuleDir().substr(0, ModuleDir().size() - 1)};
    const wchar_t* names[] = {L"x", L"robust.wav", L"robust-sentinel.txt", L"a.wav"};
    for (const std::wstring& folder : m_watched) {
        for (const wchar_t* name : names) {
            const std::wstring path = folder + L"\\" + name;
            HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) continue;
            DWORD n = 0;
            WriteFile(h, "sentinel", 8, &n, nullptr);
            CloseHandle(h);
            m_sentinels.push_back(path);
        }
    }
    m_before = Snapshot();
    // The module's folder also holds build output that may change while a
    // developer builds; it is judged by its sentinels and snapshot only.
    for (const std::wstring& folder : {m_watched[0], m_watched[1]}) {
        HANDLE n = FindFirstChangeNotificationW(folder.c_str(), FALSE,
                                                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
        if (n != INVALID_HANDLE_VALUE) m_notifications.push_back(n);
    }
}

OutsideGuard::~OutsideGuard() {
    for (HANDLE n : m_notifications) FindCloseChangeNotification(n);
    for (const std::wstring& path : m_sentinels) DeleteFileW(path.c_str());
}

std::vector<OutsideGuard::Entry> OutsideGuard::Snapshot() const {
    std::vector<Entry> out;
    for (const std::wstring& folder : m_watched) {
        WIN32_FIND_DATAW fd;
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            const bool isDir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            // The log grows and the record-temp folder fills by design; folders'
            // own times move with their content.
            if (path == GetLogPath(WorkDir())) continue;
            if (folder == m_watched[2] && IsBuildOutput(name)) continue;
            const ULONGLONG size = isDir ? 0 : (static_cast<ULONGLONG>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
            out.push_back({path, size, isDir ? FILETIME{} : fd.ftLastWriteTime});
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    return out;
}

std::vector<std::string> OutsideGuard::Check() {
    std::vector<std::string> problems;
    const std::vector<Entry> now = Snapshot();
    for (const Entry& b : m_before) {
        auto it = std::find_if(now.begin(), now.end(), [&](const Entry& e) { return e.path == b.path; });
        if (it == now.end()) problems.push_back("removed: " + Narrow(b.path));
        else if (it->size != b.size || !SameTime(it->written, b.written)) problems.push_back("changed: " + Narrow(b.path));
    }
    for (const Entry& e : now) {
        if (std::none_of(m_before.begin(), m_before.end(), [&](const Entry& b) { return e.path == b.path; }))
            problems.push_back("created: " + Narrow(e.path));
    }
    // A file made and removed again between two checks shows only here.
    for (size_t i = 0; i < m_notifications.size(); ++i) {
        if (WaitForSingleObject(m_notifications[i], 0) == WAIT_OBJECT_0) {
            if (problems.empty()) problems.push_back("entries came and went in " + Narrow(m_watched[i]));
            FindNextChangeNotification(m_notifications[i]);
        }
    }
    m_before = now;
    return problems;
}

void WriteToneWav(const std::wstring& path, DWORD milliseconds) {
    const DWORD samples = milliseconds * 16;
    std::vector<short> pcm(samples);
    for (DWORD i = 0; i < samples; ++i) pcm[i] = static_cast<short>(6000 * std::sin(i * 0.07));
    const DWORD dataBytes = samples * 2;
    struct Header {
        char riff[4]; DWORD chunk; char wave[4]; char fmt[4]; DWORD fmtSize; WORD format, channels;
        DWORD rate, byteRate; WORD align, bits; char data[4]; DWORD dataSize;
    } h = {{'R', 'I', 'F', 'F'}, 36 + dataBytes, {'W', 'A', 'V', 'E'}, {'f', 'm', 't', ' '}, 16, 1, 1,
           16000, 32000, 2, 16, {'d', 'a', 't', 'a'}, dataBytes};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    WriteFile(f, &h, sizeof h, &n, nullptr);
    WriteFile(f, pcm.data(), dataBytes, &n, nullptr);
    CloseHandle(f);
}

std::string Narrow(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

}  // namespace robust
