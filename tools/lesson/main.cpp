// nelo-lesson: makes lessons for the NeloPS engine, shows them, scores
// recordings against them with the engine's own core, and runs the
// engine's evaluation.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "ErrorCodes.h"
#include "Evaluation.h"
#include "LessonBuilder.h"
#include "LessonFormat.h"
#include "Scorer.h"
#include "SessionState.h"
#include "WavFile.h"

using namespace nelo;
using namespace nelo::lesson;

namespace {

const char kUsage[] =
    "usage:\n"
    "  nelo-lesson make \"SENTENCE\" -o LESSON [--voice V] [--rate WPM] [--pitch P]\n"
    "                   [--teacher WAV] [--reference-wav WAV]\n"
    "      a lesson from a sentence; --teacher uses a teacher's 16 kHz mono recording\n"
    "      as the reference instead of the synthesised one; --reference-wav also\n"
    "      writes the reference recording\n"
    "  nelo-lesson speak \"TEXT\" -o WAV [--voice V] [--rate WPM] [--pitch P]\n"
    "      a 16 kHz mono recording of the text (test learners, demos)\n"
    "  nelo-lesson show LESSON\n"
    "  nelo-lesson score LESSON WAV [--range START END] [--ecode HEX16]\n"
    "  nelo-lesson evaluate [--set tuning|held-out] [--dump DIR] [--verbose]\n";

struct Args {
    std::vector<std::string> positional;
    std::string out, voice = "en-us", teacher, referenceWav, ecode, dump, set = "tuning";
    int rate = 160, pitch = 50, rangeStart = -1, rangeEnd = -1;
    bool verbose = false;
};

Args Parse(int argc, char** argv) {
    Args a;
    auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc) throw std::runtime_error(std::string("missing value after ") + argv[i]);
        return argv[++i];
    };
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-o") a.out = value(i);
        else if (arg == "--voice") a.voice = value(i);
        else if (arg == "--rate") a.rate = std::stoi(value(i));
        else if (arg == "--pitch") a.pitch = std::stoi(value(i));
        else if (arg == "--teacher") a.teacher = value(i);
        else if (arg == "--reference-wav") a.referenceWav = value(i);
        else if (arg == "--ecode") a.ecode = value(i);
        else if (arg == "--dump") a.dump = value(i);
        else if (arg == "--set") a.set = value(i);
        else if (arg == "--verbose") a.verbose = true;
        else if (arg == "--range") {
            a.rangeStart = std::stoi(value(i));
            a.rangeEnd = std::stoi(value(i));
        } else if (!arg.empty() && arg[0] == '-') throw std::runtime_error("unknown option " + arg);
        else a.positional.push_back(arg);
    }
    return a;
}

VoiceSettings VoiceOf(const Args& a) {
    VoiceSettings v;
    v.voice = a.voice;
    v.wordsPerMinute = a.rate;
    v.pitch = a.pitch;
    return v;
}

int Make(const Args& a) {
    if (a.positional.size() != 1 || a.out.empty()) throw std::runtime_error(kUsage);
    Synthesizer synth;
    Lesson lesson = BuildLesson(synth, a.positional[0], VoiceOf(a));
    if (!a.teacher.empty()) lesson = WithTeacherRecording(lesson, ReadWav16k(a.teacher));
    WriteFileBytes(a.out, WriteLesson(lesson));
    if (!a.referenceWav.empty()) WriteWav16k(a.referenceWav, lesson.samples);
    std::printf("%s: %zu words, %.2f s reference\n", a.out.c_str(), lesson.items.size(), lesson.samples.size() / 16000.0);
    return 0;
}

int Speak(const Args& a) {
    if (a.positional.size() != 1 || a.out.empty()) throw std::runtime_error(kUsage);
    Synthesizer synth;
    WriteWav16k(a.out, Speak16k(synth, a.positional[0], VoiceOf(a)));
    return 0;
}

Lesson Load(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadFileBytes(path);
    Lesson lesson;
    const ParseOutcome o = ParseLesson(bytes.data(), bytes.size(), lesson);
    if (o.error) throw std::runtime_error(path + ": " + ErrorText(o.error) + " (at byte " + std::to_string(o.offset) + ")");
    return lesson;
}

int Show(const Args& a) {
    if (a.positional.size() != 1) throw std::runtime_error(kUsage);
    const Lesson lesson = Load(a.positional[0]);
    static const char* kTones[] = {"statement", "question", "exclamation"};
    std::printf("text: %s\ntone: %s\nreference: %.2f s\n", lesson.text.c_str(), kTones[static_cast<int>(lesson.tone)],
                lesson.samples.size() / 16000.0);
    static const char* kStress[] = {"", "-", ",", "'"};
    for (size_t i = 0; i < lesson.items.size(); ++i) {
        const LessonItem& it = lesson.items[i];
        std::printf("%2zu [%u+%u]%s%s %6.3f-%6.3f s:", i, it.start, it.length,
                    it.flags & kItemStatementStress ? " stressed" : "", it.flags & kItemStressWord ? " nucleus" : "",
                    it.span.begin / 16000.0, it.span.end / 16000.0);
        for (uint32_t code : it.pronunciations[0])
            std::printf(" %s%s", kStress[PhonemeStress(code)], PhonemeText(code).c_str());
        std::printf("\n");
    }
    return 0;
}

int ScoreFile(const Args& a) {
    if (a.positional.size() != 2) throw std::runtime_error(kUsage);
    const std::vector<uint8_t> bytes = ReadFileBytes(a.positional[0]);
    SessionState session;
    int err = session.loadLesson(bytes.data(), static_cast<int>(bytes.size()));
    if (err) throw std::runtime_error(a.positional[0] + ": " + ErrorText(err));
    if (!a.ecode.empty()) {
        if (a.ecode.size() != 16) throw std::runtime_error("an e-code is 16 hexadecimal digits");
        uint8_t code[8];
        for (int i = 0; i < 8; ++i) code[i] = static_cast<uint8_t>(std::stoul(a.ecode.substr(2 * i, 2), nullptr, 16));
        if ((err = session.setECode(code))) throw std::runtime_error(ErrorText(err));
    }
    if (a.rangeStart >= 0 && !session.setRange(a.rangeStart, a.rangeEnd, err)) throw std::runtime_error(ErrorText(err));
    std::vector<int16_t> samples = ReadWav16k(a.positional[1]);
    ScoreTicket ticket;
    session.beginScore(ticket, err);
    ScoreResult result;
    if ((err = ScoreSamples(ticket, samples, 0, -1, result))) throw std::runtime_error(ErrorText(err));
    std::printf("overall %d accuracy %d fluency %d completeness %d rate %d%% pauses %d speech %d ms (%d-%d ms) cost %.3f warp %.2f\n",
                result.overall, result.accuracy, result.fluency, result.completeness, result.ratePercent, result.pauses,
                result.speechMs, result.speechStartMs, result.speechEndMs, result.meanCost, result.warp);
    const Lesson& lesson = ticket.lesson->lesson;
    for (size_t k = 0; k < result.words.size(); ++k) {
        const WordResult& w = result.words[k];
        const LessonItem& it = lesson.items[result.rangeStart + k];
        std::printf("  %-14s %3d %s %5d-%5d ms:", lesson.text.substr(it.start, it.length).c_str(), w.score,
                    w.read ? "read  " : "missed", w.startMs, w.endMs);
        for (const PhonemeResult& p : w.phonemes) std::printf(" %s=%d", PhonemeText(p.code).c_str(), p.score);
        std::printf("\n");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        const std::string command = argv[1];
        const Args a = Parse(argc, argv);
        if (command == "make") return Make(a);
        if (command == "speak") return Speak(a);
        if (command == "show") return Show(a);
        if (command == "score") return ScoreFile(a);
        if (command == "evaluate") {
            EvaluationOptions o;
            o.dumpDir = a.dump;
            o.verbose = a.verbose;
            o.set = a.set;
            return RunEvaluation(o);
        }
        std::fputs(kUsage, stderr);
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nelo-lesson: %s\n", e.what());
        return 1;
    }
}
