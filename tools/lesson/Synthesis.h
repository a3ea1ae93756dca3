// Speech synthesis with espeak-ng: audio with the timing of every word and
// phoneme, and the phonemes with their stress marks. espeak-ng keeps global
// state, so one Synthesizer serves a process, from one thread.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace nelo::lesson {

struct VoiceSettings {
    std::string voice = "en-us";  // espeak-ng voice name, optionally "+variant"
    int wordsPerMinute = 160;
    int pitch = 50;               // 0..100
    int pitchRange = 50;          // 0..100
};

struct SynthPhoneme {
    std::string symbol;  // espeak-ng's ASCII mnemonic
    uint32_t begin = 0;  // samples at the synthesis rate
    uint32_t end = 0;
    size_t textPosition = 0;  // code-point index of the word it belongs to
};

struct SynthWord {
    size_t textPosition = 0;  // code-point index where the word starts
    size_t length = 0;        // code points
};

struct Synthesis {
    int sampleRate = 0;
    std::vector<int16_t> samples;
    std::vector<SynthWord> words;
    std::vector<SynthPhoneme> phonemes;  // pauses left out
};

// A phoneme with its stress as espeak-ng's phoneme transcription gives it.
struct StressedPhoneme {
    std::string symbol;
    int stress = 0;  // a kStress* value of the lesson format
};

class Synthesizer {
public:
    Synthesizer();  // throws std::runtime_error when espeak-ng cannot start
    Synthesis speak(const std::string& utf8, const VoiceSettings& v);
    // Per word of the text's transcription, its phonemes with stress.
    std::vector<std::vector<StressedPhoneme>> transcribe(const std::string& utf8, const std::string& voice);

private:
    void select(const VoiceSettings& v);
};

}  // namespace nelo::lesson
