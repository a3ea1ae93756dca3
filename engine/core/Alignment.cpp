#include "Alignment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace nelo {
namespace {

constexpr float kStallPenalty = 0.4f;  // learner frame reused for the next reference frame
constexpr float kSkipPenalty = 0.2f;   // per learner frame skipped beyond one
constexpr float kInfinity = std::numeric_limits<float>::infinity();

}  // namespace

Alignment AlignFrames(const AlignmentInput& in) {
    AlignmentScratch scratch;
    return AlignFrames(in, scratch);
}

Alignment AlignFrames(const AlignmentInput& in, AlignmentScratch& scratch) {
    Alignment out;
    if (!in.reference || !in.learner || in.refEnd <= in.refBegin || in.learnerEnd <= in.learnerBegin) return out;
    const size_t R = in.refEnd - in.refBegin, L = in.learnerEnd - in.learnerBegin;
    // A learner much slower than the reference needs longer steps to reach the end.
    // Steps are stored in a byte: a learner more than 254 times longer than
    // the reference cannot be aligned and gets no alignment at all.
    const size_t maxStep = std::min<size_t>(255, std::max<size_t>(2, (L + R - 1) / R + 1));
    // Band around the straight line; wide enough for a dropped word or a long pause.
    const double slope = static_cast<double>(L) / R;
    const size_t band = static_cast<size_t>(0.3 * std::max(R, L)) + 25;
    // The ends may slip a little: the speech detector's edges are not exact.
    const size_t slack = std::min<size_t>(L, 15);

    std::vector<size_t>& lo = scratch.lo;
    std::vector<size_t>& hi = scratch.hi;
    std::vector<size_t>& rowStart = scratch.rowStart;
    lo.assign(R, 0);
    hi.assign(R, 0);
    rowStart.assign(R + 1, 0);
    for (size_t i = 0; i < R; ++i) {
        const double centre = i * slope;
        lo[i] = centre > band ? static_cast<size_t>(centre - band) : 0;
        hi[i] = std::min(L, static_cast<size_t>(centre + band) + 1);
    }
    hi[0] = std::min(hi[0], slack);
    lo[R - 1] = std::max(lo[R - 1], L - slack);
    if (lo[R - 1] >= hi[R - 1]) { lo[R - 1] = L - 1; hi[R - 1] = L; }
    for (size_t i = 0; i < R; ++i) rowStart[i + 1] = rowStart[i] + (hi[i] > lo[i] ? hi[i] - lo[i] : 0);

    std::vector<uint8_t>& step = scratch.step;
    step.assign(rowStart[R], 0);
    std::vector<float>& previous = scratch.previous;
    std::vector<float>& current = scratch.current;
    previous.assign(L, kInfinity);
    current.assign(L, kInfinity);
    // Running sum of the row's distances: skipped learner frames are charged
    // to the reference frame that skips them, so sound the reference lacks
    // (another word, a different sentence) costs what it does not match.
    std::vector<float>& prefix = scratch.prefix;
    prefix.assign(L + 1, 0.0f);
    const FeatureFrames& ref = *in.reference;
    const FeatureFrames& lrn = *in.learner;
    for (size_t i = 0; i < R; ++i) {
        std::fill(current.begin(), current.end(), kInfinity);
        const float* r = ref.frame(in.refBegin + i);
        const size_t rowLo = lo[i] > maxStep ? lo[i] - maxStep : 0;
        prefix[rowLo] = 0;
        for (size_t j = rowLo; j < hi[i]; ++j) prefix[j + 1] = prefix[j] + FrameDistance(r, lrn.frame(in.learnerBegin + j));
        for (size_t j = lo[i]; j < hi[i]; ++j) {
            const float d = prefix[j + 1] - prefix[j];
            if (i == 0) {
                current[j] = d;
                step[rowStart[i] + (j - lo[i])] = 0;
                continue;
            }
            float best = kInfinity;
            uint8_t bestStep = 0;
            for (size_t k = 0; k <= maxStep && k <= j; ++k) {
                float c = previous[j - k];
                if (c == kInfinity) continue;
                if (k == 0) c += kStallPenalty;
                else if (k > 1) c += (prefix[j] - prefix[j - k + 1]) + kSkipPenalty * (k - 1);
                if (c < best) { best = c; bestStep = static_cast<uint8_t>(k); }
            }
            current[j] = best + d;
            step[rowStart[i] + (j - lo[i])] = bestStep;
        }
        std::swap(previous, current);
        if (i + 1 < R) continue;
        // Last row: pick the cheapest allowed end and walk back.
        size_t endJ = L;
        float best = kInfinity;
        for (size_t j = lo[i]; j < hi[i]; ++j)
            if (previous[j] < best) { best = previous[j]; endJ = j; }
        if (endJ == L) return out;
        out.learnerFrame.assign(R, 0);
        out.cost.assign(R, 0.0f);
        size_t j = endJ;
        for (size_t back = R; back-- > 0;) {
            const float* rf = ref.frame(in.refBegin + back);
            const size_t k = back == 0 ? 1 : step[rowStart[back] + (j - lo[back])];
            // The frame's cost: the mean over its own learner frame and the
            // ones it skipped.
            float sum = FrameDistance(rf, lrn.frame(in.learnerBegin + j));
            for (size_t m = 1; m + 1 <= k && m <= j; ++m) sum += FrameDistance(rf, lrn.frame(in.learnerBegin + j - m));
            out.learnerFrame[back] = in.learnerBegin + j;
            out.cost[back] = sum / static_cast<float>(k > 1 ? k : 1);
            if (back == 0) break;
            j -= k;
        }
    }
    return out;
}

}  // namespace nelo
