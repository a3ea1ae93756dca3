// Speech-like test signals without a synthesiser: vowels from a pulse train
// through formant resonators, fricatives from filtered noise, stops as a
// closure and a burst. Words are phone sequences, so tests can build a lesson
// whose spans are known exactly and "learners" that differ in pitch, speed,
// vocal tract and noise, or that say another word.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "Lesson.h"

namespace nelo::test {

struct Voice {
    double pitchHz = 120;
    double speed = 1.0;        // >1 speaks faster
    double formantScale = 1.0; // vocal tract length
    double noiseLevel = 0;     // added white noise, in sample units
    unsigned seed = 1;
};

struct SynthWord {
    std::string text;
    std::vector<std::string> phones;  // from the table in SyntheticSpeech.cpp: a e i o u ae er s sh f t k m n
};

struct SynthSentence {
    std::vector<int16_t> samples;
    std::vector<SampleSpan> wordSpans;
    std::vector<std::vector<SampleSpan>> phoneSpans;
};

SynthSentence Speak(const std::vector<SynthWord>& words, const Voice& voice, double leadSeconds = 0.3,
                    double tailSeconds = 0.3);

// A lesson whose reference is the words spoken by `voice`.
Lesson MakeLesson(const std::vector<SynthWord>& words, const Voice& voice = Voice());

// Words by name: "sai", "ushe", ... each letter group a phone (see the .cpp).
std::vector<SynthWord> Words(const std::vector<std::string>& names);

}  // namespace nelo::test
