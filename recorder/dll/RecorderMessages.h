// The worker's thread messages. Their values are posted across threads (and
// were fixed long ago), so they are part of the interface.
#pragma once
#include <windows.h>
#include <mmsystem.h>

namespace nelo::rec {

constexpr UINT WM_REC_START = WM_USER + 1;
constexpr UINT WM_REC_SETFILE = WM_USER + 2;
constexpr UINT WM_REC_SETNOTIFY = WM_USER + 3;
constexpr UINT WM_REC_CANCEL = WM_USER + 4;
constexpr UINT WM_REC_SAVE = WM_USER + 5;
constexpr UINT WM_REC_STOP = WM_USER + 6;
constexpr UINT WM_PLAY_SETFILE = WM_USER + 11;
constexpr UINT WM_PLAY_SETNOTIFY = WM_USER + 12;
constexpr UINT WM_PLAY_START = WM_USER + 13;
constexpr UINT WM_PLAY_CANCEL = WM_USER + 14;
constexpr UINT WM_RECORDER_QUIT = WM_USER + 20;

static_assert(WM_REC_START == 1025 && WM_REC_SETFILE == 1026 && WM_REC_SETNOTIFY == 1027 &&
              WM_REC_CANCEL == 1028 && WM_REC_SAVE == 1029 && WM_REC_STOP == 1030);
static_assert(WM_PLAY_SETFILE == 1035 && WM_PLAY_SETNOTIFY == 1036 && WM_PLAY_START == 1037 &&
              WM_PLAY_CANCEL == 1038 && WM_RECORDER_QUIT == 1044);
static_assert(MM_WIM_OPEN == 0x3BE && MM_WIM_CLOSE == 0x3BF && MM_WIM_DATA == 0x3C0);

// Exit code of the worker's thread when the library asks it to quit.
constexpr DWORD kWorkerExitCode = 100;

}  // namespace nelo::rec
