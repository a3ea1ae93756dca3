#include "ProcessFigures.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <vector>

namespace {

// GetProcessHandleCount is a stub under Wine; the system's handle table (the
// same information Windows hands to its tools) counts this process's entries.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

DWORD CountOwnHandles() {
    DWORD counted = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &counted) && counted > 0) return counted;
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 16);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            const HandleTable* table = reinterpret_cast<const HandleTable*>(buffer.data());
            DWORD own = 0;
            for (ULONG i = 0; i < table->count; ++i) own += table->entries[i].ownerPid == GetCurrentProcessId();
            return own;
        }
        buffer.resize(needed > buffer.size() ? needed + 4096 : buffer.size() * 2);
    }
    return 0;
}

}  // namespace

ProcessFigures ProcessFigures::Now() {
    ProcessFigures f;
    f.handles = CountOwnHandles();
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot != INVALID_HANDLE_VALUE) {
        THREADENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++f.threads;
        CloseHandle(snapshot);
    }
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        // Wine fills the page-file figure, which Windows reports as the same private commit.
        f.privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    return f;
}

std::string ProcessFigures::Text() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "handles %4lu  threads %3lu  private %8.1f KB", static_cast<unsigned long>(handles),
                  static_cast<unsigned long>(threads), privateBytes / 1024.0);
    return buf;
}
