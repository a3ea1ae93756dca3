#include "NoticeWindow.h"

#include "ControlTypes.h"

namespace {
const wchar_t kClassName[] = L"NeloRecordingTestNotices";
}

CNoticeWindow::CNoticeWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &CNoticeWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);  // fails harmlessly once registered
    m_hwnd = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CNoticeWindow::~CNoticeWindow() { Destroy(); }

void CNoticeWindow::Destroy() {
    if (!m_hwnd) return;
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
}

LRESULT CALLBACK CNoticeWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RECORD_NOTIFY) {
        auto* self = reinterpret_cast<CNoticeWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) self->m_received.push_back({wParam, lParam});
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool CNoticeWindow::WaitFor(size_t count, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (m_received.size() < count) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (m_received.size() >= count) break;
        if (GetTickCount64() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

void CNoticeWindow::Drain(DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
