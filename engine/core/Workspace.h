// The working memory of one score, lent from a small process-wide pool.
// Scores run on short-lived threads (one per job), so memory kept per thread
// would never be reused; and allocating a score's half-megabyte buffers
// afresh each time costs more than the arithmetic on some platforms (page
// faults of fresh mappings under Wine), so finished scores hand theirs back.
#pragma once
#include <memory>

#include "Alignment.h"
#include "Features.h"

namespace nelo {

struct ScoreWorkspace {
    SpectralFrames spectra;
    FeatureFrames ref, coarseRef, candidate, coarseCandidate, learner;
    AlignmentScratch alignment;
    size_t bytes() const;
};

class WorkspaceLease {
public:
    WorkspaceLease();
    ~WorkspaceLease();
    WorkspaceLease(const WorkspaceLease&) = delete;
    WorkspaceLease& operator=(const WorkspaceLease&) = delete;
    ScoreWorkspace& operator*() { return *w_; }
    ScoreWorkspace* operator->() { return w_.get(); }

private:
    std::unique_ptr<ScoreWorkspace> w_;
};

}  // namespace nelo
