// Posts a recorder notice straight to the control's window, as RecordNotifyProc would,
// so scripts can try notices the recorder never sends.
// Usage: NeloPostRecordNotice.exe <class> <code>   (numbers in decimal or 0x hex)
// Exit codes: 0 posted, 1 no control window found, 2 usage, 3 the post failed.
#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {
const wchar_t kControlNotifyClass[] = L"NeloRecognitionCtrlNotify";  // the control's message-only window
const UINT kRecordNotify = WM_USER + 101;                            // WM_RECORD_NOTIFY

bool ParseNumber(const wchar_t* text, unsigned long& value) {
    wchar_t* end = nullptr;
    value = wcstoul(text, &end, 0);
    return end != text && *end == L'\0';
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    unsigned long noticeClass = 0, code = 0;
    if (argc != 3 || !ParseNumber(argv[1], noticeClass) || !ParseNumber(argv[2], code)) {
        fwprintf(stderr, L"usage: NeloPostRecordNotice <class> <code>\n");
        return 2;
    }
    const HWND target = FindWindowExW(HWND_MESSAGE, nullptr, kControlNotifyClass, nullptr);
    if (!target) return 1;
    return PostMessageW(target, kRecordNotify, static_cast<WPARAM>(noticeClass),
                        static_cast<LPARAM>(static_cast<DWORD>(code)))
               ? 0
               : 3;
}
