// Scoring speed of NeloPS.dll: one 5 s recording scored again and again on
// one thread, then 16 jobs at once, as the control's score threads run them.
// Prints figures; never fails on speed.
//
//   engine_bench [--lesson FILE --wav FILE] [--rounds N]
//
// Without files it builds a synthetic lesson and a 5 s learner recording; with
// them it scores a lesson from nelo-lesson against a real recording.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "NeloPS.h"
#include "support/SyntheticSpeech.h"
#include "support/TestData.h"
#include "support/Win32Thread.h"

using namespace nelo;
using namespace nelo::test;

namespace {

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * t.QuadPart / frequency.QuadPart;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return bytes;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

// Twelve synthetic words, about five seconds with the learner's pauses.
std::vector<SynthWord> BenchWords() {
    return Words({"sai", "mushe", "kot", "faen", "tisa", "nomu", "shek", "ufi", "maki", "seto", "kaen", "fushi", "tomae", "nisu"});
}

// CPU time of the calling thread, ms. Wine counts it in clock ticks, so it
// is read around many scores, not one.
double ThreadCpuMs() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& f) { return ((static_cast<uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 10000.0; };
    return ms(kernel) + ms(user);
}

struct Stats {
    double min, median, mean, max;
};

Stats Describe(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    return Stats{v.front(), v[v.size() / 2], sum / v.size(), v.back()};
}

}  // namespace

int main(int argc, char** argv) {
    std::string lessonPath, wavPath;
    int rounds = 40;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--lesson")) lessonPath = argv[i + 1];
        else if (!std::strcmp(argv[i], "--wav")) wavPath = argv[i + 1];
        else if (!std::strcmp(argv[i], "--rounds")) rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    std::vector<uint8_t> lesson, wav;
    if (!lessonPath.empty() && !wavPath.empty()) {
        lesson = ReadAll(lessonPath);
        wav = ReadAll(wavPath);
    } else {
        lesson = WriteLesson(MakeLesson(BenchWords()));
        std::vector<int16_t> learner = Speak(BenchWords(), Voice{170, 0.95, 1.06, 40, 9}, 0.3, 0.3).samples;
        learner.resize(5 * 16000, 0);  // exactly five seconds
        wav = WavOf(learner);
    }
    const double seconds = (wav.size() - 44) / 32000.0;
    const int session = PsStartSession();
    if (!session || PsLoadNet(session, lesson.data(), static_cast<int>(lesson.size())) != 0) {
        std::fprintf(stderr, "engine_bench: the lesson did not load (error %d)\n", PsGetSessionErrCode(session));
        return 1;
    }
    PSSOUND sound{wav.data(), static_cast<uint32_t>(wav.size())};
    if (!PsSoundByPoint(session, &sound, 0, -1)) {
        std::fprintf(stderr, "engine_bench: scoring failed (error %d)\n", PsGetSessionErrCode(session));
        return 1;
    }
    std::printf("NeloPS %d, recording %.2f s, overall score %d\n", PsGetEngineVer(), seconds,
                PsGetSentenceResult(session, PS_SENT_OVERALL));

    std::vector<double> single;
    const double cpu0 = ThreadCpuMs();
    for (int r = 0; r < rounds; ++r) {
        const double t0 = NowMs();
        PsSoundByPoint(session, &sound, 0, -1);
        single.push_back(NowMs() - t0);
    }
    const double cpuPerScore = (ThreadCpuMs() - cpu0) / rounds;
    const Stats s = Describe(single);
    std::printf("one thread, %d scores of %.1f s: wall min %.2f ms, median %.2f ms, mean %.2f ms, max %.2f ms; "
                "CPU %.2f ms per score\n", rounds, seconds, s.min, s.median, s.mean, s.max, cpuPerScore);
    std::printf("  faster than real time: %.0fx (wall median), %.0fx (CPU)\n", seconds * 1000.0 / s.median,
                seconds * 1000.0 / std::max(cpuPerScore, 0.001));

    const int jobs = 16;
    std::atomic<int> failures{0};
    std::vector<double> latency(jobs);
    const double t0 = NowMs();
    {
        std::vector<std::unique_ptr<Win32Thread>> threads;
        for (int j = 0; j < jobs; ++j)
            threads.emplace_back(new Win32Thread([&, j] {
                // Half the jobs share the session, half have their own, as scripts do both.
                int own = 0;
                if (j % 2) {
                    own = PsStartSession();
                    if (PsLoadNet(own, lesson.data(), static_cast<int>(lesson.size())) != 0) ++failures;
                }
                const double start = NowMs();
                if (!PsSoundByPoint(own ? own : session, &sound, 0, -1)) ++failures;
                latency[j] = NowMs() - start;
                if (own) PsEndSession(own);
            }));
        for (auto& th : threads)
            if (!th->join()) ++failures;
    }
    const double wall = NowMs() - t0;
    const Stats l = Describe(latency);
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    std::printf("%d jobs at once on %lu processors: all done in %.1f ms, per job median %.1f ms, max %.1f ms, failures %d\n",
                jobs, info.dwNumberOfProcessors, wall, l.median, l.max, failures.load());
    PsEndSession(session);
    return failures.load() == 0 ? 0 : 1;
}
