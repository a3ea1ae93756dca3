// Finds the recorder worker's message box (a top-level dialog of this process
// titled "NeloRec", see recorder/dll/WorkerMessageBox.h), reads its text and
// dismisses it, so tests see the box without anyone clicking.
#pragma once
#include <windows.h>

#include <string>

namespace nelo::rec::test {

struct FoundBox {
    HWND hwnd = nullptr;
    std::wstring text;
};

inline BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    wchar_t cls[32] = {};
    GetClassNameW(child, cls, 32);
    if (lstrcmpiW(cls, L"Static") == 0) {
        wchar_t text[512] = {};
        GetWindowTextW(child, text, 512);
        if (text[0]) *reinterpret_cast<std::wstring*>(param) += text;
    }
    return TRUE;
}

inline BOOL CALLBACK FindWorkerBox(HWND hwnd, LPARAM param) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    wchar_t cls[32] = {}, title[64] = {};
    GetClassNameW(hwnd, cls, 32);
    GetWindowTextW(hwnd, title, 64);
    if (lstrcmpW(cls, L"#32770") != 0 || lstrcmpW(title, L"NeloRec") != 0) return TRUE;
    auto* found = reinterpret_cast<FoundBox*>(param);
    found->hwnd = hwnd;
    EnumChildWindows(hwnd, CollectStaticText, reinterpret_cast<LPARAM>(&found->text));
    return FALSE;
}

// Polls for the box until the limit; returns it (hwnd null if none came).
inline FoundBox WaitForWorkerMessageBox(DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        FoundBox found;
        EnumWindows(FindWorkerBox, reinterpret_cast<LPARAM>(&found));
        if (found.hwnd && !found.text.empty()) return found;
        if (GetTickCount() - start >= limitMs) return {};
        Sleep(50);
    }
}

inline void DismissWorkerMessageBox(const FoundBox& box) {
    PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace nelo::rec::test
