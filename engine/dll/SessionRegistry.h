// The live sessions behind their opaque handles. A session is shared: a
// score that runs while the session is ended keeps its own reference, so
// ending never frees what a running call still uses.
#pragma once
#include <cstdint>
#include <map>
#include <memory>

#include "SessionState.h"
#include "SrwLock.h"

namespace nelo {

struct LockedSession {
    SrwLock lock;
    SessionState state;       // guarded by lock
    volatile LONG lastError = 0;  // the error of the latest call on this session, any thread
    bool ended = false;           // guarded by lock; set when the handle is closed
};

class SessionRegistry {
public:
    static constexpr size_t kMaxSessions = 65536;

    // 0 when no more sessions can be opened.
    int open();
    bool close(int handle);
    std::shared_ptr<LockedSession> find(int handle);

private:
    SrwLock lock_;
    std::map<int, std::shared_ptr<LockedSession>> sessions_;
    uint32_t counter_ = 0;
};

SessionRegistry& Sessions();

}  // namespace nelo
