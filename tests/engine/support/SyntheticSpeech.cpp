#include "SyntheticSpeech.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace nelo::test {
namespace {

constexpr double kRate = 16000.0;
constexpr double kPi = 3.14159265358979323846;

enum class Kind { Vowel, Nasal, Fricative, Stop };

struct Phone {
    Kind kind;
    double f1, f2, f3;  // formants (vowels, nasals) or band centre/width (fricatives: f1, f2)
    double seconds;
};

const std::map<std::string, Phone>& Phones() {
    static const std::map<std::string, Phone> table = {
        {"a", {Kind::Vowel, 730, 1090, 2440, 0.16}},  {"e", {Kind::Vowel, 530, 1840, 2480, 0.14}},
        {"i", {Kind::Vowel, 270, 2290, 3010, 0.14}},  {"o", {Kind::Vowel, 570, 840, 2410, 0.16}},
        {"u", {Kind::Vowel, 300, 870, 2240, 0.15}},   {"ae", {Kind::Vowel, 660, 1720, 2410, 0.16}},
        {"er", {Kind::Vowel, 490, 1350, 1690, 0.15}}, {"m", {Kind::Nasal, 280, 1000, 2200, 0.08}},
        {"n", {Kind::Nasal, 280, 1700, 2600, 0.08}},  {"s", {Kind::Fricative, 5500, 2000, 0, 0.12}},
        {"sh", {Kind::Fricative, 3000, 1200, 0, 0.12}}, {"f", {Kind::Fricative, 2000, 3500, 0, 0.10}},
        {"t", {Kind::Stop, 4000, 2500, 0, 0.07}},     {"k", {Kind::Stop, 1800, 1000, 0, 0.08}},
    };
    return table;
}

// Two-pole resonator.
struct Resonator {
    double a1 = 0, a2 = 0, gain = 1, y1 = 0, y2 = 0;
    Resonator(double freq, double bandwidth) {
        const double r = std::exp(-kPi * bandwidth / kRate);
        a1 = 2 * r * std::cos(2 * kPi * freq / kRate);
        a2 = -r * r;
        gain = 1 - r;
    }
    double step(double x) {
        const double y = gain * x + a1 * y1 + a2 * y2;
        y2 = y1;
        y1 = y;
        return y;
    }
};

void Render(const Phone& p, const Voice& v, size_t count, std::mt19937& rng, std::vector<double>& out) {
    std::normal_distribution<double> white(0.0, 1.0);
    const double s = v.formantScale;
    if (p.kind == Kind::Vowel || p.kind == Kind::Nasal) {
        Resonator r1(p.f1 * s, 80), r2(p.f2 * s, 100), r3(p.f3 * s, 140);
        const double amp = p.kind == Kind::Vowel ? 9000 : 3500;
        double phase = 0;
        for (size_t n = 0; n < count; ++n) {
            // Slight pitch fall across the phone, as in speech.
            const double f0 = v.pitchHz * (1.05 - 0.1 * n / count);
            phase += f0 / kRate;
            double pulse = 0;
            if (phase >= 1) {
                phase -= 1;
                pulse = 1;
            }
            const double x = pulse * 40 + 0.02 * white(rng);
            const double y = r1.step(x) * 1.0 + r2.step(x) * 0.6 + r3.step(x) * 0.3;
            const double envelope = std::min(1.0, std::min(n, count - n) / (0.015 * kRate));
            out.push_back(amp * y * envelope);
        }
    } else if (p.kind == Kind::Fricative) {
        Resonator band(p.f1 * s, p.f2);
        for (size_t n = 0; n < count; ++n) {
            const double envelope = std::min(1.0, std::min(n, count - n) / (0.01 * kRate));
            out.push_back(2500 * band.step(white(rng)) * envelope * 4);
        }
    } else {
        Resonator burst(p.f1 * s, p.f2);
        const size_t closure = count * 2 / 3;
        for (size_t n = 0; n < count; ++n) {
            const double x = n < closure ? 0.0 : white(rng) * std::exp(-(double)(n - closure) / (0.01 * kRate));
            out.push_back(6000 * burst.step(x) * 4);
        }
    }
}

}  // namespace

SynthSentence Speak(const std::vector<SynthWord>& words, const Voice& voice, double leadSeconds, double tailSeconds) {
    std::mt19937 rng(voice.seed);
    std::vector<double> signal(static_cast<size_t>(leadSeconds * kRate), 0.0);
    SynthSentence out;
    for (size_t w = 0; w < words.size(); ++w) {
        if (w > 0) signal.insert(signal.end(), static_cast<size_t>(0.04 * kRate / voice.speed), 0.0);
        SampleSpan word{static_cast<uint32_t>(signal.size()), 0};
        std::vector<SampleSpan> phones;
        for (const std::string& name : words[w].phones) {
            const Phone& p = Phones().at(name);
            const size_t count = static_cast<size_t>(p.seconds * kRate / voice.speed);
            const uint32_t begin = static_cast<uint32_t>(signal.size());
            Render(p, voice, count, rng, signal);
            phones.push_back(SampleSpan{begin, static_cast<uint32_t>(signal.size())});
        }
        word.end = static_cast<uint32_t>(signal.size());
        out.wordSpans.push_back(word);
        out.phoneSpans.push_back(phones);
    }
    signal.insert(signal.end(), static_cast<size_t>(tailSeconds * kRate), 0.0);
    std::normal_distribution<double> white(0.0, 1.0);
    out.samples.reserve(signal.size());
    for (double x : signal) {
        const double y = x + voice.noiseLevel * white(rng);
        out.samples.push_back(static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, std::round(y)))));
    }
    return out;
}

Lesson MakeLesson(const std::vector<SynthWord>& words, const Voice& voice) {
    const SynthSentence s = Speak(words, voice);
    Lesson lesson;
    lesson.samples = s.samples;
    for (size_t w = 0; w < words.size(); ++w) {
        if (w) lesson.text += ' ';
        LessonItem item;
        item.start = static_cast<uint32_t>(lesson.text.size());
        item.length = static_cast<uint32_t>(words[w].text.size());
        lesson.text += words[w].text;
        std::vector<uint32_t> codes;
        for (size_t k = 0; k < words[w].phones.size(); ++k)
            codes.push_back(MakePhonemeCode(words[w].phones[k], k == 0 ? kStressPrimary : kStressNone));
        item.pronunciations.push_back(codes);
        item.span = s.wordSpans[w];
        item.phonemeSpans = s.phoneSpans[w];
        item.flags = w % 2 == 0 ? kItemStatementStress : 0;
        lesson.items.push_back(item);
    }
    lesson.text += '.';
    return lesson;
}

std::vector<SynthWord> Words(const std::vector<std::string>& names) {
    static const char* kOrder[] = {"ae", "er", "sh", "a", "e", "i", "o", "u", "s", "f", "t", "k", "m", "n"};
    std::vector<SynthWord> out;
    for (const std::string& name : names) {
        SynthWord w{name, {}};
        for (size_t i = 0; i < name.size();) {
            bool found = false;
            for (const char* p : kOrder) {
                const std::string ph(p);
                if (name.compare(i, ph.size(), ph) == 0) {
                    w.phones.push_back(ph);
                    i += ph.size();
                    found = true;
                    break;
                }
            }
            if (!found) ++i;  // letters that are no phone are spelling only
        }
        out.push_back(w);
    }
    return out;
}

}  // namespace nelo::test
