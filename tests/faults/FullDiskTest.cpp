// A disk that fills up: the whole temporary area of this process lies on a
// tiny size-limited folder (a tmpfs made by small-disk.sh), so the working
// folder, the record-temp folder and the log share its few hundred KB.
// Neither a temporary sound nor a recording that did not fit may be reported
// as written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "ComPtr.h"
#include "NeloRecognitionCtrl.h"
#include "RobustnessSupport.h"
#include "Variant.h"
#include "WavWriter.h"

namespace {

using namespace robust;

// Before the test environment takes its temporary folder: put it on the small disk.
const bool g_onSmallDisk = [] {
    const char* dir = std::getenv("NELO_SMALL_DISK");
    if (!dir) return false;
    const std::wstring path(dir, dir + std::strlen(dir));
    SetEnvironmentVariableW(L"TMP", path.c_str());
    SetEnvironmentVariableW(L"TEMP", path.c_str());
    return GetFileAttributesW((path + L"\\.small-disk").c_str()) != INVALID_FILE_ATTRIBUTES;
}();

// Fills the disk, then gives back `freeBytes` (whole 4 KB pages).
class Filler {
public:
    explicit Filler(ULONG freeBytes) {
        m_path = TempRoot() + L"filler.bin";
        m_file = CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::vector<char> chunk(4096, 'f');
        DWORD n = 0;
        while (WriteFile(m_file, chunk.data(), 4096, &n, nullptr) && n == 4096) m_size += 4096;
        FlushFileBuffers(m_file);
        SetFilePointer(m_file, static_cast<LONG>(m_size > freeBytes ? m_size - freeBytes : 0), nullptr, FILE_BEGIN);
        SetEndOfFile(m_file);
    }
    ~Filler() {
        CloseHandle(m_file);
        DeleteFileW(m_path.c_str());
    }
    ULONG FilledBytes() const { return m_size; }

private:
    std::wstring m_path;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    ULONG m_size = 0;
};

LONG Call(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args = {}) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
    DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    nelo::Variant r;
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, r.Get(), nullptr, nullptr), S_OK);
    return r.Type() == VT_I4 ? V_I4(r.Get()) : 0;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (!g_onSmallDisk) GTEST_SKIP() << "no size-limited folder (small-disk.sh needs root to mount a tmpfs)";
        ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_control.ReceiveVoid()), S_OK);
    }
    void TearDown() override { m_control = nullptr; }
    nelo::ComPtr<IDispatch> m_control;
};

TEST_F(FullDisk, RecordingFileThatDoesNotFitIsNotWritten) {
    Filler filler(8192);
    ASSERT_GT(filler.FilledBytes(), 0u);
    const std::wstring path = RecordTempDir() + L"\\cut.wav";
    std::vector<int16_t> pre(8000, 1000);
    std::vector<uint8_t> voice(64000, 7);
    EXPECT_FALSE(nelo::rec::WriteRecordingWav(path.c_str(), pre.data(), 8000, voice.data(), 64000));
    EXPECT_FALSE(Exists(path)) << "a cut recording was left behind";
    // What fits is still written whole.
    EXPECT_TRUE(nelo::rec::WriteRecordingWav(path.c_str(), pre.data(), 100, voice.data(), 100));
    EXPECT_TRUE(Exists(path));
    DeleteFileW(path.c_str());
}

TEST_F(FullDisk, TemporarySoundThatDoesNotFitIsRefused) {
    Filler filler(4096);
    SAFEARRAYBOUND bound = {100000, 0};
    VARIANT bytes;
    VariantInit(&bytes);
    V_VT(&bytes) = VT_ARRAY | VT_UI1;
    V_ARRAY(&bytes) = SafeArrayCreate(VT_UI1, 1, &bound);
    nelo::Variant arg = nelo::Variant::Adopt(bytes);
    EXPECT_EQ(Call(m_control.Get(), L"OcxOpenSoundByBuf", {arg}), 1);
    EXPECT_EQ(Call(m_control.Get(), L"OcxPlaySoundByBuf", {arg}), 1);
    EXPECT_EQ(Call(m_control.Get(), L"OcxPlaySound"), 0) << "a sound is open although its file did not fit";
}

// The recorder's end-to-end path: the capture works, the file does not fit.
TEST_F(FullDisk, RecordingOnAFullDiskEndsWithTheRecordersMessageAndNoEndState) {
    Filler filler(4096);
    ASSERT_EQ(Call(m_control.Get(), L"OcxSetRecordNoVoiceTime", {nelo::Variant::FromI4(300)}), 1);
    const size_t boxesBefore = WorkerBoxes().size();
    ASSERT_EQ(Call(m_control.Get(), L"OcxBeginRecord", {nelo::Variant::FromString(L"full.wav"), nelo::Variant::FromI4(0)}), 0);
    std::vector<LONG> states;
    const bool boxed = PumpUntil([&] {
        for (LONG s; (s = Call(m_control.Get(), L"OcxGetRecordState")) != 0;) states.push_back(s);
        return WorkerBoxes().size() > boxesBefore;
    }, 60000);
    ASSERT_TRUE(boxed) << "the recorder showed no message";
    PumpUntil([] { return false; }, 500);
    for (LONG s; (s = Call(m_control.Get(), L"OcxGetRecordState")) != 0;) states.push_back(s);
    EXPECT_NE(WorkerBoxes().back().find(L"录音文件"), std::wstring::npos) << Narrow(WorkerBoxes().back());
    for (LONG s : states) EXPECT_LT(s, 4) << "reported as ended with a file";
    EXPECT_FALSE(Exists(RecordTempDir() + L"\\full.wav"));
}

}  // namespace
