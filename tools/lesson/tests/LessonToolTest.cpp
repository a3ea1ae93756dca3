// The lesson tool's parts on real espeak-ng output: word splitting,
// resampling, lessons with stress and spans, teacher recordings, and the
// engine core scoring synthesised readings.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "ErrorCodes.h"
#include "LessonBuilder.h"
#include "LessonFormat.h"
#include "Resample.h"
#include "Scorer.h"
#include "SessionState.h"
#include "TextSplit.h"

using namespace nelo;
using namespace nelo::lesson;

namespace {

Synthesizer& Synth() {
    static Synthesizer s;
    return s;
}

std::string WordText(const Lesson& l, size_t i) { return l.text.substr(l.items[i].start, l.items[i].length); }

double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / (to - from));
}

ScoreResult ScoreWith(const Lesson& lesson, std::vector<int16_t> samples) {
    ScoreTicket t;
    t.lesson = PrepareLesson(Lesson(lesson));
    t.rangeEnd = static_cast<int>(lesson.items.size()) - 1;
    ScoreResult r;
    EXPECT_EQ(ScoreSamples(t, samples, 0, -1, r), kOk);
    return r;
}

}  // namespace

TEST(SplitWords, WordsAndTheirPositions) {
    struct Case {
        std::string text;
        std::vector<std::string> words;
        std::vector<size_t> utf16Starts;
    } cases[] = {
        {"Don't stop!", {"Don't", "stop"}, {0, 6}},
        {"'quoted' word", {"quoted", "word"}, {1, 9}},
        {"caf\xC3\xA9 au lait", {"caf\xC3\xA9", "au", "lait"}, {0, 5, 8}},
        {"a\xF0\x9F\x98\x80" "b c", {"a\xF0\x9F\x98\x80" "b", "c"}, {0, 5}},
        {"42 x-ray", {"42", "x", "ray"}, {0, 3, 5}},
        {"  ...  ", {}, {}},
        {"bad \xC3", {}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<TextWord> words = SplitWords(c.text);
        ASSERT_EQ(words.size(), c.words.size()) << c.text;
        for (size_t i = 0; i < words.size(); ++i) {
            EXPECT_EQ(words[i].text, c.words[i]) << c.text;
            EXPECT_EQ(words[i].utf16, c.utf16Starts[i]) << c.text;
        }
    }
    EXPECT_EQ(SplitWords("a\xF0\x9F\x98\x80" "b")[0].utf16Units, 4u) << "a character outside the BMP counts two units";
}

TEST(Resample, KeepsInBandTonesAndRemovesAliases) {
    auto tone = [](double hz) {
        std::vector<int16_t> s(22050);
        for (size_t i = 0; i < s.size(); ++i) s[i] = static_cast<int16_t>(10000 * std::sin(2 * 3.14159265358979 * hz * i / 22050));
        return s;
    };
    const std::vector<int16_t> in = ResampleTo16k(tone(1000), 22050);
    EXPECT_NEAR(static_cast<double>(in.size()), 16000, 2);
    int crossings = 0;
    for (size_t i = 1001; i < 15000; ++i) crossings += (in[i - 1] < 0) != (in[i] < 0);
    EXPECT_NEAR(crossings, 2 * 1000 * 13999 / 16000.0, 4) << "the tone keeps its frequency";
    EXPECT_NEAR(Rms(in, 1000, 15000), 10000 / std::sqrt(2.0), 250);
    const std::vector<int16_t> high = ResampleTo16k(tone(10000), 22050);
    EXPECT_LT(Rms(high, 1000, 15000), 350) << "10 kHz cannot exist at 16 kHz and must not fold back";
    EXPECT_EQ(MapSampleTo16k(22050, 22050), 16000u);
}

TEST(BuildLesson, WordsPhonemesStressAndSpans) {
    const Lesson l = BuildLesson(Synth(), "The children are reading books in the library.", VoiceSettings());
    ASSERT_EQ(l.items.size(), 8u);
    EXPECT_EQ(ValidateLesson(l), kOk);
    EXPECT_EQ(l.tone, Tone::Statement);
    for (size_t i = 0; i < l.items.size(); ++i) EXPECT_FALSE(l.items[i].pronunciations[0].empty()) << WordText(l, i);
    // espeak-ng speaks "in the" as one word; each still gets its own phonemes.
    EXPECT_EQ(WordText(l, 6), "the");
    EXPECT_EQ(PhonemeText(l.items[6].pronunciations[0][0]), "D");
    EXPECT_EQ(PhonemeText(l.items[5].pronunciations[0].back()), "n");
    for (size_t i : {1, 3, 4, 7}) EXPECT_TRUE(l.items[i].flags & kItemStatementStress) << WordText(l, i);
    for (size_t i : {0, 5, 6}) EXPECT_FALSE(l.items[i].flags & kItemStatementStress) << WordText(l, i);
    EXPECT_TRUE(l.items[7].flags & kItemStressWord);
    const std::vector<uint8_t> bytes = WriteLesson(l);
    Lesson back;
    EXPECT_EQ(ParseLesson(bytes.data(), bytes.size(), back).error, kOk);
}

TEST(BuildLesson, ToneAndRefusals) {
    EXPECT_EQ(BuildLesson(Synth(), "Is it raining?", VoiceSettings()).tone, Tone::Question);
    EXPECT_EQ(BuildLesson(Synth(), "What a day!", VoiceSettings()).tone, Tone::Exclamation);
    EXPECT_THROW(BuildLesson(Synth(), "?!...", VoiceSettings()), std::runtime_error);
    VoiceSettings unknown;
    unknown.voice = "no-such-voice";
    EXPECT_THROW(BuildLesson(Synth(), "Hello there.", unknown), std::runtime_error);
}

TEST(TeacherRecording, SpansFollowTheTeacher) {
    const std::string sentence = "We walked along the river after dinner.";
    const Lesson synthesised = BuildLesson(Synth(), sentence, VoiceSettings());
    VoiceSettings teacherVoice{"en-gb-x-rp", 125, 40, 50};
    // The teacher's true spans: a lesson made directly from the teacher's voice.
    const Lesson truth = BuildLesson(Synth(), sentence, teacherVoice);
    const Lesson aligned = WithTeacherRecording(synthesised, truth.samples);
    EXPECT_EQ(aligned.samples, truth.samples);
    ASSERT_EQ(aligned.items.size(), truth.items.size());
    for (size_t i = 0; i < aligned.items.size(); ++i) {
        EXPECT_NEAR(aligned.items[i].span.begin / 16.0, truth.items[i].span.begin / 16.0, 90) << WordText(aligned, i);
        EXPECT_NEAR(aligned.items[i].span.end / 16.0, truth.items[i].span.end / 16.0, 90) << WordText(aligned, i);
    }
    EXPECT_THROW(WithTeacherRecording(synthesised, std::vector<int16_t>(32000, 0)), std::runtime_error);
}

TEST(ScoringSynthesisedSpeech, RightReadingBeatsWrongAndFindsTheReplacedWord) {
    const Lesson lesson = BuildLesson(Synth(), "Please close the window before you leave.", VoiceSettings());
    const VoiceSettings learner{"en-gb-scotland", 145, 60, 50};
    const ScoreResult right = ScoreWith(lesson, Speak16k(Synth(), "Please close the window before you leave.", learner));
    const ScoreResult other = ScoreWith(lesson, Speak16k(Synth(), "The little dog is sleeping under the chair.", learner));
    const ScoreResult replaced = ScoreWith(lesson, Speak16k(Synth(), "Please close the door before you leave.", learner));
    EXPECT_GE(right.overall, other.overall + 20);
    int lowest = 0;
    for (size_t w = 1; w < replaced.words.size(); ++w)
        if (replaced.words[w].score < replaced.words[lowest].score) lowest = static_cast<int>(w);
    EXPECT_EQ(lowest, 3) << "\"door\" in place of \"window\"";
}
