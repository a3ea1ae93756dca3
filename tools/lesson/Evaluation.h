// The engine's quality measured on synthesised learners: voices, speeds,
// pitches and noise that the reference does not use, reading the lesson's
// sentence, the sentence with one word replaced, another sentence, and
// nothing at all. Prints the figures; returns a process exit status.
#pragma once
#include <string>

namespace nelo::lesson {

struct EvaluationOptions {
    std::string dumpDir;  // when set, every recording is written there as a WAV
    bool verbose = false;
    std::string set = "tuning";  // "tuning" (used while developing the engine) or "held-out"
};

int RunEvaluation(const EvaluationOptions& options);

}  // namespace nelo::lesson
