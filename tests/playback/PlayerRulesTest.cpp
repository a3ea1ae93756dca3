// The player's translations between script values and MCI, and the notice-to-sound tie.
#include <gtest/gtest.h>

#include "PlayerRules.h"

namespace {

TEST(PlayerRules, StatusItemsMapToMciItems) {
    struct Case { LONG item; bool known; DWORD mci; };
    const Case cases[] = {
        {0, true, MCI_STATUS_LENGTH}, {1, true, MCI_STATUS_POSITION}, {2, true, MCI_STATUS_MODE},
        {3, false, 0}, {7, false, 0}, {-1, false, 0},
    };
    for (const Case& c : cases) {
        DWORD mci = 0xDEAD;
        EXPECT_EQ(MciStatusItemFor(c.item, mci), c.known) << c.item;
        if (c.known) {
            EXPECT_EQ(mci, c.mci) << c.item;
        }
    }
}

TEST(PlayerRules, ModesMapToScriptValues) {
    struct Case { DWORD_PTR mci; ULONG mode; };
    const Case cases[] = {
        {MCI_MODE_STOP, 1},      {MCI_MODE_PLAY, 2},   {MCI_MODE_PAUSE, 3}, {MCI_MODE_SEEK, 4},
        {MCI_MODE_NOT_READY, 0}, {MCI_MODE_RECORD, 0}, {MCI_MODE_OPEN, 0},  {0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PlayModeFromMci(c.mci), c.mode) << c.mci;
}

TEST(PlayerRules, RangePlaySendsFromAlwaysAndToUnlessToTheEnd) {
    const MciPlayRequest toEnd = PlayRangeRequest(500, 0xFFFFFFFF);
    EXPECT_EQ(toEnd.flags, static_cast<DWORD>(MCI_FROM));
    EXPECT_EQ(toEnd.from, 500u);

    const MciPlayRequest range = PlayRangeRequest(500, 1500);
    EXPECT_EQ(range.flags, static_cast<DWORD>(MCI_FROM | MCI_TO));
    EXPECT_EQ(range.from, 500u);
    EXPECT_EQ(range.to, 1500u);

    const MciPlayRequest fromStart = PlayRangeRequest(0, 0);
    EXPECT_EQ(fromStart.flags, static_cast<DWORD>(MCI_FROM | MCI_TO));
    EXPECT_EQ(fromStart.from, 0u);
}

TEST(PlayerRules, SeekTargets) {
    struct Case { ULONG value; DWORD flags; DWORD to; };
    const Case cases[] = {
        {0, MCI_SEEK_TO_START | MCI_WAIT, 0},
        {0xFFFFFFFF, MCI_SEEK_TO_END | MCI_WAIT, 0},
        {1234, MCI_TO | MCI_WAIT, 1234},
        {1, MCI_TO | MCI_WAIT, 1},
        {0xFFFFFFFE, MCI_TO | MCI_WAIT, 0xFFFFFFFE},
    };
    for (const Case& c : cases) {
        const MciSeekRequest r = SeekRequestFor(c.value);
        EXPECT_EQ(r.flags, c.flags) << c.value;
        if (c.flags & MCI_TO) {
            EXPECT_EQ(r.to, c.to) << c.value;
        }
    }
}

TEST(PlayerRules, SerialsSkipZeroWhenTheyWrap) {
    EXPECT_EQ(NextSoundSerial(0), 1u);
    EXPECT_EQ(NextSoundSerial(41), 42u);
    EXPECT_EQ(NextSoundSerial(0xFFFFFFFF), 1u);
}

TEST(PlayerRules, NoticeBelongsOnlyToTheSoundItWasPostedFor) {
    EXPECT_TRUE(IsNoticeOfSound(5, 5));
    EXPECT_FALSE(IsNoticeOfSound(4, 5));   // posted for the sound before
    EXPECT_FALSE(IsNoticeOfSound(0, 5));   // posted by someone who knows no sound
    EXPECT_FALSE(IsNoticeOfSound(0, 0));   // no sound was ever opened
#ifdef _WIN64
    // The whole message word counts: high bits set are not the same sound.
    EXPECT_FALSE(IsNoticeOfSound((static_cast<WPARAM>(1) << 32) | 5, 5));
#endif
}

}  // namespace
