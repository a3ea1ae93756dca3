// Requests reach the recorder in the order their numbers were taken, whatever order
// their threads run in; cancel and stop can wait until the line has drained.
#include <gtest/gtest.h>

#include <vector>

#include "RecordRequestLine.h"

namespace {

struct Caller {
    CRecordRequestLine* line;
    UINT_PTR number;
    std::vector<UINT_PTR>* served;  // appended in the order requests were "made"
    CRITICAL_SECTION* guard;
    HANDLE go;
};

DWORD WINAPI MakeRequest(void* param) {
    auto* c = static_cast<Caller*>(param);
    WaitForSingleObject(c->go, INFINITE);
    c->line->WaitTurn(c->number);
    EnterCriticalSection(c->guard);
    c->served->push_back(c->number);
    LeaveCriticalSection(c->guard);
    c->line->Finish(c->number);
    return 0;
}

TEST(RecordRequestLine, RequestsAreMadeInTheOrderTheirNumbersWereTaken) {
    CRecordRequestLine line;
    const int kCallers = 12;
    std::vector<UINT_PTR> served;
    CRITICAL_SECTION guard;
    InitializeCriticalSection(&guard);
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::vector<Caller> callers(kCallers);
    for (int i = 0; i < kCallers; ++i) callers[i] = {&line, line.TakeNumber(), &served, &guard, go};
    // Threads started last first, so that without the line they would tend to go first.
    std::vector<HANDLE> threads;
    for (int i = kCallers - 1; i >= 0; --i) threads.push_back(CreateThread(nullptr, 0, MakeRequest, &callers[i], 0, nullptr));
    SetEvent(go);
    EXPECT_TRUE(line.WaitAllFinished(30000));
    ASSERT_EQ(WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 30000), WAIT_OBJECT_0);
    for (HANDLE t : threads) CloseHandle(t);
    CloseHandle(go);
    DeleteCriticalSection(&guard);
    ASSERT_EQ(served.size(), static_cast<size_t>(kCallers));
    for (int i = 0; i < kCallers; ++i) EXPECT_EQ(served[i], callers[i].number);
}

TEST(RecordRequestLine, NumbersAreIncreasingFromOne) {
    CRecordRequestLine line;
    EXPECT_EQ(line.TakeNumber(), 1u);
    EXPECT_EQ(line.TakeNumber(), 2u);
    EXPECT_EQ(line.TakeNumber(), 3u);
}

TEST(RecordRequestLine, DrainWaitsForEveryNumberTakenSoFar) {
    CRecordRequestLine line;
    EXPECT_TRUE(line.WaitAllFinished(0));  // nothing taken yet
    const UINT_PTR a = line.TakeNumber();
    const UINT_PTR b = line.TakeNumber();
    EXPECT_FALSE(line.WaitAllFinished(50));
    line.Finish(b);  // out of order: b's thread did not start, say
    EXPECT_FALSE(line.WaitAllFinished(50));
    line.Finish(a);
    EXPECT_TRUE(line.WaitAllFinished(0));
    line.Finish(a);  // twice: harmless
    EXPECT_TRUE(line.WaitAllFinished(0));
}

TEST(RecordRequestLine, AFinishedLaterNumberDoesNotLetAnEarlierTurnPass) {
    CRecordRequestLine line;
    const UINT_PTR a = line.TakeNumber();
    const UINT_PTR b = line.TakeNumber();
    const UINT_PTR c = line.TakeNumber();
    line.Finish(b);
    struct Waiter {
        CRecordRequestLine* line;
        UINT_PTR number;
        volatile LONG passed;
    } waiter{&line, c, 0};
    HANDLE t = CreateThread(
        nullptr, 0,
        [](void* p) -> DWORD {
            auto* w = static_cast<Waiter*>(p);
            w->line->WaitTurn(w->number);
            InterlockedExchange(&w->passed, 1);
            return 0;
        },
        &waiter, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(t, 200), static_cast<DWORD>(WAIT_TIMEOUT));  // a is still pending
    EXPECT_EQ(waiter.passed, 0);
    line.Finish(a);
    EXPECT_EQ(WaitForSingleObject(t, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(waiter.passed, 1);
    CloseHandle(t);
    line.Finish(c);
}

}  // namespace
