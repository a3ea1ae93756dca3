// A session's answers, without the DLL around it: the two-call protocols,
// text analysis, ranges, and results before and after a score.
#include <gtest/gtest.h>

#include <cstring>

#include "ErrorCodes.h"
#include "Scorer.h"
#include "SessionState.h"
#include "support/TestData.h"

using namespace nelo;
using namespace nelo::test;

namespace {

class LoadedSession : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<uint8_t> bytes = DefaultLessonBytes();
        ASSERT_EQ(session.loadLesson(bytes.data(), static_cast<int>(bytes.size())), kOk);
    }
    void Score(std::vector<int16_t> samples, uint32_t offset = 0, int length = -1) {
        ScoreTicket t;
        int err = -1;
        ASSERT_TRUE(session.beginScore(t, err));
        ScoreResult r;
        ASSERT_EQ(ScoreSamples(t, samples, offset, length, r), kOk);
        ASSERT_TRUE(session.finishScore(t, std::move(r), err));
    }
    SessionState session;
    int err = -1;
};

}  // namespace

TEST(TwoCallText, Protocol) {
    const std::string text = "Hello";
    int err = -1;
    EXPECT_EQ(CopyTextTwoCall(text, nullptr, 0, err), 5);
    EXPECT_EQ(err, kOk);
    char buf[8];
    std::memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(CopyTextTwoCall(text, buf, 6, err), 0);
    EXPECT_STREQ(buf, "Hello");
    std::memset(buf, 'Z', sizeof buf);
    EXPECT_EQ(CopyTextTwoCall(text, buf, 5, err), -1);  // no room for the terminator
    EXPECT_EQ(err, kErrBufferTooSmall);
    EXPECT_EQ(buf[0], 'Z') << "a refused call writes nothing";
    EXPECT_EQ(CopyTextTwoCall(text, nullptr, 6, err), -1);
    EXPECT_EQ(err, kErrInvalidArgument);
    EXPECT_EQ(CopyTextTwoCall(text, buf, -1, err), -1);
    EXPECT_EQ(err, kErrInvalidArgument);
}

TEST(SessionWithoutLesson, EveryQueryFailsWithNoLesson) {
    SessionState s;
    int err = -1;
    SplitItemInfo info;
    int a = 0, b = 0;
    uint32_t codes[4];
    EXPECT_EQ(s.splitCount(err), -1);
    EXPECT_EQ(err, kErrNoLesson);
    EXPECT_FALSE(s.splitItem(0, info, err));
    EXPECT_EQ(err, kErrNoLesson);
    EXPECT_EQ(s.phoneticCount(0, err), -1);
    EXPECT_EQ(s.phoneticItem(0, 0, codes, 4, err), -1);
    EXPECT_EQ(s.tone(err), -1);
    EXPECT_FALSE(s.statementStress(0, err));
    EXPECT_EQ(err, kErrNoLesson);
    EXPECT_FALSE(s.setRange(0, 0, err));
    EXPECT_FALSE(s.getRange(&a, &b, err));
    EXPECT_EQ(err, kErrNoLesson);
    ScoreTicket t;
    EXPECT_FALSE(s.beginScore(t, err));
    EXPECT_EQ(err, kErrNoLesson);
    EXPECT_EQ(s.sentenceResult(0, err), -1);
    EXPECT_EQ(err, kErrNoResult);
    EXPECT_EQ(s.effectiveData(err), 0u);
    EXPECT_EQ(err, kErrNoResult);
}

TEST_F(LoadedSession, TextAnalysis) {
    const Lesson lesson = DefaultLesson();
    EXPECT_EQ(session.splitCount(err), 4);
    SplitItemInfo info;
    ASSERT_TRUE(session.splitItem(1, info, err));
    EXPECT_EQ(info.start, static_cast<int>(lesson.items[1].start));
    EXPECT_EQ(info.length, static_cast<int>(lesson.items[1].length));
    EXPECT_EQ(info.pronunciations, 1);
    for (int bad : {-1, 4, 1 << 30}) {
        EXPECT_FALSE(session.splitItem(bad, info, err));
        EXPECT_EQ(err, kErrIndexOutOfRange);
        EXPECT_EQ(session.phoneticCount(bad, err), -1);
    }
    EXPECT_EQ(session.tone(err), 0);
    EXPECT_TRUE(session.statementStress(0, err));
    EXPECT_FALSE(session.statementStress(1, err));
    EXPECT_EQ(err, kOk) << "an unstressed word is an answer, not a failure";
    EXPECT_FALSE(session.stressWord(0, err));
}

TEST_F(LoadedSession, PhoneticItemsTwoCallAndTypes) {
    const std::vector<uint32_t> expected = DefaultLesson().items[1].pronunciations[0];  // m u sh e
    const int n = session.phoneticItem(1, 0, nullptr, 0, err);
    ASSERT_EQ(n, static_cast<int>(expected.size()));
    std::vector<uint32_t> codes(n + 1, 0xDEADBEEF);
    EXPECT_EQ(session.phoneticItem(1, 0, codes.data(), n - 1, err), -1);
    EXPECT_EQ(err, kErrBufferTooSmall);
    EXPECT_EQ(codes[0], 0xDEADBEEF);
    ASSERT_EQ(session.phoneticItem(1, 0, codes.data(), n, err), 0);
    EXPECT_EQ(std::vector<uint32_t>(codes.begin(), codes.begin() + n), expected);
    EXPECT_EQ(codes[n], 0xDEADBEEF) << "nothing written past the count";
    EXPECT_EQ(PhonemeStress(codes[0]), kStressPrimary);
    EXPECT_EQ(PhonemeText(codes[2]), "sh");

    EXPECT_EQ(session.setPhoneticType(1, err), 0) << "answers the previous type";
    ASSERT_EQ(session.phoneticItem(1, 0, codes.data(), n, err), 0);
    EXPECT_EQ(codes[0], PhonemeSymbol(expected[0]));
    EXPECT_EQ(session.setPhoneticType(2, err), -1);
    EXPECT_EQ(err, kErrUnknownType);
    EXPECT_EQ(session.phoneticItem(1, 1, nullptr, 0, err), -1) << "only one pronunciation";
    EXPECT_EQ(session.phoneticItem(1, 0, nullptr, 3, err), -1);
    EXPECT_EQ(err, kErrInvalidArgument);
}

TEST_F(LoadedSession, Ranges) {
    int a = -1, b = -1;
    ASSERT_TRUE(session.getRange(&a, &b, err));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
    struct Case {
        int start, end;
        bool ok;
    } cases[] = {{1, 2, true}, {3, 3, true}, {0, 3, true}, {2, 1, false}, {-1, 2, false}, {0, 4, false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(session.setRange(0, 3, err));
        EXPECT_EQ(session.setRange(c.start, c.end, err), c.ok) << c.start << ".." << c.end;
        EXPECT_EQ(err, c.ok ? kOk : kErrInvalidRange);
        ASSERT_TRUE(session.getRange(&a, &b, err));
        EXPECT_EQ(a, c.ok ? c.start : 0) << "a refused range keeps the previous one";
        EXPECT_EQ(b, c.ok ? c.end : 3);
    }
    EXPECT_FALSE(session.getRange(nullptr, &b, err));
    EXPECT_EQ(err, kErrInvalidArgument);
}

TEST_F(LoadedSession, RefusedLessonKeepsTheLoadedOne) {
    std::vector<uint8_t> broken = DefaultLessonBytes();
    broken[0] = 'X';
    EXPECT_EQ(session.loadLesson(broken.data(), static_cast<int>(broken.size())), kErrLessonNotLesson);
    EXPECT_EQ(session.loadLesson(broken.data(), 0), kErrLessonEmpty);
    EXPECT_EQ(session.loadLesson(nullptr, 10), kErrInvalidArgument);
    EXPECT_EQ(session.splitCount(err), 4);
}

TEST_F(LoadedSession, ResultsBeforeAndAfterScoring) {
    EXPECT_EQ(session.wordResult(0, 0, err), -1);
    EXPECT_EQ(err, kErrNoResult);
    Score(Speak(DefaultWords(), Voice{140, 1.1, 1.0, 0, 7}).samples);
    for (int type = 0; type <= 8; ++type) {
        EXPECT_GE(session.sentenceResult(type, err), 0) << type;
        EXPECT_EQ(err, kOk);
    }
    EXPECT_EQ(session.sentenceResult(9, err), -1);
    EXPECT_EQ(err, kErrUnknownType);
    EXPECT_GT(session.effectiveData(err), 0u);
    EXPECT_EQ(session.wordResult(0, 4, err), -1);
    EXPECT_EQ(err, kErrUnknownType);
    EXPECT_EQ(session.wordResult(4, 0, err), -1);
    EXPECT_EQ(err, kErrIndexOutOfRange);

    const int phonemes = session.phonemeCount(1, err);
    ASSERT_EQ(phonemes, 4);
    const uint32_t firstCode = DefaultLesson().items[1].pronunciations[0][0];
    const int64_t item = session.phonemeItem(1, 0, err);
    EXPECT_EQ(static_cast<uint32_t>(item & 0xFFFFFFFF), firstCode) << "lower half: the phoneme's code";
    const int32_t upper = static_cast<int32_t>(item >> 32);
    EXPECT_GE(upper, 0);
    EXPECT_LE(upper, 100) << "upper half: its score";
    EXPECT_EQ(session.phonemeItem(1, 4, err), -1);
    EXPECT_EQ(session.phonemeItem(1, -1, err), -1);
}

TEST_F(LoadedSession, WordsOutsideTheScoredRangeHaveNoResult) {
    ASSERT_TRUE(session.setRange(1, 2, err));
    const Lesson lesson = DefaultLesson();
    const SynthSentence s = Speak(DefaultWords(), Voice{130, 1.0, 1.0, 0, 3});
    // Only the two words of the range are spoken.
    std::vector<int16_t> part(s.samples.begin() + s.wordSpans[1].begin - 3200, s.samples.begin() + s.wordSpans[2].end + 3200);
    Score(part);
    EXPECT_EQ(session.wordResult(0, 0, err), -1);
    EXPECT_EQ(err, kErrNotInRange);
    EXPECT_EQ(session.wordResult(3, 0, err), -1);
    EXPECT_EQ(err, kErrNotInRange);
    EXPECT_GE(session.wordResult(1, 0, err), 0);
    EXPECT_GE(session.wordResult(2, 0, err), 0);
    EXPECT_EQ(session.sentenceResult(3, err), 100) << "both words of the range read";
    // A later range change does not reinterpret the stored result.
    ASSERT_TRUE(session.setRange(0, 3, err));
    EXPECT_EQ(session.wordResult(0, 0, err), -1);
}

TEST_F(LoadedSession, ScoreFinishedAfterAResetOrNewLessonIsDropped) {
    ScoreTicket t;
    ASSERT_TRUE(session.beginScore(t, err));
    std::vector<int16_t> samples = Speak(DefaultWords(), Voice{}).samples;
    ScoreResult r;
    ASSERT_EQ(ScoreSamples(t, samples, 0, -1, r), kOk);
    const std::vector<uint8_t> bytes = DefaultLessonBytes();
    ASSERT_EQ(session.loadLesson(bytes.data(), static_cast<int>(bytes.size())), kOk);
    EXPECT_FALSE(session.finishScore(t, std::move(r), err));
    EXPECT_EQ(err, kErrSessionChanged);
    EXPECT_EQ(session.sentenceResult(0, err), -1);
    EXPECT_EQ(err, kErrNoResult);

    ASSERT_TRUE(session.beginScore(t, err));
    session.reset();
    EXPECT_FALSE(session.finishScore(t, ScoreResult{}, err));
    EXPECT_FALSE(session.hasLesson());
}
