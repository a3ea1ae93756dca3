// Opening sounds on a real control with real MCI: refusals and their lines, the play-state
// queue, temporary files, memory blocks handed over, and one device at a time.
#include <gtest/gtest.h>

#include <algorithm>

#include "ControlHarness.h"
#include "PlayerRules.h"

using namespace pbtest;

namespace {

class SoundOpening : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteToneWav(InRecordTemp(L"tone.wav"), 600));
        m_wav = ReadBytes(InRecordTemp(L"tone.wav"));
        ASSERT_GT(m_wav.size(), 44u);
    }
    void TearDown() override {
        DeleteFileW(InRecordTemp(L"tone.wav").c_str());
    }

    // A play state waiting in the queue, as a notice would leave it.
    void QueueAState() { m_ctrl->m_listPlayState.AddHead(PLAY_STATE_STOPPED); }

    ControlHolder m_ctrl;
    std::vector<BYTE> m_wav;
};

BSTR Str(const wchar_t* s) { return SysAllocString(s); }

// How many MCI devices this process has open: every device number that answers a status
// query. (Wine's MCI_SYSINFO does not count open devices; numbers are small and reused.)
DWORD OpenSoundDevices() {
    DWORD open = 0;
    for (MCIDEVICEID id = 1; id <= 4096; ++id) {
        MCI_STATUS_PARMS status = {};
        status.dwItem = MCI_STATUS_MODE;
        if (mciSendCommandW(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)) == 0)
            ++open;
    }
    return open;
}

TEST_F(SoundOpening, ByFileRefusalsAndFailures) {
    struct Case {
        LONG dirType;
        const wchar_t* name;
        LONG result;
        bool queueEmptied;
        const char* line;
    };
    const Case cases[] = {
        {2, L"tone.wav", 1, false, "OcxOpenSoundByFile nDirType[2] Error!"},
        {-1, L"tone.wav", 1, false, "OcxOpenSoundByFile nDirType[-1] Error!"},
        {0, L"..\\..\\tone.wav", 1, false, "OcxOpenSoundByFile: param of strFileName is incorrect!"},
        {0, L"C:\\windows\\win.ini", 1, false, "OcxOpenSoundByFile: param of strFileName is incorrect!"},
        {0, L"", 1, false, "OcxOpenSoundByFile: param of strFileName is incorrect!"},
        {0, L"missing.wav", 1, true, "OcxOpenSoundByFile Open Failed!"},
        {0, L"tone.wav", 0, true, nullptr},
    };
    for (const Case& c : cases) {
        QueueAState();
        LogWatch log;
        BSTR name = Str(c.name);
        EXPECT_EQ(m_ctrl->OcxOpenSoundByFile(c.dirType, name), c.result) << c.dirType << " " << c.line;
        SysFreeString(name);
        EXPECT_EQ(m_ctrl->m_listPlayState.IsEmpty(), c.queueEmptied) << c.line;
        m_ctrl->m_listPlayState.RemoveAll();
        if (c.line) {
            EXPECT_TRUE(log.Saw(c.line)) << log.NewText();
        }
    }
    EXPECT_NE(m_ctrl->m_objPlayer.wDeviceID, 0u);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(SoundOpening, BufferSourcesThatYieldNoBytesMakeNoFile) {
    const size_t filesBefore = RecordTempFiles().size();
    ScriptBytes empty({});
    VARIANT notAnArray;
    VariantInit(&notAnArray);
    notAnArray.vt = VT_BSTR;
    notAnArray.bstrVal = nullptr;
    BSTR oneChar = Str(L"A");
    struct Case {
        const char* line;
        std::function<LONG()> open;
    };
    const Case cases[] = {
        {"OcxOpenSoundByBuf: length of vData is incorrect!", [&] { return m_ctrl->OcxOpenSoundByBuf(empty.Arg()); }},
        {"OcxOpenSoundByBuf: param of vData is incorrect!", [&] { return m_ctrl->OcxOpenSoundByBuf(notAnArray); }},
        {"OcxOpenSoundByStr: length of strData is incorrect!", [&] { return m_ctrl->OcxOpenSoundByStr(oneChar); }},
        {"OcxOpenSoundByStr: length of strData is incorrect!", [&] { return m_ctrl->OcxOpenSoundByStr(nullptr); }},
    };
    for (const Case& c : cases) {
        QueueAState();
        LogWatch log;
        EXPECT_EQ(c.open(), 1) << c.line;
        EXPECT_TRUE(log.Saw(c.line)) << log.NewText();
        EXPECT_FALSE(m_ctrl->m_listPlayState.IsEmpty()) << "queue emptied before the MCI step: " << c.line;
    }
    SysFreeString(oneChar);
    EXPECT_EQ(RecordTempFiles().size(), filesBefore);
    EXPECT_EQ(m_ctrl->m_objPlayer.wDeviceID, 0u);
}

std::wstring Hex(const std::vector<BYTE>& bytes) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (BYTE b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

TEST_F(SoundOpening, EachBufferOpenWritesItsOwnTemporaryFileWithTheBytes) {
    ScriptBytes array(m_wav);
    ASSERT_EQ(m_ctrl->OcxOpenSoundByBuf(array.Arg()), 0);
    BSTR hex = SysAllocString(Hex(m_wav).c_str());
    ASSERT_EQ(m_ctrl->OcxOpenSoundByStr(hex), 0);
    SysFreeString(hex);

    std::vector<std::wstring> sounds;
    for (const std::wstring& name : RecordTempFiles())
        if (name.compare(0, 3, L"SND") == 0) sounds.push_back(name);
    ASSERT_EQ(sounds.size(), 2u);
    for (const std::wstring& name : sounds) EXPECT_EQ(ReadBytes(InRecordTemp(name)), m_wav);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(SoundOpening, MemoryBlockStates) {
    auto filledBlock = [&](const std::vector<BYTE>& bytes) {
        const LONG h = m_ctrl->OcxMemoryBlockCreate(static_cast<LONG>(bytes.size()));
        ScriptBytes data(bytes);
        EXPECT_EQ(m_ctrl->OcxMemoryBlockWrite(h, 0, data.Arg()), static_cast<LONG>(bytes.size()));
        return h;
    };

    // 0 keeps the block usable.
    const LONG kept = filledBlock(m_wav);
    EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(kept, 0), 1);
    EXPECT_NE(m_ctrl->m_listMemoryBlock.Find(kept), nullptr);

    // 2 is refused; the block stays, and no file is written for nothing.
    const size_t files = RecordTempFiles().size();
    {
        LogWatch log;
        EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(kept, 2), 0);
        EXPECT_TRUE(log.Saw("OcxOpenSoundByMBBuf _nState Error!"));
    }
    EXPECT_EQ(RecordTempFiles().size(), files);
    EXPECT_NE(m_ctrl->m_listMemoryBlock.Find(kept), nullptr);

    // 1 hands the block over.
    EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(kept, 1), 1);
    EXPECT_EQ(m_ctrl->OcxMemoryBlockRelease(kept), 0);

    // 1 with bytes no decoder reads: the open fails and the block is gone all the same.
    const LONG junk = filledBlock(std::vector<BYTE>(256, 0x11));
    {
        LogWatch log;
        EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(junk, 1), 0);
        EXPECT_TRUE(log.Saw("OcxOpenSoundByMBBuf Open Failed!"));
    }
    EXPECT_EQ(m_ctrl->m_listMemoryBlock.Find(junk), nullptr);
    EXPECT_EQ(m_ctrl->m_objPlayer.wDeviceID, 0u);  // the earlier sound went with the attempt

    // Handles that match nothing.
    {
        LogWatch log;
        EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(junk, 0), 0);
        EXPECT_EQ(log.NewText().find("(ERROR)"), std::string::npos);
        EXPECT_EQ(m_ctrl->OcxOpenSoundByMBBuf(0, 0), 0);
        EXPECT_TRUE(log.Saw("OcxOpenSoundByMBBuf _nhandle is err!"));
    }
    {
        LogWatch log;
        EXPECT_EQ(m_ctrl->OcxPlaySoundByMBBuf(junk, 0), 0);
        EXPECT_TRUE(log.Saw("OcxPlaySoundByMBBuf: _nhandle or _nState is incorrect!"));
    }
}

TEST_F(SoundOpening, OpeningAgainClosesTheEarlierDevice) {
    const DWORD before = OpenSoundDevices();
    BSTR name = Str(L"tone.wav");
    ASSERT_EQ(m_ctrl->OcxOpenSoundByFile(0, name), 0);
    ScriptBytes array(m_wav);
    ASSERT_EQ(m_ctrl->OcxOpenSoundByBuf(array.Arg()), 0);
    ASSERT_EQ(m_ctrl->OcxOpenSoundByFile(0, name), 0);  // the same file again
    EXPECT_NE(m_ctrl->m_objPlayer.wDeviceID, 0u);
    EXPECT_EQ(OpenSoundDevices(), before + 1);

    // The open sound is replaced even when the new one cannot be opened: nothing stale
    // plays after a failed open.
    BSTR missing = Str(L"missing.wav");
    EXPECT_EQ(m_ctrl->OcxOpenSoundByFile(0, missing), 1);
    EXPECT_EQ(m_ctrl->m_objPlayer.wDeviceID, 0u);
    EXPECT_EQ(m_ctrl->OcxPlaySound(), 0);
    SysFreeString(missing);
    SysFreeString(name);
}

TEST_F(SoundOpening, RepeatedOpensKeepOneDeviceOpen) {
    const DWORD before = OpenSoundDevices();
    BSTR name = Str(L"tone.wav");
    for (int i = 0; i < 20; ++i) ASSERT_EQ(m_ctrl->OcxOpenSoundByFile(0, name), 0) << i;
    SysFreeString(name);
    EXPECT_EQ(OpenSoundDevices(), before + 1);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
    EXPECT_EQ(OpenSoundDevices(), before);
}

}  // namespace
