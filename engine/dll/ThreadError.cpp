#include "ThreadError.h"

#include <windows.h>

namespace nelo {
namespace {

// Two slots of plain integers: nothing is allocated per thread, so nothing
// leaks when score threads come and go.
DWORD g_sessionSlot = TLS_OUT_OF_INDEXES;
DWORD g_codeSlot = TLS_OUT_OF_INDEXES;

}  // namespace

bool ThreadErrorInit() {
    g_sessionSlot = TlsAlloc();
    g_codeSlot = TlsAlloc();
    return g_sessionSlot != TLS_OUT_OF_INDEXES && g_codeSlot != TLS_OUT_OF_INDEXES;
}

void ThreadErrorFree() {
    if (g_sessionSlot != TLS_OUT_OF_INDEXES) TlsFree(g_sessionSlot);
    if (g_codeSlot != TLS_OUT_OF_INDEXES) TlsFree(g_codeSlot);
    g_sessionSlot = g_codeSlot = TLS_OUT_OF_INDEXES;
}

void SetThreadError(int session, int code) {
    if (g_sessionSlot == TLS_OUT_OF_INDEXES) return;
    // The code is stored plus one so that an untouched slot (0) reads as "none".
    TlsSetValue(g_sessionSlot, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(session)));
    TlsSetValue(g_codeSlot, reinterpret_cast<LPVOID>(static_cast<INT_PTR>(code) + 1));
}

bool GetThreadError(int session, int& code) {
    if (g_sessionSlot == TLS_OUT_OF_INDEXES) return false;
    const INT_PTR stored = reinterpret_cast<INT_PTR>(TlsGetValue(g_codeSlot));
    if (stored == 0) return false;
    if (static_cast<int>(reinterpret_cast<INT_PTR>(TlsGetValue(g_sessionSlot))) != session) return false;
    code = static_cast<int>(stored - 1);
    return true;
}

}  // namespace nelo
