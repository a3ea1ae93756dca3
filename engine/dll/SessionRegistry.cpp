#include "SessionRegistry.h"

namespace nelo {

int SessionRegistry::open() {
    auto session = std::make_shared<LockedSession>();
    ExclusiveHold hold(lock_);
    if (sessions_.size() >= kMaxSessions) return 0;
    for (;;) {
        // Scrambling the counter with an odd multiplier is a bijection on 31
        // bits: handles stay unique until the counter wraps, yet a handle
        // from another run or a small guessed number is unlikely to be live.
        const int handle = static_cast<int>((++counter_ * 0x5BD1E995u) & 0x7FFFFFFFu);
        if (handle == 0 || sessions_.count(handle)) continue;
        sessions_.emplace(handle, std::move(session));
        return handle;
    }
}

bool SessionRegistry::close(int handle) {
    std::shared_ptr<LockedSession> doomed;
    {
        ExclusiveHold hold(lock_);
        auto it = sessions_.find(handle);
        if (it == sessions_.end()) return false;
        doomed = std::move(it->second);
        sessions_.erase(it);
    }
    // A score still running on it sees this when it finishes and does not
    // report success for a handle that is gone.
    ExclusiveHold hold(doomed->lock);
    doomed->ended = true;
    return true;
}

std::shared_ptr<LockedSession> SessionRegistry::find(int handle) {
    SharedHold hold(lock_);
    auto it = sessions_.find(handle);
    return it == sessions_.end() ? nullptr : it->second;
}

SessionRegistry& Sessions() {
    static SessionRegistry registry;
    return registry;
}

}  // namespace nelo
