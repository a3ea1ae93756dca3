#include "Workspace.h"

#include <mutex>
#include <vector>

namespace nelo {
namespace {

constexpr size_t kMaxIdle = 4;                        // about the number of cores that score at once
constexpr size_t kMaxKeptBytes = 8u * 1024u * 1024u;  // a workspace grown by a long sound is not kept

template <class T>
size_t Capacity(const std::vector<T>& v) { return v.capacity() * sizeof(T); }

size_t FrameBytes(const FeatureFrames& f) { return Capacity(f.values) + Capacity(f.energyDb); }

struct Pool {
    std::mutex lock;
    std::vector<std::unique_ptr<ScoreWorkspace>> idle;
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

}  // namespace

size_t ScoreWorkspace::bytes() const {
    const AlignmentScratch& a = alignment;
    return Capacity(spectra.power) + Capacity(spectra.energyDb) + FrameBytes(ref) + FrameBytes(coarseRef) +
           FrameBytes(candidate) + FrameBytes(coarseCandidate) + FrameBytes(learner) + Capacity(a.lo) + Capacity(a.hi) +
           Capacity(a.rowStart) + Capacity(a.step) + Capacity(a.previous) + Capacity(a.current) + Capacity(a.prefix);
}

WorkspaceLease::WorkspaceLease() {
    Pool& pool = ThePool();
    {
        std::lock_guard<std::mutex> hold(pool.lock);
        if (!pool.idle.empty()) {
            w_ = std::move(pool.idle.back());
            pool.idle.pop_back();
        }
    }
    if (!w_) w_.reset(new ScoreWorkspace);
}

WorkspaceLease::~WorkspaceLease() {
    if (w_->bytes() > kMaxKeptBytes) return;  // freed here, outside the lock
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> hold(pool.lock);
    if (pool.idle.size() < kMaxIdle) pool.idle.push_back(std::move(w_));
}

}  // namespace nelo
