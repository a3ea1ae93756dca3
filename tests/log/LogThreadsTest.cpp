// Worker threads log while the last control closes the log and the next
// first control opens it again: no line may land outside a Start/End pair,
// none may be cut, and every line reported as written must be in the file.
#include "LogTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace logtest;

namespace {

const int kWorkers = 4;

struct WorkerState {
    int id = 0;
    HANDLE stop = nullptr;
    volatile LONG written = 0;  // lines LogError reported as written
};

DWORD WINAPI LogWorker(void* param) {
    WorkerState* state = static_cast<WorkerState*>(param);
    for (int n = 0; ::WaitForSingleObject(state->stop, 0) == WAIT_TIMEOUT; ++n) {
        const std::wstring text = L"worker " + std::to_wstring(state->id) + L" line " + std::to_wstring(n);
        if (LogError(text)) ::InterlockedIncrement(&state->written);
    }
    return 0;
}

LONG TotalWritten(WorkerState (&states)[kWorkers]) {
    LONG total = 0;
    for (WorkerState& state : states) total += state.written;
    return total;
}

std::vector<std::string> SplitCrLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos + 2));
        pos = end + 2;
    }
    return lines;
}

TEST(LogThreads, LinesFromWorkersNeverMeetAClosedOrHalfClosedLog) {
    const LogClock previousClock = SetLogClock(FixedClock);
    CScratchFolder folder;
    const std::wstring path = folder / L"NeloRecognition.log";

    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, stop);
    WorkerState states[kWorkers];
    HANDLE threads[kWorkers];
    for (int i = 0; i < kWorkers; ++i) {
        states[i].id = i;
        states[i].stop = stop;
        threads[i] = ::CreateThread(nullptr, 0, LogWorker, &states[i], 0, nullptr);
    }
    bool started = true;
    for (HANDLE thread : threads) started = started && thread != nullptr;

    const int kSessions = 300;
    const DWORD testStart = ::GetTickCount();
    // No ASSERT until the workers are stopped: they use this frame's state.
    for (int session = 0; started && session < kSessions; ++session) {
        if (!OpenLog(path)) {
            ADD_FAILURE() << "OpenLog failed in session " << session;
            break;
        }
        // Let the workers get a few lines into this session, so the close
        // meets lines in flight; on a starved machine stop waiting after a
        // generous limit for the whole run (the checks below still hold).
        const LONG target = TotalWritten(states) + kWorkers;
        while (TotalWritten(states) < target && ::GetTickCount() - testStart < 60000) ::SwitchToThread();
        CloseLog();
        ::SwitchToThread();
    }
    ::SetEvent(stop);
    for (HANDLE thread : threads) {
        if (!thread) continue;
        // A worker that does not stop would outlive this frame: end the run.
        if (::WaitForSingleObject(thread, 60000) != WAIT_OBJECT_0) std::abort();
        ::CloseHandle(thread);
    }
    ::CloseHandle(stop);
    CloseLog();
    SetLogClock(previousClock);
    ASSERT_TRUE(started) << "could not start the workers";

    bool open = false;
    int sessions = 0;
    std::vector<long> linesPerWorker(kWorkers, 0);
    std::vector<long> nextNumber(kWorkers, -1);
    for (const std::string& line : SplitCrLfLines(ReadAll(path))) {
        if (line == StartLine()) {
            ASSERT_FALSE(open) << "Start inside a session";
            open = true;
            ++sessions;
            continue;
        }
        if (line == EndLine()) {
            ASSERT_TRUE(open) << "End outside a session";
            open = false;
            continue;
        }
        ASSERT_TRUE(open) << "line outside a session: " << line;
        int worker = -1;
        long number = -1;
        char tail[4] = {};
        const std::string prefix = std::string(kStamp) + "(ERROR)worker ";
        ASSERT_EQ(0u, line.compare(0, prefix.size(), prefix)) << line;
        ASSERT_EQ(3, std::sscanf(line.c_str() + prefix.size(), "%d line %ld%3c", &worker, &number, tail)) << line;
        ASSERT_STREQ("\r\n", tail) << line;
        ASSERT_TRUE(worker >= 0 && worker < kWorkers) << line;
        ASSERT_GT(number, nextNumber[worker]) << "out of order: " << line;
        nextNumber[worker] = number;
        ++linesPerWorker[worker];
    }
    EXPECT_FALSE(open);
    EXPECT_EQ(kSessions, sessions);
    long total = 0;
    for (int i = 0; i < kWorkers; ++i) {
        EXPECT_EQ(states[i].written, linesPerWorker[i]) << "worker " << i;
        total += linesPerWorker[i];
    }
    // Not required, but the test shows nothing unless some lines got in.
    std::printf("[ info ] %ld worker lines in %d sessions\n", total, sessions);
}

}  // namespace
