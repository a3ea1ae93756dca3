#include "Synthesis.h"

#include <espeak-ng/speak_lib.h>

#include <cstring>
#include <stdexcept>

#include "Lesson.h"

namespace nelo::lesson {
namespace {

struct Capture {
    Synthesis* out = nullptr;
    size_t currentWord = 0;
    bool pendingPhoneme = false;
};

Capture g_capture;

bool IsPause(const char* symbol) { return symbol[0] == '_' || symbol[0] == 0; }

void ClosePending(uint32_t at) {
    if (!g_capture.pendingPhoneme) return;
    SynthPhoneme& last = g_capture.out->phonemes.back();
    last.end = at > last.begin ? at : last.begin + 1;
    g_capture.pendingPhoneme = false;
}

int OnSynth(short* wav, int count, espeak_EVENT* events) {
    Synthesis& s = *g_capture.out;
    if (wav && count > 0) s.samples.insert(s.samples.end(), wav, wav + count);
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        const uint32_t at = static_cast<uint32_t>(e->sample);
        switch (e->type) {
        case espeakEVENT_WORD:
            ClosePending(at);
            s.words.push_back(SynthWord{static_cast<size_t>(e->text_position > 0 ? e->text_position - 1 : 0),
                                        static_cast<size_t>(e->length)});
            break;
        case espeakEVENT_PHONEME: {
            ClosePending(at);
            char symbol[9] = {};
            std::memcpy(symbol, e->id.string, 8);
            if (IsPause(symbol) || s.words.empty()) break;
            s.phonemes.push_back(SynthPhoneme{symbol, at, at, s.words.back().textPosition});
            g_capture.pendingPhoneme = true;
            break;
        }
        case espeakEVENT_END:
        case espeakEVENT_MSG_TERMINATED:
        case espeakEVENT_SENTENCE:
            ClosePending(at);
            break;
        default:
            break;
        }
    }
    return 0;
}

int StressOfMark(char c) {
    switch (c) {
    case '\'': return kStressPrimary;
    case ',': return kStressSecondary;
    case '%': case '=': return kStressUnstressed;
    default: return -1;
    }
}

// espeak-ng's English vowels all begin with one of these; a vowel without a
// mark is an unstressed syllable.
bool IsVowelSymbol(const std::string& s) {
    return !s.empty() && std::strchr("aeiouAEIOUV@30", s[0]) != nullptr;
}

// espeak-ng picks the nearest voice for any language asked for; only an
// exact language of the chosen voice counts as found. Its language list is
// pairs of a priority byte and a terminated name, ended by a zero byte.
bool SpeaksLanguage(const espeak_VOICE* voice, const std::string& language) {
    if (!voice || !voice->languages) return false;
    for (const char* p = voice->languages; *p; p += 1 + std::strlen(p + 1) + 1)
        if (language == p + 1) return true;
    return false;
}

}  // namespace

Synthesizer::Synthesizer() {
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr,
                                       espeakINITIALIZE_PHONEME_EVENTS | espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) throw std::runtime_error("espeak-ng could not start");
    espeak_SetSynthCallback(OnSynth);
}

void Synthesizer::select(const VoiceSettings& v) {
    // Names are voice files ("en-us", "en-gb-scotland", with "+variant");
    // a bare language such as "en-gb" is found by its language instead.
    if (espeak_SetVoiceByName(v.voice.c_str()) != EE_OK) {
        espeak_VOICE wanted = {};
        wanted.languages = v.voice.c_str();
        if (v.voice.find('+') != std::string::npos || espeak_SetVoiceByProperties(&wanted) != EE_OK ||
            !SpeaksLanguage(espeak_GetCurrentVoice(), v.voice))
            throw std::runtime_error("unknown espeak-ng voice: " + v.voice);
    }
    espeak_SetParameter(espeakRATE, v.wordsPerMinute, 0);
    espeak_SetParameter(espeakPITCH, v.pitch, 0);
    espeak_SetParameter(espeakRANGE, v.pitchRange, 0);
}

Synthesis Synthesizer::speak(const std::string& utf8, const VoiceSettings& v) {
    select(v);
    Synthesis out;
    out.sampleRate = 22050;
    g_capture = Capture{&out, 0, false};
    if (espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr) != EE_OK)
        throw std::runtime_error("espeak-ng could not synthesise the text");
    espeak_Synchronize();
    ClosePending(static_cast<uint32_t>(out.samples.size()));
    g_capture = Capture{};
    for (SynthPhoneme& p : out.phonemes)
        if (p.end > out.samples.size()) p.end = static_cast<uint32_t>(out.samples.size());
    return out;
}

std::vector<std::vector<StressedPhoneme>> Synthesizer::transcribe(const std::string& utf8, const std::string& voice) {
    VoiceSettings v;
    v.voice = voice;
    select(v);
    std::vector<std::vector<StressedPhoneme>> words;
    const void* cursor = utf8.c_str();
    while (cursor) {
        const char* clause = espeak_TextToPhonemes(&cursor, espeakCHARS_UTF8, espeakPHONEMES_SHOW | ('|' << 8));
        if (!clause) break;
        std::vector<StressedPhoneme> word;
        int pendingStress = -1;
        std::string symbol;
        auto flush = [&]() {
            if (symbol.empty()) return;
            int stress = pendingStress >= 0 ? pendingStress : (IsVowelSymbol(symbol) ? kStressUnstressed : kStressNone);
            word.push_back(StressedPhoneme{symbol, stress});
            symbol.clear();
            pendingStress = -1;
        };
        for (const char* c = clause; *c; ++c) {
            if (*c == ' ' || *c == '|') {
                flush();
                if (*c == ' ' && !word.empty()) {
                    words.push_back(word);
                    word.clear();
                }
            } else if (symbol.empty() && StressOfMark(*c) >= 0) {
                pendingStress = StressOfMark(*c);
            } else {
                symbol += *c;
            }
        }
        flush();
        if (!word.empty()) words.push_back(word);
    }
    return words;
}

}  // namespace nelo::lesson
