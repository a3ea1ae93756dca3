#include "Scorer.h"

#include <algorithm>
#include <cmath>

#include "Alignment.h"
#include "SpeechDetector.h"
#include "Workspace.h"

namespace nelo {
namespace {

// Mean goodness cost (aligned distance less best-match distance) at which a
// word scores 50 for the default strictness, and how quickly the score falls
// around it. Calibrated on the tuning set of tools/lesson evaluate.
constexpr float kCostAtHalf = 1.4f;
constexpr float kCostSpread = 0.25f;
constexpr float kStrictnessStep = 0.1f;  // each strictness level moves the midpoint by this
constexpr float kFluentRateRatio = 1.35f; // rates within this factor of the reference cost nothing
constexpr int kPausePenalty = 20;
constexpr int kMarginFrames = 3;
constexpr size_t kCoarseStep = 3;  // frames skipped when comparing warps
constexpr double kSqueezeLimit = 0.5;    // a word given less than this share of its expected time...
constexpr double kSqueezePenalty = 4.0;  // ...costs this much more per missing share

// The frame whose window is centred nearest to a sample.
size_t FrameAt(uint32_t sample) {
    const long centred = static_cast<long>(sample) - kFrameLength / 2 + kFrameHop / 2;
    return centred <= 0 ? 0 : static_cast<size_t>(centred) / kFrameHop;
}

int Clamp100Free(double v) { return static_cast<int>(std::lround(std::min(1e6, std::max(0.0, v)))); }
int Clamp100(double v) { return static_cast<int>(std::lround(std::min(100.0, std::max(0.0, v)))); }

void CopyFrames(const FeatureFrames& f, size_t begin, size_t end, FeatureFrames& out) {
    out.count = end - begin;
    out.values.assign(f.values.begin() + begin * kFeatureDim, f.values.begin() + end * kFeatureDim);
    out.energyDb.assign(f.energyDb.begin() + begin, f.energyDb.begin() + end);
}

void EveryNth(const FeatureFrames& f, size_t n, FeatureFrames& out) {
    out.count = (f.count + n - 1) / n;
    out.values.clear();
    for (size_t i = 0; i < f.count; i += n) out.values.insert(out.values.end(), f.frame(i), f.frame(i) + kFeatureDim);
    out.energyDb.clear();
}

float MeanAlignedCost(const FeatureFrames& ref, const FeatureFrames& lrn, AlignmentScratch& scratch) {
    AlignmentInput in;
    in.reference = &ref;
    in.refEnd = ref.count;
    in.learner = &lrn;
    in.learnerEnd = lrn.count;
    const Alignment a = AlignFrames(in, scratch);
    if (!a.ok()) return 1e30f;
    double sum = 0;
    for (float c : a.cost) sum += c;
    return static_cast<float>(sum / a.cost.size());
}

std::vector<uint8_t> CopyMask(const std::vector<uint8_t>& mask, size_t begin, size_t end) {
    return std::vector<uint8_t>(mask.begin() + begin, mask.begin() + end);
}

int MsOfFrame(size_t frame, uint32_t offsetMs) { return static_cast<int>(frame * kFrameHop / 16 + offsetMs); }

void FillUnread(const PreparedLesson& p, ScoreResult& r) {
    for (int w = r.rangeStart; w <= r.rangeEnd; ++w) {
        WordResult word;
        for (uint32_t code : p.lesson.items[w].pronunciations[0]) word.phonemes.push_back(PhonemeResult{code, 0});
        r.words.push_back(word);
    }
}

}  // namespace

int CalibratedScore(float cost, int strictness) {
    const float half = kCostAtHalf - kStrictnessStep * (strictness - 3);
    return Clamp100(100.0 / (1.0 + std::exp((cost - half) / kCostSpread)));
}

ScoreResult ScoreRecording(const ScoreRequest& q) {
    const PreparedLesson& p = *q.lesson;
    const Lesson& lesson = p.lesson;
    ScoreResult r;
    r.rangeStart = q.rangeStart;
    r.rangeEnd = q.rangeEnd;

    WorkspaceLease ws;
    const SpectralFrames& spectra = ws->spectra;
    ComputeSpectra(q.samples, q.sampleCount, ws->spectra);
    const SpeechMask speech = DetectSpeech(spectra.energyDb);
    if (!speech.any()) {
        FillUnread(p, r);
        return r;
    }
    r.speechMs = static_cast<int>(speech.speechFrames * kFrameHop / 16);
    r.speechStartMs = MsOfFrame(speech.first, q.offsetMs);
    r.speechEndMs = MsOfFrame(speech.last - 1, q.offsetMs) + kFrameLength / 16;

    // The reference stretch of the range, and the learner's speech with a small margin.
    const size_t refBegin = std::min(FrameAt(lesson.items[q.rangeStart].span.begin), p.features.count - 1);
    const size_t refEnd = std::max(refBegin + 1, std::min(FrameAt(lesson.items[q.rangeEnd].span.end), p.features.count));
    const size_t lrnBegin = speech.first > kMarginFrames ? speech.first - kMarginFrames : 0;
    const size_t lrnEnd = std::min(spectra.count, speech.last + kMarginFrames);

    FeatureFrames& ref = ws->ref;
    CopyFrames(p.features, refBegin, refEnd, ref);
    const std::vector<uint8_t> refSpeech = CopyMask(p.speech.speech, refBegin, refEnd);
    NormaliseFeatures(ref, 0, ref.count, refSpeech);
    const std::vector<uint8_t> lrnSpeech = CopyMask(speech.speech, lrnBegin, lrnEnd);

    // Vocal-tract warp: the learner's cepstra under a warp, aligned coarsely
    // (every third frame); the warp that matches best is kept, so that a
    // child's or a woman's voice meets a man's reference on equal terms.
    // Every third warp first, then the neighbours of the best of those.
    EveryNth(ref, kCoarseStep, ws->coarseRef);
    std::vector<float> warpCost(kWarpCount, -1.0f);
    auto tryWarp = [&](int w) {
        if (w < 0 || w >= kWarpCount || warpCost[w] >= 0) return;
        CepstraOf(spectra, w, lrnBegin, lrnEnd, ws->candidate);
        NormaliseFeatures(ws->candidate, 0, ws->candidate.count, lrnSpeech);
        EveryNth(ws->candidate, kCoarseStep, ws->coarseCandidate);
        warpCost[w] = MeanAlignedCost(ws->coarseRef, ws->coarseCandidate, ws->alignment);
    };
    for (int w = 1; w < kWarpCount; w += 3) tryWarp(w);
    int best = 1;
    for (int w = 0; w < kWarpCount; ++w)
        if (warpCost[w] >= 0 && warpCost[w] < warpCost[best]) best = w;
    tryWarp(best - 1);
    tryWarp(best + 1);
    for (int w = 0; w < kWarpCount; ++w)
        if (warpCost[w] >= 0 && warpCost[w] < warpCost[best]) best = w;
    FeatureFrames& lrn = ws->learner;
    CepstraOf(spectra, best, lrnBegin, lrnEnd, lrn);
    NormaliseFeatures(lrn, 0, lrn.count, lrnSpeech);
    r.warp = kWarps[best];

    AlignmentInput in;
    in.reference = &ref;
    in.refBegin = 0;
    in.refEnd = ref.count;
    in.learner = &lrn;
    in.learnerBegin = 0;
    in.learnerEnd = lrn.count;
    const Alignment a = AlignFrames(in, ws->alignment);
    if (!a.ok()) {
        FillUnread(p, r);
        return r;
    }

    // Words and phonemes from the reference frames they cover.
    auto spanFrames = [&](const SampleSpan& s, size_t& b, size_t& e) {
        b = FrameAt(s.begin);
        e = FrameAt(s.end);
        b = std::min(std::max(b, refBegin), refEnd - 1) - refBegin;
        e = std::min(std::max(e, refBegin + b + 1), refEnd) - refBegin;
        if (e <= b) e = b + 1;
    };
    // Goodness of each reference frame: its aligned distance less what the
    // learner frames it took would cost at their best match anywhere in the
    // reference. A voice or a microphone unlike the reference's raises both
    // alike and cancels; sounds in the wrong place, or sounds the reference
    // does not have where it has them, remain.
    std::vector<float> nearest(lrn.count, 1e30f);
    for (size_t j = 0; j < lrn.count; ++j)
        for (size_t i = 0; i < ref.count; ++i) nearest[j] = std::min(nearest[j], FrameDistance(ref.frame(i), lrn.frame(j)));
    std::vector<float> frameCost(ref.count);
    for (size_t i = 0; i < ref.count; ++i) {
        const size_t j = a.learnerFrame[i];
        const size_t from = i > 0 && a.learnerFrame[i - 1] < j ? a.learnerFrame[i - 1] + 1 : j;  // as the alignment charged them
        double base = 0;
        for (size_t k = from; k <= j; ++k) base += nearest[k];
        frameCost[i] = std::max(0.0f, a.cost[i] - static_cast<float>(base / (j - from + 1)));
    }
    auto meanCost = [&](size_t b, size_t e) {
        double sum = 0;
        for (size_t i = b; i < e; ++i) sum += frameCost[i];
        return static_cast<float>(sum / (e - b));
    };

    const double pace = static_cast<double>(lrn.count) / ref.count;  // learner frames per reference frame
    double weightedScore = 0, totalCost = 0;
    size_t weightedFrames = 0, read = 0;
    for (int w = q.rangeStart; w <= q.rangeEnd; ++w) {
        const LessonItem& item = lesson.items[w];
        WordResult word;
        size_t b, e;
        spanFrames(item.span, b, e);
        size_t first = a.learnerFrame[b], last = a.learnerFrame[e - 1];
        // A word squeezed into far less time than the learner's pace gives it
        // was not said: the alignment only passed over it.
        const double expectedFrames = (e - b) * pace;
        const double squeeze = (last - first + 1) / std::max(1.0, expectedFrames);
        std::vector<float> phonemeCosts;
        for (size_t k = 0; k < item.pronunciations[0].size(); ++k) {
            size_t pb, pe;
            spanFrames(item.phonemeSpans[k], pb, pe);
            phonemeCosts.push_back(meanCost(pb, pe));
        }
        const float cost = meanCost(b, e) + static_cast<float>(std::max(0.0, kSqueezeLimit - squeeze) * kSqueezePenalty);
        word.score = CalibratedScore(cost, q.options.strictness);
        word.startMs = MsOfFrame(lrnBegin + first, q.offsetMs);
        word.endMs = MsOfFrame(lrnBegin + last, q.offsetMs) + kFrameLength / 16;
        size_t voiced = 0;
        for (size_t j = first; j <= last; ++j) voiced += lrnSpeech[j];
        word.read = word.score >= q.options.readThreshold && voiced * 10 >= (last - first + 1) * 3 && squeeze >= kSqueezeLimit * 0.6;
        for (size_t k = 0; k < item.pronunciations[0].size(); ++k)
            word.phonemes.push_back(PhonemeResult{item.pronunciations[0][k], CalibratedScore(phonemeCosts[k], q.options.strictness)});
        if (!word.read && q.options.missedWordsZero) {
            word.score = 0;
            for (PhonemeResult& ph : word.phonemes) ph.score = 0;
        }
        read += word.read;
        weightedScore += static_cast<double>(word.score) * (e - b);
        weightedFrames += e - b;
        totalCost += static_cast<double>(cost) * (e - b);
        r.words.push_back(word);
    }
    const size_t wordCount = static_cast<size_t>(q.rangeEnd - q.rangeStart + 1);
    r.accuracy = Clamp100(weightedScore / weightedFrames);
    r.completeness = Clamp100(100.0 * read / wordCount);
    r.meanCost = static_cast<float>(totalCost / weightedFrames);

    // Rate: the reference's speech time over the learner's, for the same words.
    size_t refSpeechFrames = 0;
    for (uint8_t s : refSpeech) refSpeechFrames += s;
    if (refSpeechFrames == 0) refSpeechFrames = ref.count;
    r.ratePercent = Clamp100Free(100.0 * refSpeechFrames / std::max<size_t>(1, speech.speechFrames));

    // Pauses: silences inside the learner's speech, long enough, where the
    // reference speaks on.
    const size_t pauseFrames = static_cast<size_t>(q.options.pauseMs / 10);
    for (size_t j = speech.first; j < speech.last;) {
        if (speech.speech[j]) { ++j; continue; }
        size_t k = j;
        while (k < speech.last && !speech.speech[k]) ++k;
        if (k - j >= pauseFrames) {
            size_t refSpeaking = 0, mapped = 0;
            for (size_t i = 0; i < a.learnerFrame.size(); ++i) {
                const size_t lj = lrnBegin + a.learnerFrame[i];
                if (lj >= j && lj < k) { ++mapped; refSpeaking += refSpeech[i]; }
            }
            if (mapped == 0 || refSpeaking * 2 > mapped) ++r.pauses;
        }
        j = k;
    }
    const double rateRatio = r.ratePercent / 100.0;
    const double rateExcess = std::max(0.0, std::fabs(std::log(std::max(rateRatio, 1e-3))) - std::log(kFluentRateRatio));
    r.fluency = Clamp100(100.0 - kPausePenalty * r.pauses - 150.0 * rateExcess);

    const double quality = q.options.useFluency ? 0.8 * r.accuracy + 0.2 * r.fluency : r.accuracy;
    r.overall = Clamp100(quality * r.completeness / 100.0);
    return r;
}

}  // namespace nelo

#include "ErrorCodes.h"
#include "SessionState.h"
#include "SoundData.h"

namespace nelo {

int ScoreSamples(const ScoreTicket& ticket, std::vector<int16_t>& samples, uint32_t offsetMs, int lengthMs, ScoreResult& out) {
    if (!ticket.lesson) return kErrNoLesson;
    const int cut = CutSound(samples, offsetMs, lengthMs);
    if (cut) return cut;
    ScoreRequest q;
    q.lesson = ticket.lesson.get();
    q.rangeStart = ticket.rangeStart;
    q.rangeEnd = ticket.rangeEnd;
    q.options = ticket.options;
    q.samples = samples.data();
    q.sampleCount = samples.size();
    q.offsetMs = offsetMs;
    out = ScoreRecording(q);
    return kOk;
}

}  // namespace nelo
