// A message-only window that collects the WM_RECORD_NOTIFY posts a record job makes,
// as the control's window would receive them.
#pragma once
#include <windows.h>

#include <vector>

struct PostedNotice {
    WPARAM noticeClass;
    LPARAM code;
    bool operator==(const PostedNotice& o) const { return noticeClass == o.noticeClass && code == o.code; }
};

class CNoticeWindow {
public:
    CNoticeWindow();
    ~CNoticeWindow();
    CNoticeWindow(const CNoticeWindow&) = delete;
    CNoticeWindow& operator=(const CNoticeWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    void Destroy();
    // Pumps this thread's messages until `count` notices have arrived or limitMs pass.
    bool WaitFor(size_t count, DWORD limitMs);
    // Pumps for a while so that anything already posted is delivered.
    void Drain(DWORD ms);

    std::vector<PostedNotice> m_received;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = nullptr;
};
