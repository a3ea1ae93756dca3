#include "Evaluation.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <vector>

#include <unistd.h>
#include <cstdlib>
#include <stdexcept>

#include "LessonBuilder.h"
#include "LessonFormat.h"
#include "Scorer.h"
#include "SessionState.h"
#include "TextSplit.h"
#include "WavFile.h"

namespace nelo::lesson {
namespace {

struct Sentence {
    const char* text;
    int replacedWord;         // index of the word that (b) replaces
    const char* replacement;
};

// The set the engine was developed against.
const Sentence kTuningSentences[] = {
    {"The weather is nice today.", 3, "cold"},
    {"She sells fresh bread every morning.", 3, "fish"},
    {"My brother plays the guitar very well.", 4, "piano"},
    {"We walked along the river after dinner.", 4, "beach"},
    {"Please close the window before you leave.", 3, "door"},
    {"The children are reading books in the library.", 4, "comics"},
    {"I would like a cup of hot coffee.", 7, "soup"},
    {"Our train leaves at seven in the morning.", 4, "nine"},
    {"He forgot his keys on the kitchen table.", 3, "phone"},
    {"They are planning a trip to the mountains.", 4, "party"},
    {"The little dog is sleeping under the chair.", 2, "cat"},
    {"Can you help me carry these heavy boxes?", 4, "open"},
};

// A held-out set, never used while choosing the engine's methods and
// constants: other sentences, other voices and settings.
const Sentence kHeldOutSentences[] = {
    {"My sister bought a new bicycle last week.", 5, "camera"},
    {"The museum opens at nine on Sundays.", 5, "noon"},
    {"Please write your name at the top of the page.", 3, "address"},
    {"We could hear the birds singing in the garden.", 5, "children"},
    {"The soup was too hot to eat.", 1, "tea"},
    {"He runs five kilometres every Saturday.", 2, "three"},
    {"Turn left at the next traffic light.", 4, "corner"},
    {"Our teacher gave us a difficult test.", 5, "short"},
    {"The baby is sleeping in the other room.", 1, "puppy"},
    {"I left my umbrella on the bus.", 3, "jacket"},
    {"They moved to a small town near the sea.", 5, "village"},
    {"Do you want milk or sugar in your tea?", 3, "honey"},
};


const VoiceSettings kReferenceVoice{"en-us", 160, 50, 50};

struct Learner {
    const char* name;
    VoiceSettings voice;
    double snrDb;                          // added white noise; 0 = none
    const char* festivalVoice = nullptr;   // spoken by festival's text2wave instead of espeak-ng
};

// None of these is the reference's voice and settings.
const Learner kTuningLearners[] = {
    {"en-gb 150wpm", {"en-gb", 150, 45, 50}, 0},
    {"en-gb-scotland 170wpm p60", {"en-gb-scotland", 170, 60, 60}, 0},
    {"en-029 140wpm p40", {"en-029", 140, 40, 40}, 0},
    {"en-us+f3 175wpm p70", {"en-us+f3", 175, 70, 60}, 0},
    {"en-gb-x-rp+m3 130wpm snr20", {"en-gb-x-rp+m3", 130, 35, 50}, 20},
    {"en-us-nyc+klatt2 185wpm", {"en-us-nyc+klatt2", 185, 55, 70}, 0},
    {"en-gb-x-gbclan+f2 155wpm snr15", {"en-gb-x-gbclan+f2", 155, 65, 40}, 15},
    {"en-us+m7 120wpm", {"en-us+m7", 120, 45, 30}, 0},
    // Voices built from recordings of people, closer to real learners.
    {"festival kal (diphone, male)", {}, 0, "kal_diphone"},
    {"festival slt (HTS, female) snr20", {}, 20, "cmu_us_slt_arctic_hts"},
};

const Learner kHeldOutLearners[] = {
    {"en-gb-x-gbcwmd 160wpm p55", {"en-gb-x-gbcwmd", 160, 55, 50}, 0},
    {"en-us+f1 150wpm p65 snr18", {"en-us+f1", 150, 65, 55}, 18},
    {"en-gb-scotland+m2 135wpm", {"en-gb-scotland+m2", 135, 40, 45}, 0},
    {"en-029+f4 165wpm", {"en-029+f4", 165, 75, 60}, 0},
    {"en-us-nyc+m5 200wpm snr25", {"en-us-nyc+m5", 200, 50, 50}, 25},
    {"en-gb-x-rp+klatt3 145wpm", {"en-gb-x-rp+klatt3", 145, 45, 40}, 0},
    {"festival ked (diphone, male)", {}, 0, "ked_diphone"},
};

template <class T, size_t N>
std::vector<T> ListOf(const T (&a)[N]) { return std::vector<T>(a, a + N); }


bool HaveFestival() {
    static const bool have = std::system("command -v text2wave >/dev/null 2>&1") == 0;
    return have;
}

// festival's text2wave, at 16 kHz, through a temporary file.
std::vector<int16_t> SpeakFestival(const std::string& voice, const std::string& text) {
    char textPath[] = "/tmp/nelo-eval-text-XXXXXX";
    const int fd = mkstemp(textPath);
    if (fd < 0) throw std::runtime_error("no temporary file");
    const ssize_t written = write(fd, text.data(), text.size());
    close(fd);
    const std::string wavPath = std::string(textPath) + ".wav";
    const std::string command = "text2wave -F 16000 -eval '(voice_" + voice + ")' -o " + wavPath + " " + textPath + " 2>/dev/null";
    const int status = written == static_cast<ssize_t>(text.size()) ? std::system(command.c_str()) : -1;
    unlink(textPath);
    if (status != 0) throw std::runtime_error("text2wave failed for voice " + voice);
    std::vector<int16_t> samples = ReadWav16k(wavPath);
    unlink(wavPath.c_str());
    return samples;
}

std::vector<int16_t> Pad(const std::vector<int16_t>& speech, size_t before, size_t after) {
    std::vector<int16_t> out(before, 0);
    out.insert(out.end(), speech.begin(), speech.end());
    out.insert(out.end(), after, 0);
    return out;
}

void AddNoise(std::vector<int16_t>& s, double level, std::mt19937& rng) {
    std::normal_distribution<double> noise(0.0, level);
    for (int16_t& x : s) x = static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, x + noise(rng))));
}

double Rms(const std::vector<int16_t>& s) {
    double sum = 0;
    size_t n = 0;
    for (int16_t x : s)
        if (x != 0) { sum += static_cast<double>(x) * x; ++n; }
    return n ? std::sqrt(sum / n) : 0;
}

std::string Replace(const std::string& text, int word, const std::string& with) {
    const std::vector<TextWord> words = SplitWords(text);
    const TextWord& w = words.at(static_cast<size_t>(word));
    return text.substr(0, w.codePoint) + with + text.substr(w.codePoint + w.codePoints);
}

struct Scored {
    int overall = 0;
    std::vector<int> wordScores;
};

Scored Score(SessionState& session, std::vector<int16_t> samples) {
    ScoreTicket ticket;
    int err = 0;
    session.beginScore(ticket, err);
    ScoreResult result;
    ScoreSamples(ticket, samples, 0, -1, result);
    session.finishScore(ticket, std::move(result), err);
    Scored s;
    s.overall = session.sentenceResult(0, err);
    for (int w = 0, n = session.splitCount(err); w < n; ++w) s.wordScores.push_back(session.wordResult(w, 0, err));
    return s;
}

double Auc(const std::vector<int>& positives, const std::vector<int>& negatives) {
    double wins = 0;
    for (int p : positives)
        for (int n : negatives) wins += p > n ? 1.0 : p == n ? 0.5 : 0.0;
    return wins / (static_cast<double>(positives.size()) * negatives.size());
}

struct Stats {
    double mean = 0, sd = 0;
    int min = 0, max = 0;
};

Stats Describe(const std::vector<int>& v) {
    Stats s;
    if (v.empty()) return s;
    s.min = *std::min_element(v.begin(), v.end());
    s.max = *std::max_element(v.begin(), v.end());
    for (int x : v) s.mean += x;
    s.mean /= v.size();
    for (int x : v) s.sd += (x - s.mean) * (x - s.mean);
    s.sd = std::sqrt(s.sd / v.size());
    return s;
}

}  // namespace

int RunEvaluation(const EvaluationOptions& options) {
    const bool heldOut = options.set == "held-out";
    if (!heldOut && options.set != "tuning") {
        std::fprintf(stderr, "unknown evaluation set %s (tuning or held-out)\n", options.set.c_str());
        return 2;
    }
    const std::vector<Sentence> kSentences = heldOut ? ListOf(kHeldOutSentences) : ListOf(kTuningSentences);
    const std::vector<Learner> kLearners = heldOut ? ListOf(kHeldOutLearners) : ListOf(kTuningLearners);
    const int kSentenceCount = static_cast<int>(kSentences.size()), kLearnerCount = static_cast<int>(kLearners.size());
    Synthesizer synth;
    std::mt19937 rng(12345);
    std::vector<int> correct, replacedOverall, other, silent;
    std::map<int, std::vector<int>> correctByLearner;
    int replacedLowest = 0, replacedLowestOrTied = 0, replacedTrials = 0;
    double spreadSum = 0, rangeSum = 0;

    auto dump = [&](const std::string& name, const std::vector<int16_t>& s) {
        if (!options.dumpDir.empty()) WriteWav16k(options.dumpDir + "/" + name + ".wav", s);
    };

    for (int si = 0; si < kSentenceCount; ++si) {
        const Sentence& sentence = kSentences[si];
        const std::vector<uint8_t> bytes = WriteLesson(BuildLesson(synth, sentence.text, kReferenceVoice));
        SessionState session;
        if (session.loadLesson(bytes.data(), static_cast<int>(bytes.size())) != 0) {
            std::fprintf(stderr, "lesson %d did not load\n", si);
            return 2;
        }
        const std::string replacedText = Replace(sentence.text, sentence.replacedWord, sentence.replacement);
        const char* otherText = kSentences[(si + 1) % kSentenceCount].text;
        std::vector<int> perSentence;
        for (int li = 0; li < kLearnerCount; ++li) {
            const Learner& learner = kLearners[li];
            if (learner.festivalVoice && !HaveFestival()) continue;
            auto record = [&](const std::string& text) {
                std::vector<int16_t> s = Pad(learner.festivalVoice ? SpeakFestival(learner.festivalVoice, text)
                                                                   : Speak16k(synth, text, learner.voice),
                                             6400, 8000);
                if (learner.snrDb > 0) AddNoise(s, Rms(s) / std::pow(10.0, learner.snrDb / 20.0), rng);
                return s;
            };
            const std::string tag = "s" + std::to_string(si) + "_l" + std::to_string(li);
            std::vector<int16_t> a = record(sentence.text), b = record(replacedText), c = record(otherText);
            dump(tag + "_a", a);
            dump(tag + "_b", b);
            dump(tag + "_c", c);
            const Scored sa = Score(session, a), sb = Score(session, b), sc = Score(session, c);
            correct.push_back(sa.overall);
            perSentence.push_back(sa.overall);
            correctByLearner[li].push_back(sa.overall);
            replacedOverall.push_back(sb.overall);
            other.push_back(sc.overall);

            const int target = sb.wordScores[sentence.replacedWord];
            int below = 0, tied = 0;
            for (size_t w = 0; w < sb.wordScores.size(); ++w) {
                if (static_cast<int>(w) == sentence.replacedWord) continue;
                below += sb.wordScores[w] < target;
                tied += sb.wordScores[w] == target;
            }
            ++replacedTrials;
            replacedLowest += below == 0 && tied == 0;
            replacedLowestOrTied += below == 0;
            if (options.verbose) {
                std::printf("s%-2d %-32s a=%3d c=%3d b=%3d words:", si, learner.name, sa.overall, sc.overall, sb.overall);
                for (size_t w = 0; w < sb.wordScores.size(); ++w)
                    std::printf(static_cast<int>(w) == sentence.replacedWord ? " [%d]" : " %d", sb.wordScores[w]);
                std::printf("\n");
            }
        }
        // Nothing said: digital silence with a faint hiss, and steady louder noise.
        std::vector<int16_t> quiet(48000, 0), noise(48000, 0);
        AddNoise(quiet, 3.0, rng);
        AddNoise(noise, 1000.0, rng);
        dump("s" + std::to_string(si) + "_d_quiet", quiet);
        dump("s" + std::to_string(si) + "_d_noise", noise);
        silent.push_back(Score(session, quiet).overall);
        silent.push_back(Score(session, noise).overall);
        const Stats st = Describe(perSentence);
        spreadSum += st.sd;
        rangeSum += st.max - st.min;
    }

    std::vector<int> negatives = other;
    negatives.insert(negatives.end(), silent.begin(), silent.end());
    const Stats a = Describe(correct), b = Describe(replacedOverall), c = Describe(other), d = Describe(silent);
    std::printf("Evaluation, %s set: %d sentences, %zu learner voices (reference: espeak-ng %s %d wpm)\n",
                options.set.c_str(), kSentenceCount, correctByLearner.size(), kReferenceVoice.voice.c_str(),
                kReferenceVoice.wordsPerMinute);
    if (!HaveFestival()) std::printf("  (festival's text2wave is not installed: its voices were left out)\n");
    std::printf("  overall score           mean    sd  min  max   n\n");
    std::printf("  (a) the sentence       %5.1f %5.1f  %3d  %3d %3zu\n", a.mean, a.sd, a.min, a.max, correct.size());
    std::printf("  (b) one word replaced  %5.1f %5.1f  %3d  %3d %3zu\n", b.mean, b.sd, b.min, b.max, replacedOverall.size());
    std::printf("  (c) another sentence   %5.1f %5.1f  %3d  %3d %3zu\n", c.mean, c.sd, c.min, c.max, other.size());
    std::printf("  (d) silence or noise   %5.1f %5.1f  %3d  %3d %3zu\n", d.mean, d.sd, d.min, d.max, silent.size());
    std::printf("ROC AUC (a) vs (c)+(d): %.3f   [(a) vs (c): %.3f, (a) vs (d): %.3f]   target >= 0.95\n",
                Auc(correct, negatives), Auc(correct, other), Auc(correct, silent));
    std::printf("Replaced word has the lowest word score: %.1f %% (%d of %d; %.1f %% counting ties)   target >= 80 %%\n",
                100.0 * replacedLowest / replacedTrials, replacedLowest, replacedTrials,
                100.0 * replacedLowestOrTied / replacedTrials);
    std::printf("Spread of (a) across voices: mean per-sentence sd %.1f, mean per-sentence range %.1f points\n",
                spreadSum / kSentenceCount, rangeSum / kSentenceCount);
    for (int li = 0; li < kLearnerCount; ++li) {
        if (!correctByLearner.count(li)) continue;
        const Stats s = Describe(correctByLearner[li]);
        std::printf("  %-34s (a) mean %5.1f  min %3d  max %3d\n", kLearners[li].name, s.mean, s.min, s.max);
    }
    return 0;
}

}  // namespace nelo::lesson
