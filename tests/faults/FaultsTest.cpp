// Faults from outside: the record-temp folder removed or replaced after
// start-up, the engine failing everywhere, the log file locked, no capture
// device. Each gives its clear failure (value, log line or the recorder's
// message), with no crash, no hang and no file reported as written that was not.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ComPtr.h"
#include "FakePs.h"
#include "NeloRecognitionApp.h"
#include "NeloRecognitionCtrl.h"
#include "RobustnessSupport.h"
#include "Variant.h"
#include "folders/WorkFolders.h"

namespace {

using namespace robust;

LONG Call(IDispatch* d, const wchar_t* name, std::vector<nelo::Variant> args = {}, nelo::Variant* result = nullptr) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
    DISPPARAMS p = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    nelo::Variant local;
    nelo::Variant* r = result ? result : &local;
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &p, r->Receive(), nullptr, nullptr), S_OK) << Narrow(name);
    return r->Type() == VT_I4 ? V_I4(r->Get()) : 0;
}

std::wstring ToneHex() {
    std::wstring path = TempRoot() + L"hex-source.wav";
    WriteToneWav(path, 200);
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(8000, '\0');
    DWORD got = 0;
    ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    DeleteFileW(path.c_str());
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring hex;
    for (DWORD i = 0; i < got; ++i) {
        hex += digits[static_cast<unsigned char>(bytes[i]) >> 4];
        hex += digits[static_cast<unsigned char>(bytes[i]) & 15];
    }
    return hex;
}

size_t WorkerBoxesWith(const std::wstring& text) {
    size_t n = 0;
    for (const std::wstring& box : WorkerBoxes()) n += box.find(text) != std::wstring::npos;
    return n;
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        FakePs_Reset();
        ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_control.ReceiveVoid()), S_OK);
    }
    void TearDown() override {
        m_control = nullptr;
        FakePs_Reset();
        PumpPending();
        // The next control makes the folder again.
        SetFileAttributesW(RecordTempDir().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(RecordTempDir().c_str());
    }

    // Records with a short no-voice time and waits for the recorder's verdict:
    // the record states queued, or the message box it showed instead.
    std::vector<LONG> RecordExpectingNoFile(const wchar_t* name, const wchar_t* boxText) {
        const size_t boxesBefore = WorkerBoxesWith(boxText);
        EXPECT_EQ(Call(m_control.Get(), L"OcxSetRecordNoVoiceTime", {nelo::Variant::FromI4(300)}), 1);
        EXPECT_EQ(Call(m_control.Get(), L"OcxBeginRecord", {nelo::Variant::FromString(name), nelo::Variant::FromI4(0)}), 0);
        std::vector<LONG> states;
        const bool boxed = PumpUntil([&] {
            for (LONG s; (s = Call(m_control.Get(), L"OcxGetRecordState")) != 0;) states.push_back(s);
            return WorkerBoxesWith(boxText) > boxesBefore;
        }, 60000);
        EXPECT_TRUE(boxed) << "the recorder showed no message " << Narrow(boxText);
        PumpUntil([] { return false; }, 500);  // an end notice, if one came anyway
        for (LONG s; (s = Call(m_control.Get(), L"OcxGetRecordState")) != 0;) states.push_back(s);
        return states;
    }

    void ExpectUsableWithoutTheFolder() {
        const size_t logBefore = FlushedLog().size();
        nelo::Variant name;
        Call(m_control.Get(), L"OcxCreateFile", {}, &name);
        EXPECT_EQ(name.Type(), VT_BSTR);
        EXPECT_EQ(SysStringLen(V_BSTR(name.Get())), 0u);
        EXPECT_EQ(Call(m_control.Get(), L"OcxOpenSoundByStr", {nelo::Variant::FromString(ToneHex().c_str())}), 1);
        EXPECT_EQ(Call(m_control.Get(), L"OcxPlaySoundByStr", {nelo::Variant::FromString(ToneHex().c_str())}), 1);
        const std::string added = FlushedLog().substr(logBefore);
        EXPECT_NE(added.find("GetTempFileName Failed!"), std::string::npos) << added;
        EXPECT_NE(added.find("OcxOpenSoundByStr"), std::string::npos) << added;
        // Unrelated methods go on working.
        const LONG block = Call(m_control.Get(), L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(64)});
        EXPECT_GT(block, 0);
        EXPECT_EQ(Call(m_control.Get(), L"OcxMemoryBlockRelease", {nelo::Variant::FromI4(block)}), 1);
    }

    nelo::ComPtr<IDispatch> m_control;
};

TEST_F(Faults, RecordTempFolderRemovedAfterStartUp) {
    ASSERT_TRUE(RemoveDirectoryW(RecordTempDir().c_str()) || GetLastError() == ERROR_DIR_NOT_EMPTY);
    // Whatever was left in it goes too.
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((RecordTempDir() + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileW((RecordTempDir() + L"\\" + fd.cFileName).c_str());
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(RecordTempDir().c_str());
    ASSERT_EQ(GetFileAttributesW(RecordTempDir().c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectUsableWithoutTheFolder();
    const std::vector<LONG> states = RecordExpectingNoFile(L"gone.wav", L"录音文件打开失败");
    for (LONG s : states) EXPECT_LT(s, 4) << "an end state for a recording that has no file";
}

// A file where the folder was: nothing can be created inside it (the tests
// run as root, for whom a read-only folder is no obstacle).
TEST_F(Faults, RecordTempFolderReplacedByAFile) {
    const std::wstring folder = RecordTempDir();
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do DeleteFileW((folder + L"\\" + fd.cFileName).c_str());
        while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    ASSERT_TRUE(RemoveDirectoryW(folder.c_str()));
    HANDLE blocker = CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    ExpectUsableWithoutTheFolder();
    const std::vector<LONG> states = RecordExpectingNoFile(L"blocked.wav", L"录音文件打开失败");
    for (LONG s : states) EXPECT_LT(s, 4);
}

// The engine answering failure everywhere: sessions cannot start, and a score
// job on a session reports failure (outcome 2), never success.
TEST_F(Faults, EngineFailingEverywhere) {
    for (const char* f : {"PsStartSession", "PsSoundByName", "PsSoundByPoint", "PsEndSession", "PsLoadNet", "PsSetECode",
                          "PsNetIsExist"})
        FakePs_SetResult(f, 0);
    FakePs_SetResult("PsGetSessionErrCode", 77);
    const size_t logBefore = FlushedLog().size();
    EXPECT_EQ(Call(m_control.Get(), L"OcxStartSession"), 0);
    EXPECT_EQ(Call(m_control.Get(), L"OcxEndSession", {nelo::Variant::FromI4(5)}), 0);
    EXPECT_EQ(Call(m_control.Get(), L"OcxNetIsExist", {nelo::Variant::FromI4(5)}), 0);
    // An e-code the engine refuses is logged; the method's answer stays what pages have always had (1).
    Call(m_control.Get(), L"OcxSetECodeByStr", {nelo::Variant::FromI4(5), nelo::Variant::FromString(L"0000000000000000")});
    EXPECT_EQ(Call(m_control.Get(), L"OcxScoreSoundByStr", {nelo::Variant::FromI4(5), nelo::Variant::FromString(L"52494646"),
                                                            nelo::Variant::FromUI4(0), nelo::Variant::FromI4(0)}), 1);
    LONG outcome = 0;
    ASSERT_TRUE(PumpUntil([&] { return (outcome = Call(m_control.Get(), L"OcxGetScoreState", {nelo::Variant::FromI4(5)})) != 0; }, 30000));
    EXPECT_EQ(outcome, 2);
    const std::string added = FlushedLog().substr(logBefore);
    EXPECT_NE(added.find("PsSetECode Failed! ERRCODE[77]"), std::string::npos) << added;
    EXPECT_NE(added.find("ERRCODE[77]"), added.rfind("ERRCODE[77]")) << "only one engine failure logged: " << added;
}

// The log held open by someone else: the first control says so once and
// works on without a log.
TEST_F(Faults, LogFileLockedByAnotherProgram) {
    m_control = nullptr;  // no live control: the next one is the first
    const std::wstring log = GetLogPath(theApp.m_strWorkDir);  // as the control spells it
    HANDLE lock = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    const size_t boxesBefore = ControlBoxes().size();
    ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_control.ReceiveVoid()), S_OK);
    const std::vector<std::wstring> boxes = ControlBoxes();
    ASSERT_EQ(boxes.size(), boxesBefore + 1);
    EXPECT_EQ(boxes.back(), L"Open logfile failed:" + log + L"\n");
    // Failures are still refused normally; their lines go nowhere.
    EXPECT_EQ(Call(m_control.Get(), L"OcxRemoveFile", {nelo::Variant::FromString(L"..\\x")}), 0);
    EXPECT_EQ(Call(m_control.Get(), L"OcxMemoryBlockCreate", {nelo::Variant::FromI4(0)}), 0);
    nelo::ComPtr<IDispatch> second;
    ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, second.ReceiveVoid()), S_OK);
    EXPECT_EQ(ControlBoxes().size(), boxesBefore + 1) << "a second control tried again";
    second = nullptr;
    m_control = nullptr;
    CloseHandle(lock);
    ASSERT_EQ(CNeloRecognitionCtrl::Create(IID_IDispatch, m_control.ReceiveVoid()), S_OK);
    EXPECT_EQ(ControlBoxes().size(), boxesBefore + 1);
}

// Run by its own CTest entry with PulseAudio out of reach (NELO_EXPECT_NO_CAPTURE=1).
TEST_F(Faults, NoCaptureDevice) {
    if (!std::getenv("NELO_EXPECT_NO_CAPTURE")) GTEST_SKIP() << "needs a process without the audio server";
    const std::vector<LONG> states = RecordExpectingNoFile(L"nodevice.wav", L"无法打开录音设备录制");
    EXPECT_TRUE(states.empty());
    EXPECT_EQ(GetFileAttributesW((RecordTempDir() + L"\\nodevice.wav").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
