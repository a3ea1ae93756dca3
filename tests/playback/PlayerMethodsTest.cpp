// The player on a real control with real MCI and the control's own window: play-end
// notices through the poll timer, auto-close, pause, stop, close, status and the failures
// with no sound open. Waits are generous and event-driven; nothing asserts speed.
#include <gtest/gtest.h>

#include "ControlHarness.h"
#include "PlayerRules.h"

using namespace pbtest;

namespace {

const DWORD kEndLimitMs = 20000;  // a 0.6 s tone ends long before this, even on a loaded machine

class Player : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(WriteToneWav(InRecordTemp(L"tone.wav"), 600)); }
    void TearDown() override { DeleteFileW(InRecordTemp(L"tone.wav").c_str()); }

    LONG OpenTone() {
        BSTR name = SysAllocString(L"tone.wav");
        const LONG r = m_ctrl->OcxOpenSoundByFile(0, name);
        SysFreeString(name);
        return r;
    }
    LONG PlayToneByFile() {
        BSTR name = SysAllocString(L"tone.wav");
        const LONG r = m_ctrl->OcxPlaySoundByFile(0, name);
        SysFreeString(name);
        return r;
    }
    bool WaitForState() {
        return PumpUntil([this] { return !m_ctrl->m_listPlayState.IsEmpty(); }, kEndLimitMs);
    }

    ControlHolder m_ctrl;
};

TEST_F(Player, NoSoundOpen) {
    struct Case {
        const char* line;
        std::function<LONG()> call;
    };
    const Case cases[] = {
        {"OcxPlaySound Play Failed!", [&] { return m_ctrl->OcxPlaySound(); }},
        {"OcxPlaySound PlayEx Failed!", [&] { return m_ctrl->OcxPlaySoundEx(0, 0xFFFFFFFF); }},
        {"OcxPlaySound Stop Failed!", [&] { return m_ctrl->OcxStopSound(); }},
        {"OcxPlaySound Close Failed!", [&] { return m_ctrl->OcxCloseSound(); }},
        {"OcxPlaySound Pause Failed!", [&] { return m_ctrl->OcxPauseSound(); }},
        {"OcxPlaySound Resume Failed!", [&] { return m_ctrl->OcxResumeSound(); }},
        {"OcxPlaySound SetStatus Failed!", [&] { return m_ctrl->OcxSetPlayStatus(1, 0); }},
    };
    for (const Case& c : cases) {
        LogWatch log;
        EXPECT_EQ(c.call(), 0) << c.line;
        EXPECT_TRUE(log.Saw(c.line)) << c.line << ": " << log.NewText();
    }
    for (LONG item : {0, 1, 2, 3, 7, -1}) EXPECT_EQ(m_ctrl->OcxGetPlayStatus(item), 0u) << item;
}

TEST_F(Player, PlayAndPlayExEmptyTheQueueEvenWhenTheyFail) {
    m_ctrl->m_listPlayState.AddHead(PLAY_STATE_STOPPED);
    EXPECT_EQ(m_ctrl->OcxPlaySound(), 0);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    m_ctrl->m_listPlayState.AddHead(PLAY_STATE_STOPPED);
    m_ctrl->m_bAutoClose = TRUE;
    EXPECT_EQ(m_ctrl->OcxPlaySoundEx(500, 1500), 0);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_FALSE(m_ctrl->m_bAutoClose);
}

TEST_F(Player, PlayedToItsEndOneStateAndTheSoundStaysOpen) {
    ASSERT_EQ(OpenTone(), 0);
    ASSERT_EQ(m_ctrl->OcxPlaySound(), 1);
    ASSERT_TRUE(WaitForState());
    PumpFor(400);  // four more ticks: a second notice would show up now
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 1);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_EQ(m_ctrl->m_objPlayer.nTimerID, 0u);
    EXPECT_EQ(m_ctrl->OcxGetPlayStatus(PLAY_ITEM_MODE), PLAY_MODE_STOPPED);
    EXPECT_EQ(m_ctrl->OcxPlaySound(), 1);  // still open: plays again
    ASSERT_TRUE(WaitForState());
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(Player, PlayedByFileClosesAfterItsEnd) {
    ASSERT_EQ(PlayToneByFile(), 0);
    ASSERT_TRUE(WaitForState());
    EXPECT_EQ(m_ctrl->m_objPlayer.wDeviceID, 0u);
    EXPECT_EQ(m_ctrl->OcxPlaySound(), 0);
}

TEST_F(Player, StopOfASoundNotPlayingStillNotifiesOnce) {
    ASSERT_EQ(OpenTone(), 0);
    EXPECT_EQ(m_ctrl->OcxStopSound(), 1);
    ASSERT_TRUE(WaitForState());
    PumpFor(300);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 1);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_NE(m_ctrl->m_objPlayer.wDeviceID, 0u);  // stop keeps the device
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(Player, CloseWhilePlayingGivesNoNoticeNotEvenToTheNextSound) {
    ASSERT_EQ(OpenTone(), 0);
    ASSERT_EQ(m_ctrl->OcxPlaySound(), 1);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
    // The next sound, opened at once and not played, is stopped from MCI's point of view:
    // a poll timer left over from the first would report an end that never happened.
    ASSERT_EQ(OpenTone(), 0);
    PumpFor(700);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_NE(m_ctrl->m_objPlayer.wDeviceID, 0u);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(Player, PauseHoldsWithoutANoticeAndResumeFinishes) {
    ASSERT_TRUE(WriteToneWav(InRecordTemp(L"tone.wav"), 3000));
    ASSERT_EQ(OpenTone(), 0);
    ASSERT_EQ(m_ctrl->OcxPlaySound(), 1);
    ASSERT_TRUE(PumpUntil([this] { return m_ctrl->OcxGetPlayStatus(PLAY_ITEM_MODE) == PLAY_MODE_PLAYING; }, 5000));
    ASSERT_EQ(m_ctrl->OcxPauseSound(), 1);
    EXPECT_EQ(m_ctrl->OcxGetPlayStatus(PLAY_ITEM_MODE), PLAY_MODE_PAUSED);
    PumpFor(4000);  // longer than the whole sound
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_EQ(m_ctrl->OcxGetPlayStatus(PLAY_ITEM_MODE), PLAY_MODE_PAUSED);
    EXPECT_NE(m_ctrl->m_objPlayer.nTimerID, 0u);  // polling goes on through the pause
    ASSERT_EQ(m_ctrl->OcxResumeSound(), 1);
    ASSERT_TRUE(WaitForState());
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 1);
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(Player, StatusItemsOfAnOpenSound) {
    ASSERT_EQ(OpenTone(), 0);
    const ULONG length = m_ctrl->OcxGetPlayStatus(PLAY_ITEM_LENGTH);
    EXPECT_GE(length, 550u);  // milliseconds, the device's own format
    EXPECT_LE(length, 650u);
    EXPECT_EQ(m_ctrl->OcxGetPlayStatus(PLAY_ITEM_MODE), PLAY_MODE_STOPPED);
    EXPECT_EQ(m_ctrl->OcxGetPlayStatus(7), 0u);
    for (LONG item : {0L, 2L, 5L}) {
        LogWatch log;
        EXPECT_EQ(m_ctrl->OcxSetPlayStatus(item, 0), 0) << item;
        EXPECT_TRUE(log.Saw("OcxPlaySound SetStatus Failed!")) << item;
    }
    EXPECT_EQ(m_ctrl->OcxCloseSound(), 1);
}

TEST_F(Player, ANoticeForAnEarlierSoundNeitherQueuesNorClosesTheNewOne) {
    ASSERT_EQ(OpenTone(), 0);
    const DWORD earlier = m_ctrl->m_objPlayer.nSoundSerial;
    ASSERT_EQ(OpenTone(), 0);
    m_ctrl->m_bAutoClose = TRUE;
    PostMessageW(m_ctrl->NotifyWindow(), WM_PLAY_NOTIFY, earlier, PLAY_STATE_STOPPED);
    PostMessageW(m_ctrl->NotifyWindow(), WM_PLAY_NOTIFY, 0, PLAY_STATE_STOPPED);
    PumpFor(200);
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 0);
    EXPECT_NE(m_ctrl->m_objPlayer.wDeviceID, 0u);

    // The notice of the open sound itself is queued and closes it.
    PostMessageW(m_ctrl->NotifyWindow(), WM_PLAY_NOTIFY, m_ctrl->m_objPlayer.nSoundSerial, PLAY_STATE_STOPPED);
    ASSERT_TRUE(WaitForState());
    EXPECT_EQ(m_ctrl->OcxGetPlayState(), 1);
    EXPECT_EQ(m_ctrl->m_objPlayer.wDeviceID, 0u);
}

TEST_F(Player, DestroyingAPlayingControlLeavesNoTimerBehind) {
    {
        ControlHolder doomed;
        BSTR name = SysAllocString(L"tone.wav");
        ASSERT_EQ(doomed->OcxPlaySoundByFile(0, name), 0);
        SysFreeString(name);
        ASSERT_NE(doomed->m_objPlayer.nTimerID, 0u);
    }
    // A timer that outlived its control would call into freed memory on these ticks.
    PumpFor(500);
}

}  // namespace
