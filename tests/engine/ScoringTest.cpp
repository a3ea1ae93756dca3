// Scoring behaviour on synthetic speech whose words and spans are known:
// right against wrong, a replaced or missing word, pauses, rate, times,
// strictness, silence.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ErrorCodes.h"
#include "Scorer.h"
#include "SessionState.h"
#include "support/TestData.h"

using namespace nelo;
using namespace nelo::test;

namespace {

// Learner voices unlike the reference's (120 Hz, speed 1, tract 1.0).
const Voice kLearners[] = {
    {190, 0.85, 1.10, 60, 11},
    {95, 1.25, 0.95, 0, 12},
    {150, 1.0, 1.05, 250, 13},
};

class Scoring : public ::testing::Test {
protected:
    void SetUp() override { lesson = PrepareLesson(DefaultLesson()); }

    ScoreResult Score(const std::vector<int16_t>& samples, uint32_t offsetMs = 0, int lengthMs = -1,
                      const uint8_t* ecode = nullptr, int rangeStart = 0, int rangeEnd = 3) {
        ScoreTicket t;
        t.lesson = lesson;
        EXPECT_EQ(DecodeECode(ecode, t.options), kOk);
        t.rangeStart = rangeStart;
        t.rangeEnd = rangeEnd;
        std::vector<int16_t> copy = samples;
        ScoreResult r;
        EXPECT_EQ(ScoreSamples(t, copy, offsetMs, lengthMs, r), kOk);
        return r;
    }

    static size_t Lowest(const ScoreResult& r) {
        size_t low = 0;
        for (size_t w = 1; w < r.words.size(); ++w)
            if (r.words[w].score < r.words[low].score) low = w;
        return low;
    }

    std::shared_ptr<const PreparedLesson> lesson;
};

std::vector<int16_t> Concat(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST_F(Scoring, TheSentenceScoresClearlyAboveAnotherSentenceAndSilence) {
    const std::vector<int16_t> quiet(32000, 0);
    const std::vector<int16_t> hiss = Speak({}, Voice{120, 1, 1, 400, 5}, 2.0, 0).samples;
    for (const Voice& v : kLearners) {
        const ScoreResult right = Score(Speak(DefaultWords(), v).samples);
        const ScoreResult other = Score(Speak(Words({"ushi", "taek", "emo", "fus"}), v).samples);
        EXPECT_GT(right.overall, 60) << v.pitchHz;
        EXPECT_GE(right.overall, other.overall + 25) << v.pitchHz;
        EXPECT_GT(right.accuracy, other.accuracy) << v.pitchHz;
        EXPECT_EQ(right.completeness, 100) << v.pitchHz;
    }
    for (const std::vector<int16_t>* nothing : {&quiet, &hiss}) {
        const ScoreResult r = Score(*nothing);
        EXPECT_EQ(r.overall, 0);
        EXPECT_EQ(r.speechMs, 0);
        EXPECT_EQ(r.completeness, 0);
        ASSERT_EQ(r.words.size(), 4u);
        for (size_t w = 0; w < 4; ++w) {
            EXPECT_FALSE(r.words[w].read);
            EXPECT_EQ(r.words[w].score, 0);
            EXPECT_EQ(r.words[w].phonemes.size(), lesson->lesson.items[w].pronunciations[0].size());
        }
    }
}

TEST_F(Scoring, AReplacedWordScoresLowest) {
    struct Case {
        size_t word;
        const char* replacement;
    } cases[] = {{0, "uma"}, {1, "tisa"}, {2, "fin"}, {3, "koshu"}};
    for (const Case& c : cases) {
        for (const Voice& v : kLearners) {
            std::vector<std::string> names = {"sai", "mushe", "kot", "faen"};
            names[c.word] = c.replacement;
            const ScoreResult r = Score(Speak(Words(names), v).samples);
            EXPECT_EQ(Lowest(r), c.word) << c.replacement << " at pitch " << v.pitchHz;
        }
    }
}

TEST_F(Scoring, AMissingWordIsNotReadAndCostsCompleteness) {
    const Voice v = kLearners[0];
    const ScoreResult r = Score(Speak(Words({"sai", "mushe", "faen"}), v).samples);
    EXPECT_FALSE(r.words[2].read);
    EXPECT_EQ(Lowest(r), 2u);
    EXPECT_EQ(r.completeness, 75);
    const ScoreResult full = Score(Speak(DefaultWords(), v).samples);
    EXPECT_LT(r.overall, full.overall);

    const uint8_t missedZero[8] = {0, 2, 0, 0, 0, 0, 0, 0};
    const ScoreResult zeroed = Score(Speak(Words({"sai", "mushe", "faen"}), v).samples, 0, -1, missedZero);
    EXPECT_EQ(zeroed.words[2].score, 0);
    for (const PhonemeResult& p : zeroed.words[2].phonemes) EXPECT_EQ(p.score, 0);
}

TEST_F(Scoring, WordTimesFollowTheLearnerAndTheOffset) {
    const Voice v{160, 0.8, 1.05, 0, 21};
    const SynthSentence s = Speak(DefaultWords(), v, 0.6, 0.4);
    const ScoreResult r = Score(s.samples);
    ASSERT_EQ(r.words.size(), 4u);
    for (size_t w = 0; w < 4; ++w) {
        const int trueStart = static_cast<int>(s.wordSpans[w].begin / 16), trueEnd = static_cast<int>(s.wordSpans[w].end / 16);
        EXPECT_NEAR(r.words[w].startMs, trueStart, 60) << w;
        EXPECT_NEAR(r.words[w].endMs, trueEnd, 60) << w;
    }
    EXPECT_NEAR(r.speechStartMs, 600, 40);
    EXPECT_NEAR(r.speechEndMs, static_cast<int>(s.wordSpans[3].end / 16), 40);

    // The same speech behind 500 ms of other sound, scored from offset 500:
    // the same result, every time 500 ms later.
    const std::vector<int16_t> lead = Speak(Words({"taek"}), v, 0.1, 0.1).samples;
    std::vector<int16_t> prefixed(lead.begin(), lead.begin() + 8000);
    prefixed = Concat(prefixed, s.samples);
    const ScoreResult shifted = Score(prefixed, 500, static_cast<int>(s.samples.size() / 16));
    EXPECT_EQ(shifted.overall, r.overall);
    for (size_t w = 0; w < 4; ++w) {
        EXPECT_EQ(shifted.words[w].startMs, r.words[w].startMs + 500);
        EXPECT_EQ(shifted.words[w].score, r.words[w].score);
    }
}

TEST_F(Scoring, PausesAndRateShowInFluency) {
    const Voice v = kLearners[2];
    const std::vector<SynthWord> words = DefaultWords();
    const std::vector<SynthWord> firstHalf(words.begin(), words.begin() + 2), secondHalf(words.begin() + 2, words.end());
    const ScoreResult fluent = Score(Speak(words, v).samples);
    const std::vector<int16_t> paused =
        Concat(Concat(Speak(firstHalf, v, 0.3, 0).samples, std::vector<int16_t>(16000 * 8 / 10, 0)),
               Speak(secondHalf, v, 0, 0.3).samples);
    const ScoreResult hesitant = Score(paused);
    EXPECT_EQ(fluent.pauses, 0);
    EXPECT_EQ(hesitant.pauses, 1);
    EXPECT_LT(hesitant.fluency, fluent.fluency);

    // A longer pause threshold in the e-code (1 s) no longer counts it.
    const uint8_t patient[8] = {0, 0, 100, 0, 0, 0, 0, 0};
    EXPECT_EQ(Score(paused, 0, -1, patient).pauses, 0);

    Voice slow = v;
    slow.speed = 0.45;
    const ScoreResult dragging = Score(Speak(words, slow).samples);
    EXPECT_LT(dragging.ratePercent, 60);
    EXPECT_LT(dragging.fluency, fluent.fluency);
    EXPECT_NEAR(fluent.ratePercent, 100, 25);
}

TEST_F(Scoring, StrictnessOrdersScores) {
    const std::vector<int16_t> samples = Speak(DefaultWords(), kLearners[1]).samples;
    int previous = 101;
    for (uint8_t level = 1; level <= 5; ++level) {
        const uint8_t ecode[8] = {level, 1, 0, 0, 0, 0, 0, 0};
        const int accuracy = Score(samples, 0, -1, ecode).accuracy;
        EXPECT_LE(accuracy, previous) << "strictness " << int(level);
        previous = accuracy;
    }
    const uint8_t lenient[8] = {1, 0, 0, 0, 0, 0, 0, 0}, strict[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_GT(Score(samples, 0, -1, lenient).accuracy, Score(samples, 0, -1, strict).accuracy);
}

TEST_F(Scoring, EffectiveDataIsTheSpeechFound) {
    const SynthSentence s = Speak(DefaultWords(), kLearners[0], 1.0, 1.0);
    const ScoreResult r = Score(s.samples);
    const double spoken = (s.wordSpans.back().end - s.wordSpans.front().begin) / 16.0;
    EXPECT_NEAR(r.speechMs, spoken, spoken * 0.15);
}

TEST_F(Scoring, ExtremeLengthsGiveResultsNotFaults) {
    // A minute of speech against the one-word range, and a blip against the
    // whole lesson: both are scored (poorly), nothing is read out of bounds.
    std::vector<int16_t> minute;
    while (minute.size() < 59 * 16000u) {
        const auto part = Speak(Words({"mushe", "kot", "faen", "sai"}), kLearners[2], 0.0, 0.0).samples;
        minute.insert(minute.end(), part.begin(), part.end());
    }
    minute.resize(59 * 16000);
    const ScoreResult longOne = Score(minute, 0, -1, nullptr, 2, 2);
    ASSERT_EQ(longOne.words.size(), 1u);
    EXPECT_LT(longOne.overall, 50);
    const std::vector<int16_t> blip = Speak(Words({"i"}), kLearners[0], 0.2, 0.2).samples;
    const ScoreResult shortOne = Score(blip);
    ASSERT_EQ(shortOne.words.size(), 4u);
    EXPECT_LT(shortOne.completeness, 50);
    for (const WordResult& w : shortOne.words) EXPECT_LE(w.startMs, w.endMs);
}

TEST_F(Scoring, CalibrationIsMonotonic) {
    int previous = 101;
    for (float cost = 0; cost < 12; cost += 0.25f) {
        const int s = CalibratedScore(cost, 3);
        EXPECT_LE(s, previous);
        EXPECT_GE(s, 0);
        previous = s;
    }
    EXPECT_EQ(CalibratedScore(0, 3), 100);
    EXPECT_EQ(CalibratedScore(20, 3), 0);
}
