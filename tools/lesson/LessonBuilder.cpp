#include "LessonBuilder.h"

#include <algorithm>
#include <stdexcept>

#include "Alignment.h"
#include "ErrorCodes.h"
#include "Features.h"
#include "LessonFormat.h"
#include "Resample.h"
#include "SpeechDetector.h"
#include "TextSplit.h"

namespace nelo::lesson {
namespace {

// Carries stress marks from the transcription onto the synthesised phonemes:
// both list the same phonemes in the same order, but either may hold one the
// other lacks, so they are matched by longest common subsequence.
std::vector<int> StressFor(const std::vector<SynthPhoneme>& spoken, const std::vector<StressedPhoneme>& written) {
    const size_t n = spoken.size(), m = written.size();
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (size_t i = n; i-- > 0;)
        for (size_t j = m; j-- > 0;)
            lcs[i][j] = spoken[i].symbol == written[j].symbol ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    std::vector<int> stress(n, -1);
    for (size_t i = 0, j = 0; i < n && j < m;) {
        if (spoken[i].symbol == written[j].symbol) {
            stress[i++] = written[j++].stress;
        } else if (lcs[i + 1][j] >= lcs[i][j + 1]) {
            ++i;
        } else {
            ++j;
        }
    }
    for (size_t i = 0; i < n; ++i)
        if (stress[i] < 0) {
            const char c = spoken[i].symbol.empty() ? 0 : spoken[i].symbol[0];
            stress[i] = std::string("aeiouAEIOUV@30").find(c) != std::string::npos ? kStressUnstressed : kStressNone;
        }
    return stress;
}

Tone ToneOf(const std::string& text) {
    for (size_t i = text.size(); i-- > 0;) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"' || c == '\'' || c == ')') continue;
        if (c == '?') return Tone::Question;
        if (c == '!') return Tone::Exclamation;
        break;
    }
    return Tone::Statement;
}

// espeak-ng sometimes speaks two words as one ("in the"): the second then
// has no phonemes of its own. Such a group's phonemes are shared out by
// matching them against each word's own transcription, in order.
void SplitMergedWords(Synthesizer& synth, const std::string& voice, const std::vector<TextWord>& words,
                      std::vector<size_t>& wordOfPhoneme, const std::vector<SynthPhoneme>& phonemes) {
    std::vector<size_t> count(words.size(), 0);
    for (size_t w : wordOfPhoneme) ++count[w];
    for (size_t first = 0; first < words.size();) {
        size_t last = first + 1;
        while (last < words.size() && count[last] == 0) ++last;
        if (last == first + 1 || count[first] == 0) {
            first = last;
            continue;
        }
        std::vector<SynthPhoneme> written;  // the group's words transcribed one by one
        std::vector<size_t> writtenWord;
        for (size_t w = first; w < last; ++w)
            for (const auto& part : synth.transcribe(words[w].text, voice))
                for (const StressedPhoneme& p : part) {
                    written.push_back(SynthPhoneme{p.symbol, 0, 0, 0});
                    writtenWord.push_back(w);
                }
        std::vector<size_t> members;
        for (size_t i = 0; i < phonemes.size(); ++i)
            if (wordOfPhoneme[i] == first) members.push_back(i);
        const size_t n = members.size(), m = written.size();
        std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                lcs[i][j] = phonemes[members[i]].symbol == written[j].symbol ? lcs[i + 1][j + 1] + 1
                                                                           : std::max(lcs[i + 1][j], lcs[i][j + 1]);
        size_t current = first;
        for (size_t i = 0, j = 0; i < n;) {
            if (j < m && phonemes[members[i]].symbol == written[j].symbol) {
                current = writtenWord[j++];
                wordOfPhoneme[members[i++]] = current;
            } else if (j < m && lcs[i][j + 1] > lcs[i + 1][j]) {
                ++j;
            } else {
                wordOfPhoneme[members[i++]] = current;
            }
        }
        first = last;
    }
}

size_t WordAt(const std::vector<TextWord>& words, size_t codePoint) {
    size_t best = 0;
    for (size_t w = 0; w < words.size(); ++w)
        if (words[w].codePoint <= codePoint) best = w;
    return best;
}

}  // namespace

std::vector<int16_t> Speak16k(Synthesizer& synth, const std::string& text, const VoiceSettings& voice) {
    Synthesis s = synth.speak(text, voice);
    return ResampleTo16k(s.samples, s.sampleRate);
}

Lesson BuildLesson(Synthesizer& synth, const std::string& sentence, const VoiceSettings& voice) {
    const std::vector<TextWord> words = SplitWords(sentence);
    if (words.empty()) throw std::runtime_error("the sentence holds no words (or is not UTF-8)");
    if (words.size() > kMaxItems) throw std::runtime_error("the sentence has too many words");
    Synthesis s = synth.speak(sentence, voice);
    if (s.phonemes.empty()) throw std::runtime_error("espeak-ng produced no phonemes");

    std::vector<StressedPhoneme> written;
    for (const auto& w : synth.transcribe(sentence, voice.voice)) written.insert(written.end(), w.begin(), w.end());
    const std::vector<int> stress = StressFor(s.phonemes, written);

    Lesson lesson;
    lesson.text = sentence;
    lesson.tone = ToneOf(sentence);
    lesson.samples = ResampleTo16k(s.samples, s.sampleRate);
    const uint32_t total = static_cast<uint32_t>(lesson.samples.size());
    for (const TextWord& w : words) {
        LessonItem item;
        item.start = static_cast<uint32_t>(w.utf16);
        item.length = static_cast<uint32_t>(w.utf16Units);
        item.pronunciations.emplace_back();
        lesson.items.push_back(item);
    }
    std::vector<size_t> wordOfPhoneme;
    for (const SynthPhoneme& p : s.phonemes) wordOfPhoneme.push_back(WordAt(words, p.textPosition));
    SplitMergedWords(synth, voice.voice, words, wordOfPhoneme, s.phonemes);
    uint32_t previousEnd = 0;
    for (size_t i = 0; i < s.phonemes.size(); ++i) {
        const SynthPhoneme& p = s.phonemes[i];
        if (p.symbol.size() > 3) throw std::runtime_error("phoneme symbol longer than three characters: " + p.symbol);
        LessonItem& item = lesson.items[wordOfPhoneme[i]];
        SampleSpan span{std::max(previousEnd, MapSampleTo16k(p.begin, s.sampleRate)), MapSampleTo16k(p.end, s.sampleRate)};
        span.end = std::min(total, std::max(span.end, span.begin + 1));
        if (span.begin >= total) throw std::runtime_error("phoneme timing lies past the end of the recording");
        item.pronunciations[0].push_back(MakePhonemeCode(p.symbol, static_cast<uint32_t>(stress[i])));
        item.phonemeSpans.push_back(span);
        previousEnd = span.end;
    }
    int stressWord = -1;
    for (size_t w = 0; w < lesson.items.size(); ++w) {
        LessonItem& item = lesson.items[w];
        if (item.pronunciations[0].empty())
            throw std::runtime_error("espeak-ng spoke nothing for the word \"" + words[w].text + "\"");
        item.span = SampleSpan{item.phonemeSpans.front().begin, item.phonemeSpans.back().end};
        for (uint32_t code : item.pronunciations[0])
            if (PhonemeStress(code) == kStressPrimary) item.flags |= kItemStatementStress;
        if (item.flags & kItemStatementStress) stressWord = static_cast<int>(w);
    }
    if (stressWord >= 0) lesson.items[stressWord].flags |= kItemStressWord;
    if (ValidateLesson(lesson) != kOk) throw std::runtime_error("the synthesised lesson did not validate");
    return lesson;
}

Lesson WithTeacherRecording(const Lesson& synthesised, const std::vector<int16_t>& recording) {
    if (recording.size() > kMaxLessonSamples) throw std::runtime_error("the teacher's recording is longer than a minute");
    FeatureFrames ref = ComputeFeatures(synthesised.samples.data(), synthesised.samples.size());
    FeatureFrames rec = ComputeFeatures(recording.data(), recording.size());
    const SpeechMask refSpeech = DetectSpeech(ref.energyDb), recSpeech = DetectSpeech(rec.energyDb);
    if (!recSpeech.any()) throw std::runtime_error("no speech found in the teacher's recording");
    NormaliseFeatures(ref, 0, ref.count, refSpeech.speech);
    NormaliseFeatures(rec, 0, rec.count, recSpeech.speech);
    AlignmentInput in;
    in.reference = &ref;
    in.refBegin = refSpeech.first;
    in.refEnd = refSpeech.last;
    in.learner = &rec;
    in.learnerBegin = recSpeech.first > 3 ? recSpeech.first - 3 : 0;
    in.learnerEnd = std::min(rec.count, recSpeech.last + 3);
    const Alignment a = AlignFrames(in);
    if (!a.ok()) throw std::runtime_error("the teacher's recording could not be aligned to the sentence");

    const uint32_t total = static_cast<uint32_t>(recording.size());
    auto map = [&](uint32_t sample) {
        const size_t frame = sample < static_cast<uint32_t>(kFrameLength / 2) ? 0 : (sample - kFrameLength / 2) / kFrameHop;
        const size_t i = std::min(std::max(frame, in.refBegin), in.refEnd - 1) - in.refBegin;
        return std::min(total, static_cast<uint32_t>(a.learnerFrame[i] * kFrameHop + kFrameLength / 2));
    };
    Lesson out = synthesised;
    out.samples = recording;
    uint32_t previousEnd = 0;
    for (LessonItem& item : out.items) {
        for (SampleSpan& p : item.phonemeSpans) {
            p.begin = std::max(previousEnd, map(p.begin));
            p.end = std::max(map(p.end), p.begin + 1);
            if (p.end > total) throw std::runtime_error("the teacher's recording is too short for the sentence");
            previousEnd = p.end;
        }
        item.span = SampleSpan{item.phonemeSpans.front().begin, item.phonemeSpans.back().end};
    }
    if (ValidateLesson(out) != kOk) throw std::runtime_error("the aligned lesson did not validate");
    return out;
}

}  // namespace nelo::lesson
