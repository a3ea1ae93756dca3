// NeloPS.dll through its exports: versions, sessions, every function's
// failure value and error code, the two-call protocols, sounds from files and
// memory, results.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "ErrorCodes.h"
#include "NeloPS.h"
#include "support/TestData.h"

using namespace nelo;
using namespace nelo::test;

namespace {

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        session = PsStartSession();
        ASSERT_NE(session, 0);
        lessonBytes = DefaultLessonBytes();
        ASSERT_EQ(PsLoadNet(session, lessonBytes.data(), static_cast<int>(lessonBytes.size())), 0);
    }
    void TearDown() override { PsEndSession(session); }

    bool ScoreMemory(const std::vector<uint8_t>& bytes, uint32_t offset = 0, int length = -1) {
        PSSOUND sound{bytes.data(), static_cast<uint32_t>(bytes.size())};
        return PsSoundByPoint(session, &sound, offset, length);
    }

    int session = 0;
    std::vector<uint8_t> lessonBytes;
};

}  // namespace

TEST(EngineVersions, Reported) {
    EXPECT_EQ(PsGetEngineVer(), 10000);
    EXPECT_EQ(PsGetMinReadDataVer(), 1);
}

TEST(EngineSessions, HandlesAreNonZeroUniqueAndEndOnce) {
    std::vector<int> handles;
    for (int i = 0; i < 50; ++i) {
        handles.push_back(PsStartSession());
        ASSERT_NE(handles.back(), 0);
    }
    std::sort(handles.begin(), handles.end());
    EXPECT_EQ(std::unique(handles.begin(), handles.end()), handles.end());
    for (int h : handles) {
        EXPECT_EQ(PsGetSessionErrCode(h), 0);
        EXPECT_TRUE(PsEndSession(h));
        EXPECT_FALSE(PsEndSession(h));
        EXPECT_EQ(PsGetSessionErrCode(h), -1) << "an ended handle names no session";
    }
}

TEST(EngineSessions, EveryFunctionRefusesAnUnknownHandle) {
    const int dead = PsStartSession();
    ASSERT_TRUE(PsEndSession(dead));
    char text[16];
    uint32_t codes[4];
    PSSPLITITEM item;
    int a, b;
    const uint8_t ecode[8] = {};
    const uint8_t raw[4] = {};
    PSSOUND sound{raw, 4};
    const std::vector<uint8_t> lesson = DefaultLessonBytes();
    struct Case {
        const char* name;
        std::function<bool()> failed;
    } cases[] = {
        {"PsResetSession", [&] { return !PsResetSession(dead); }},
        {"PsNetIsExist", [&] { return !PsNetIsExist(dead); }},
        {"PsSetECode", [&] { return !PsSetECode(dead, ecode); }},
        {"PsLoadNet", [&] { return PsLoadNet(dead, lesson.data(), static_cast<int>(lesson.size())) != 0; }},
        {"PsGetEffectiveData", [&] { return PsGetEffectiveData(dead) == 0; }},
        {"PsGetOrgText", [&] { return PsGetOrgText(dead, nullptr, 0) == -1 && PsGetOrgText(dead, text, 16) == -1; }},
        {"PsGetTextSplitCount", [&] { return PsGetTextSplitCount(dead) == -1; }},
        {"PsGetTextSplitItemW", [&] { return !PsGetTextSplitItemW(dead, 0, &item); }},
        {"PsSetPhoneticType", [&] { return PsSetPhoneticType(dead, 0) == -1; }},
        {"PsGetPhoneticCount", [&] { return PsGetPhoneticCount(dead, 0) == -1; }},
        {"PsGetPhoneticItem", [&] { return PsGetPhoneticItem(dead, 0, 0, nullptr, 0) == -1 && PsGetPhoneticItem(dead, 0, 0, codes, 4) == -1; }},
        {"PsGetTone", [&] { return PsGetTone(dead) < 0; }},
        {"PsGetStatementStress", [&] { return !PsGetStatementStress(dead, 0); }},
        {"PsGetStressWord", [&] { return !PsGetStressWord(dead, 0); }},
        {"PsSetRange", [&] { return !PsSetRange(dead, 0, 0); }},
        {"PsGetRange", [&] { return !PsGetRange(dead, &a, &b); }},
        {"PsSoundByName", [&] { return !PsSoundByName(dead, "C:\\nothing.wav", 0, -1); }},
        {"PsSoundByPoint", [&] { return !PsSoundByPoint(dead, &sound, 0, -1); }},
        {"PsGetSentenceResult", [&] { return PsGetSentenceResult(dead, 0) == -1; }},
        {"PsGetWordResult", [&] { return PsGetWordResult(dead, 0, 0) == -1; }},
        {"PsGetResPhonemeCount", [&] { return PsGetResPhonemeCount(dead, 0) == -1; }},
        {"PsGetResPhonemeItem", [&] { return (PsGetResPhonemeItem(dead, 0, 0) >> 32) == -1; }},
    };
    for (const Case& c : cases) EXPECT_TRUE(c.failed()) << c.name;
    EXPECT_EQ(PsGetSessionErrCode(dead), -1);
    EXPECT_EQ(PsGetSessionErrCode(0), -1);
}

TEST(EngineSessions, FreshSessionHasNoLessonNorResult) {
    const int s = PsStartSession();
    struct Case {
        const char* name;
        std::function<bool()> failed;
        int code;
    } cases[] = {
        {"PsNetIsExist", [&] { return !PsNetIsExist(s); }, kErrNoLesson},
        {"PsGetTextSplitCount", [&] { return PsGetTextSplitCount(s) == -1; }, kErrNoLesson},
        {"PsGetOrgText", [&] { return PsGetOrgText(s, nullptr, 0) == -1; }, kErrNoLesson},
        {"PsGetTone", [&] { return PsGetTone(s) < 0; }, kErrNoLesson},
        {"PsSoundByPoint", [&] { const int16_t x[2] = {}; PSSOUND snd{x, 4}; return !PsSoundByPoint(s, &snd, 0, -1); }, kErrNoLesson},
        {"PsGetSentenceResult", [&] { return PsGetSentenceResult(s, 0) == -1; }, kErrNoResult},
        {"PsGetEffectiveData", [&] { return PsGetEffectiveData(s) == 0; }, kErrNoResult},
        {"PsGetWordResult", [&] { return PsGetWordResult(s, 0, 0) == -1; }, kErrNoResult},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(c.failed()) << c.name;
        EXPECT_EQ(PsGetSessionErrCode(s), c.code) << c.name;
    }
    EXPECT_EQ(PsGetTextSplitCount(s), -1);
    PsEndSession(s);
}

TEST(EngineErrors, TextsByTwoCalls) {
    const int n = PsGetSessionErrInfo(kErrNoSpeech, nullptr, 0);
    ASSERT_GT(n, 0);
    std::string text(n + 1, '#');
    ASSERT_EQ(PsGetSessionErrInfo(kErrNoSpeech, &text[0], n + 1), 0);
    EXPECT_EQ(text.substr(0, n), ErrorText(kErrNoSpeech));
    EXPECT_EQ(text[n], '\0');
    EXPECT_NE(PsGetSessionErrInfo(kErrNoSpeech, &text[0], n), 0) << "no room for the terminator";
    EXPECT_EQ(PsGetSessionErrInfo(12345, nullptr, 0), -1);
    EXPECT_EQ(PsGetSessionErrInfo(-1, nullptr, 0), -1);
}

TEST_F(Engine, LessonTextAndItems) {
    const Lesson lesson = DefaultLesson();
    EXPECT_TRUE(PsNetIsExist(session));
    const int n = PsGetOrgText(session, nullptr, 0);
    ASSERT_EQ(n, static_cast<int>(lesson.text.size()));
    std::string text(n + 1, '#');
    ASSERT_EQ(PsGetOrgText(session, &text[0], n + 1), 0);
    EXPECT_EQ(text.c_str(), lesson.text);
    EXPECT_EQ(PsGetOrgText(session, &text[0], n), -1);
    EXPECT_EQ(PsGetSessionErrCode(session), kErrBufferTooSmall);

    ASSERT_EQ(PsGetTextSplitCount(session), 4);
    EXPECT_EQ(PsGetSessionErrCode(session), 0) << "a successful call clears the code";
    PSSPLITITEM item;
    ASSERT_TRUE(PsGetTextSplitItemW(session, 2, &item));
    EXPECT_EQ(item.nStart, static_cast<int>(lesson.items[2].start));
    EXPECT_EQ(item.nLength, static_cast<int>(lesson.items[2].length));
    EXPECT_EQ(item.nPhoneticCount, 1);
    EXPECT_EQ(item.nFlags, PS_ITEM_STATEMENT_STRESS);
    EXPECT_FALSE(PsGetTextSplitItemW(session, 2, nullptr));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrInvalidArgument);
    EXPECT_FALSE(PsGetTextSplitItemW(session, 4, &item));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrIndexOutOfRange);

    const int count = PsGetPhoneticItem(session, 2, 0, nullptr, 0);
    ASSERT_EQ(count, 3);
    uint32_t codes[3];
    ASSERT_EQ(PsGetPhoneticItem(session, 2, 0, codes, count), 0);
    EXPECT_EQ(PS_PHONEME_SYMBOL(codes[0]), static_cast<uint32_t>('k'));
    EXPECT_EQ(PS_PHONEME_STRESS(codes[0]), 3u);
    EXPECT_EQ(PsSetPhoneticType(session, PS_PHONETIC_PLAIN), PS_PHONETIC_WITH_STRESS);
    ASSERT_EQ(PsGetPhoneticItem(session, 2, 0, codes, count), 0);
    EXPECT_EQ(PS_PHONEME_STRESS(codes[0]), 0u);
    EXPECT_EQ(PsGetTone(session), 0);
    EXPECT_TRUE(PsGetStatementStress(session, 0));
    EXPECT_FALSE(PsGetStatementStress(session, 1));
    EXPECT_EQ(PsGetSessionErrCode(session), 0);
    EXPECT_FALSE(PsGetStressWord(session, 9));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrIndexOutOfRange);
}

TEST_F(Engine, LessonRefusalsNameTheirCause) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int size;
        int code;
    } cases[] = {
        {"empty", {}, 0, kErrLessonEmpty},
        {"negative size", {1, 2}, -2, kErrInvalidArgument},
        {"not a lesson", {'R', 'I', 'F', 'F', 0, 0, 0, 0}, 8, kErrLessonNotLesson},
        {"truncated", std::vector<uint8_t>(lessonBytes.begin(), lessonBytes.begin() + 100), 100, kErrLessonTruncated},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PsLoadNet(session, c.bytes.empty() ? nullptr : c.bytes.data(), c.size), c.code) << c.name;
        EXPECT_EQ(PsGetSessionErrCode(session), c.code) << c.name;
        EXPECT_TRUE(PsNetIsExist(session)) << "the loaded lesson stays after " << c.name;
    }
}

TEST_F(Engine, ECodes) {
    const uint8_t good[8] = {4, 1, 40, 30, 0, 0, 0, 0}, bad[8] = {9, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(PsSetECode(session, good));
    EXPECT_TRUE(PsSetECode(session, nullptr));
    EXPECT_FALSE(PsSetECode(session, bad));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrECodeInvalid);
}

TEST_F(Engine, RangesThroughExports) {
    int a = -1, b = -1;
    ASSERT_TRUE(PsGetRange(session, &a, &b));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 3);
    EXPECT_TRUE(PsSetRange(session, 1, 2));
    ASSERT_TRUE(PsGetRange(session, &a, &b));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_FALSE(PsSetRange(session, 2, 1));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrInvalidRange);
    EXPECT_FALSE(PsGetRange(session, &a, nullptr));
    // A new lesson scores all its words again.
    ASSERT_EQ(PsLoadNet(session, lessonBytes.data(), static_cast<int>(lessonBytes.size())), 0);
    ASSERT_TRUE(PsGetRange(session, &a, &b));
    EXPECT_EQ(b, 3);
    EXPECT_TRUE(PsResetSession(session));
    EXPECT_FALSE(PsNetIsExist(session));
    EXPECT_FALSE(PsGetRange(session, &a, &b));
}

TEST_F(Engine, SoundFiles) {
    const std::vector<int16_t> speech = Speak(DefaultWords(), Voice{170, 0.9, 1.05, 30, 4}).samples;
    const std::string good = TempPath("nelo_engine_good.wav"), narrow = TempPath("nelo_engine_8k.wav"),
                      raw = TempPath("nelo_engine_raw.pcm");
    WriteFile(good, WavOf(speech));
    WriteFile(narrow, WavOf(speech, WavHeader{1, 1, 16, 2, 8000}));
    std::vector<uint8_t> rawBytes(reinterpret_cast<const uint8_t*>(speech.data()),
                                  reinterpret_cast<const uint8_t*>(speech.data()) + speech.size() * 2);
    WriteFile(raw, rawBytes);
    char tempDir[MAX_PATH];
    GetTempPathA(MAX_PATH, tempDir);
    struct Case {
        const char* name;
        const char* path;
        uint32_t offset;
        int length;
        int code;
    } cases[] = {
        {"no such file", "C:\\no\\such\\file.wav", 0, -1, kErrSoundOpen},
        {"a folder", tempDir, 0, -1, kErrSoundOpen},
        {"empty path", "", 0, -1, kErrInvalidArgument},
        {"null path", nullptr, 0, -1, kErrInvalidArgument},
        {"8 kHz", narrow.c_str(), 0, -1, kErrSoundFormat},
        {"bare samples in a file", raw.c_str(), 0, -1, kErrSoundFormat},
        {"offset past the end", good.c_str(), 60000, -1, kErrSoundRange},
        {"length past the end", good.c_str(), 0, 60000, kErrSoundRange},
        {"whole file", good.c_str(), 0, -1, kOk},
        {"length 0 is the whole file", good.c_str(), 0, 0, kOk},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PsSoundByName(session, c.path, c.offset, c.length), c.code == kOk) << c.name;
        EXPECT_EQ(PsGetSessionErrCode(session), c.code) << c.name;
    }
    EXPECT_GT(PsGetSentenceResult(session, PS_SENT_OVERALL), 50);
    EXPECT_GT(PsGetEffectiveData(session), 1000u);
    DeleteFileA(good.c_str());
    DeleteFileA(narrow.c_str());
    DeleteFileA(raw.c_str());
}

TEST_F(Engine, SoundsInMemory) {
    const std::vector<int16_t> speech = Speak(DefaultWords(), Voice{100, 1.1, 0.97, 0, 8}).samples;
    const std::vector<uint8_t> wav = WavOf(speech);
    const std::vector<uint8_t> raw(wav.begin() + 44, wav.end());
    EXPECT_FALSE(PsSoundByPoint(session, nullptr, 0, -1));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrInvalidArgument);
    PSSOUND empty{nullptr, 10};
    EXPECT_FALSE(PsSoundByPoint(session, &empty, 0, -1));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrInvalidArgument);
    const std::vector<uint8_t> odd(raw.begin(), raw.begin() + 1001);
    EXPECT_FALSE(ScoreMemory(odd));
    EXPECT_EQ(PsGetSessionErrCode(session), kErrSoundMalformed);

    ASSERT_TRUE(ScoreMemory(wav));
    const int fromWav = PsGetSentenceResult(session, PS_SENT_OVERALL);
    ASSERT_TRUE(ScoreMemory(raw));
    EXPECT_EQ(PsGetSentenceResult(session, PS_SENT_OVERALL), fromWav) << "a WAV and its bare samples score alike";
    EXPECT_GT(fromWav, 50);

    for (int w = 0; w < 4; ++w) {
        EXPECT_GE(PsGetWordResult(session, w, PS_WORD_SCORE), 0);
        EXPECT_LT(PsGetWordResult(session, w, PS_WORD_START), PsGetWordResult(session, w, PS_WORD_END));
        const int phonemes = PsGetResPhonemeCount(session, w);
        ASSERT_GT(phonemes, 0);
        for (int p = 0; p < phonemes; ++p) {
            const int64_t item = PsGetResPhonemeItem(session, w, p);
            const int score = static_cast<int>(item >> 32);
            EXPECT_GE(score, 0);
            EXPECT_LE(score, 100);
        }
        EXPECT_EQ(PsGetResPhonemeItem(session, w, phonemes) >> 32, -1);
    }
    EXPECT_EQ(PsGetWordResult(session, 0, 99), -1);
    EXPECT_EQ(PsGetSessionErrCode(session), kErrUnknownType);

    // Silence scores (nothing was said), but reports no effective speech.
    const std::vector<uint8_t> silence = WavOf(std::vector<int16_t>(16000, 0));
    ASSERT_TRUE(ScoreMemory(silence));
    EXPECT_EQ(PsGetSentenceResult(session, PS_SENT_OVERALL), 0);
    EXPECT_EQ(PsGetEffectiveData(session), 0u);
    EXPECT_EQ(PsGetSessionErrCode(session), kErrNoSpeech);
}
