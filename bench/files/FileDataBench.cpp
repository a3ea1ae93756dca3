// OcxGetFileData on files of 256 KB, 1 MB and 4 MB: time per call and the process's peak
// memory, so the array building can be seen to stay linear (each byte becomes one
// VARIANT element: about 17 bytes of memory per file byte while the array exists).
// Run inside the test environment: wine files_bench.exe
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "NeloRecognitionApp.h"
#include "NeloRecognitionCtrl.h"
#include "files/FileIo.h"
#include "folders/WorkFolders.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

bool WriteFileOfSize(const std::wstring& path, size_t size) {
    std::vector<BYTE> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 31 + 7);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
    return ok && written == size;
}

}  // namespace

int main() {
    // A private temporary folder: the control empties its record-temp folder on start.
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    const std::wstring dir = std::wstring(base) + L"nelo-files-bench-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(dir.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", dir.c_str());
    SetEnvironmentVariableW(L"TEMP", dir.c_str());
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    theApp.InitInstance(GetModuleHandleW(nullptr));

    CNeloRecognitionCtrl* ctrl = new CNeloRecognitionCtrl();
    ctrl->AddRef();
    const std::wstring folder = GetRecordTempDir(theApp.m_strWorkDir);

    std::printf("OcxGetFileData (%d-bit build), peak working set before the first call: %.1f MB\n",
                static_cast<int>(sizeof(void*) * 8), Memory().PeakWorkingSetSize / 1048576.0);
    std::printf("%10s %6s %12s %12s %12s %14s\n", "bytes", "calls", "ms/call", "ns/byte", "read ms", "peak WS MB");
    const size_t sizes[] = {256 * 1024, 1024 * 1024, 4 * 1024 * 1024};
    for (size_t size : sizes) {
        const std::wstring name = L"bench" + std::to_wstring(size) + L".bin";
        if (!WriteFileOfSize(folder + L"\\" + name, size)) {
            std::printf("cannot write the test file\n");
            return 1;
        }
        BSTR bname = SysAllocString(name.c_str());
        const int calls = size >= 4 * 1024 * 1024 ? 5 : 20;
        double best = 1e9;
        for (int i = 0; i < calls; ++i) {
            const double start = Now();
            VARIANT v = ctrl->OcxGetFileData(0, bname);
            const double elapsed = Now() - start;
            if (v.vt != (VT_ARRAY | VT_VARIANT)) {
                std::printf("OcxGetFileData failed\n");
                return 1;
            }
            VariantClear(&v);
            if (elapsed < best) best = elapsed;
        }
        SysFreeString(bname);
        // The file read alone, so the array building's share shows.
        double bestRead = 1e9;
        for (int i = 0; i < calls; ++i) {
            CByteBuffer bytes;
            const double start = Now();
            ReadWholeFile(folder + L"\\" + name, bytes);
            const double elapsed = Now() - start;
            if (elapsed < bestRead) bestRead = elapsed;
        }
        const PROCESS_MEMORY_COUNTERS m = Memory();
        std::printf("%10zu %6d %12.2f %12.2f %12.2f %14.1f\n", size, calls, best * 1000.0, best * 1e9 / size,
                    bestRead * 1000.0, m.PeakWorkingSetSize / 1048576.0);
    }
    std::printf("(ms/call is the best of the calls; the peak is the process's so far, so each row\n"
                " includes the largest array built up to then)\n");
    ctrl->Release();
    theApp.ExitInstance();
    CoUninitialize();
    return 0;
}
