#include "Module.h"

namespace nelo {
namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_lockCount = 0;

// Built on first use; INVALID_HANDLE_VALUE means "tried and there is none".
HANDLE g_actCtx = nullptr;
INIT_ONCE g_actCtxOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK CreateModuleActCtx(PINIT_ONCE, PVOID, PVOID*) {
    ACTCTXW ctx = {};
    ctx.cbSize = sizeof(ctx);
    ctx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.hModule = g_instance;
    ctx.lpResourceName = MAKEINTRESOURCEW(2);  // ISOLATIONAWARE_MANIFEST_RESOURCE_ID
    g_actCtx = g_instance ? CreateActCtxW(&ctx) : INVALID_HANDLE_VALUE;
    if (!g_actCtx) g_actCtx = INVALID_HANDLE_VALUE;
    return TRUE;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE GetModuleInstance() { return g_instance ? g_instance : GetModuleHandleW(nullptr); }

void LockModule() { InterlockedIncrement(&g_lockCount); }
void UnlockModule() { InterlockedDecrement(&g_lockCount); }
LONG GetModuleLockCount() { return InterlockedCompareExchange(&g_lockCount, 0, 0); }
HRESULT CanUnloadModuleNow() { return GetModuleLockCount() == 0 ? S_OK : S_FALSE; }

ModuleStateScope::ModuleStateScope() {
    InitOnceExecuteOnce(&g_actCtxOnce, CreateModuleActCtx, nullptr, nullptr);
    if (g_actCtx != INVALID_HANDLE_VALUE && ActivateActCtx(g_actCtx, &m_cookie)) m_active = true;
}

ModuleStateScope::~ModuleStateScope() {
    if (m_active) DeactivateActCtx(0, m_cookie);
}

void ReleaseModuleActivationContext() {
    if (g_actCtx && g_actCtx != INVALID_HANDLE_VALUE) ReleaseActCtx(g_actCtx);
    g_actCtx = INVALID_HANDLE_VALUE;
}

}  // namespace nelo
