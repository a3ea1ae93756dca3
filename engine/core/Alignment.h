// Dynamic time warping of a learner's frames onto the reference's frames.
// Every reference frame is matched to exactly one learner frame, and the
// learner may advance 0 to maxStep frames from one reference frame to the
// next: the slope limit keeps a word from being matched to a stray frame far
// away, while stalls and skips (with a small penalty) let a slower or faster
// reading, or a missing word, still align.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Features.h"

namespace nelo {

struct AlignmentInput {
    const FeatureFrames* reference = nullptr;
    size_t refBegin = 0, refEnd = 0;  // reference frames to align
    const FeatureFrames* learner = nullptr;
    size_t learnerBegin = 0, learnerEnd = 0;
};

struct Alignment {
    std::vector<size_t> learnerFrame;  // per reference frame of [refBegin, refEnd): the matched learner frame
    std::vector<float> cost;           // its local distance
    bool ok() const { return !learnerFrame.empty(); }
};

// Distance between two feature frames: plain Euclidean, since the features'
// weights are set when they are normalised. Inline: it runs for every cell of
// an alignment.
inline float FrameDistance(const float* a, const float* b) {
    float sum = 0;
    for (int d = 0; d < kFeatureDim; ++d) {
        const float x = a[d] - b[d];
        sum += x * x;
    }
    return std::sqrt(sum);
}

// Working memory of an alignment, kept by callers that align often so that
// its buffers are reused instead of allocated for every call.
struct AlignmentScratch {
    std::vector<size_t> lo, hi, rowStart;
    std::vector<uint8_t> step;
    std::vector<float> previous, current, prefix;
};

Alignment AlignFrames(const AlignmentInput& in, AlignmentScratch& scratch);
Alignment AlignFrames(const AlignmentInput& in);

}  // namespace nelo
