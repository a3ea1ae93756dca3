// Test and demo helper: posts one notification message to every live control's
// message-only window, found by its window class, as a worker thread of the control
// would. Scripts start it through the host (host.Run) to cause an event end to end.
//
//   NeloPostNotify.exe <message> <wParam> <lParam>     e.g. 1125 17 1
// Exit code: 0 when at least one window received the post, 1 when none was found, 2 usage.
#include <windows.h>

#include <cwchar>
#include <cstdio>
#include <cstdlib>

namespace {
const wchar_t kNotifyWindowClass[] = L"NeloRecognitionCtrlNotify";

bool ParseNumber(const wchar_t* text, long long& value) {
    wchar_t* end = nullptr;
    value = wcstoll(text, &end, 0);
    return end && end != text && *end == L'\0';
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    long long message = 0, wParam = 0, lParam = 0;
    if (argc != 4 || !ParseNumber(argv[1], message) || !ParseNumber(argv[2], wParam) ||
        !ParseNumber(argv[3], lParam) || message < WM_USER || message > 0x7FFF) {
        fwprintf(stderr, L"usage: NeloPostNotify <message WM_USER..0x7FFF> <wParam> <lParam>\n");
        return 2;
    }
    int posted = 0;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(HWND_MESSAGE, hwnd, kNotifyWindowClass, nullptr)) != nullptr) {
        if (PostMessageW(hwnd, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                         static_cast<LPARAM>(lParam)))
            ++posted;
    }
    wprintf(L"posted to %d control window(s)\n", posted);
    return posted > 0 ? 0 : 1;
}
