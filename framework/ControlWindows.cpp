// The control's two windows: the message-only notification window and the in-place view.
#include <string>
#include <vector>

#include "ControlBase.h"
#include "CriticalSection.h"

namespace nelo {
namespace {

CriticalSection& ClassLock() {
    static CriticalSection lock;
    return lock;
}

std::vector<std::wstring>& RegisteredClasses() {
    static std::vector<std::wstring> names;
    return names;
}

ControlBase* ControlOf(HWND hwnd) {
    return reinterpret_cast<ControlBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace

bool EnsureControlWindowClass(const std::wstring& name, WNDPROC proc) {
    LockGuard guard(ClassLock());
    for (auto& n : RegisteredClasses())
        if (n == name) return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleInstance();
    wc.lpszClassName = name.c_str();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    RegisteredClasses().push_back(name);
    return true;
}

void UnregisterControlWindowClasses() {
    LockGuard guard(ClassLock());
    for (auto& n : RegisteredClasses()) UnregisterClassW(n.c_str(), GetModuleInstance());
    RegisteredClasses().clear();
}

LRESULT CALLBACK ControlNotifyWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ControlBase* control = ControlOf(hwnd);
    // Until the control has recorded its handle (creation messages) and once it has let go
    // of it (destruction), the control is not asked.
    if (!control || control->m_hwndNotify != hwnd) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return control->WindowProc(msg, wParam, lParam);
}

LRESULT CALLBACK ControlViewWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    ControlBase* control = ControlOf(hwnd);
    if (msg == WM_PAINT && control && control->m_hwndView == hwnd) {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        control->OnDraw(hdc, client);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void ControlBase::CreateNotifyWindow() {
    if (!EnsureControlWindowClass(m_desc.windowClassName, ControlNotifyWndProc)) return;
    HWND hwnd = CreateWindowExW(0, m_desc.windowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                GetModuleInstance(), this);
    m_hwndNotify = hwnd;
}

LRESULT ControlBase::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(m_hwndNotify, message, wParam, lParam);
}

void ControlBase::DestroyControlWindows() {
    if (m_hwndView) {
        InPlaceDeactivate();
        if (m_hwndView) {
            HWND view = m_hwndView;
            m_hwndView = nullptr;
            DestroyWindow(view);
        }
    }
    if (m_hwndNotify) {
        HWND hwnd = m_hwndNotify;
        m_hwndNotify = nullptr;  // from here on the window procedure no longer calls the control
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

}  // namespace nelo
