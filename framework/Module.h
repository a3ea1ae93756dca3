// Module-wide plumbing of an in-process COM server: the instance handle, the lock count
// that DllCanUnloadNow consults (live objects, IClassFactory::LockServer, running jobs),
// and the module's activation context that every call from outside runs inside.
#pragma once
#include <windows.h>

namespace nelo {

// Set once from DllMain (or by a test executable that links the module's code statically).
void SetModuleInstance(HINSTANCE instance);
HINSTANCE GetModuleInstance();

// Objects, server locks and worker jobs each hold one count while they live.
void LockModule();
void UnlockModule();
LONG GetModuleLockCount();
// S_OK when nothing holds the module, S_FALSE otherwise.
HRESULT CanUnloadModuleNow();

class ModuleLockHolder {
public:
    ModuleLockHolder() { LockModule(); }
    ~ModuleLockHolder() { UnlockModule(); }
    ModuleLockHolder(const ModuleLockHolder&) = delete;
    ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};

// Activates the activation context built from the module's manifest resource for the
// lifetime of the scope, so calls from a host run with the module's own manifest settings.
// Does nothing when the module has no manifest or the context cannot be made.
class ModuleStateScope {
public:
    ModuleStateScope();
    ~ModuleStateScope();
    ModuleStateScope(const ModuleStateScope&) = delete;
    ModuleStateScope& operator=(const ModuleStateScope&) = delete;

private:
    ULONG_PTR m_cookie = 0;
    bool m_active = false;
};

// Frees the module's activation context; called when the module unloads.
void ReleaseModuleActivationContext();

}  // namespace nelo
