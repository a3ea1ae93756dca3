#include "ControlHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "NeloRecognitionApp.h"
#include "WavWriter.h"
#include "folders/WorkFolders.h"
#include "log/Log.h"

namespace pbtest {

class ControlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // A temporary folder of our own: the first control empties the record-temp folder,
        // which must not be another test's.
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        std::wstring dir = std::wstring(base) + L"nelo-pbtest-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(dir.c_str(), nullptr);
        SetEnvironmentVariableW(L"TMP", dir.c_str());
        SetEnvironmentVariableW(L"TEMP", dir.c_str());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        theApp.InitInstance(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        theApp.ExitInstance();
        CoUninitialize();
    }
};

namespace {
::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new ControlEnvironment);
}  // namespace

ControlHolder::ControlHolder() : m_p(new CNeloRecognitionCtrl()) { m_p->AddRef(); }
ControlHolder::~ControlHolder() { m_p->Release(); }

std::wstring RecordTempDir() { return GetRecordTempDir(theApp.m_strWorkDir); }

std::wstring InRecordTemp(const std::wstring& name) { return RecordTempDir() + L"\\" + name; }

std::vector<std::wstring> RecordTempFiles() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((RecordTempDir() + L"\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WriteBytes(const std::wstring& path, const std::vector<BYTE>& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(h);
    return ok;
}

std::vector<BYTE> ReadBytes(const std::wstring& path) {
    std::vector<BYTE> bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    BYTE buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.insert(bytes.end(), buffer, buffer + got);
    CloseHandle(h);
    return bytes;
}

bool WriteToneWav(const std::wstring& path, int ms) {
    const int count = 16 * ms;
    std::vector<int16_t> samples(count);
    for (int i = 0; i < count; ++i)
        samples[i] = static_cast<int16_t>(8000.0 * std::sin(2.0 * 3.14159265358979 * 440.0 * i / 16000.0));
    return nelo::rec::WriteRecordingWav(path.c_str(), samples.data(), count, nullptr, 0);
}

LogWatch::LogWatch() {
    LogInfo(L"-- test mark --");  // flushes the error lines still buffered
    m_start = FileSize(GetLogPath(theApp.m_strWorkDir));
}

std::string LogWatch::NewText() const {
    LogInfo(L"-- test read --");
    const std::vector<BYTE> all = ReadBytes(GetLogPath(theApp.m_strWorkDir));
    if (m_start < 0 || static_cast<size_t>(m_start) > all.size()) return std::string(all.begin(), all.end());
    return std::string(all.begin() + m_start, all.end());
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

ScriptBytes::ScriptBytes(const std::vector<BYTE>& bytes) {
    VariantInit(&m_array);
    VariantInit(&m_byRef);
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(bytes.size()));
    for (LONG i = 0; i < static_cast<LONG>(bytes.size()); ++i) {
        VARIANT element;
        VariantInit(&element);
        element.vt = VT_I4;
        element.lVal = bytes[i];
        SafeArrayPutElement(array, &i, &element);
    }
    m_array.vt = VT_ARRAY | VT_VARIANT;
    m_array.parray = array;
    m_byRef.vt = VT_BYREF | VT_VARIANT;
    m_byRef.pvarVal = &m_array;
}

ScriptBytes::~ScriptBytes() { VariantClear(&m_array); }

}  // namespace pbtest
