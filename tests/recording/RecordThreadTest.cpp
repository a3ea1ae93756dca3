// Record jobs end to end with a stand-in recorder: the request is made on a thread that
// ends right after it, the notices come back on another thread and reach the window in
// order, jobs and module locks are given back at the last notice, and a window destroyed
// meanwhile is never reached.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControlTypes.h"
#include "Log.h"
#include "Module.h"
#include "NeloRec.h"
#include "NoticeWindow.h"
#include "RecordJobTable.h"
#include "RecordNotifyProc.h"
#include "RecordRequestLine.h"
#include "RecordThread.h"
#include "WorkerThread.h"

namespace {

// ---- The stand-in recorder: remembers each request, answers with a chosen result.
struct Request {
    std::wstring path;
    PS_NOTIFYPROC notify;
    void* user;
};

CRITICAL_SECTION g_fakeLock;
std::vector<Request> g_requests;
volatile LONG g_fakeResult = 0;

int32_t PSREC_API FakeRecordRequest(const wchar_t* path, PS_NOTIFYPROC notify, void* user) {
    EnterCriticalSection(&g_fakeLock);
    g_requests.push_back({path, notify, user});
    LeaveCriticalSection(&g_fakeLock);
    return g_fakeResult;
}

std::vector<Request> Requests() {
    EnterCriticalSection(&g_fakeLock);
    std::vector<Request> copy = g_requests;
    LeaveCriticalSection(&g_fakeLock);
    return copy;
}

// Notices as the recorder's worker sends them: (request, code) pairs, on a thread of its own.
struct Delivery {
    std::vector<std::pair<Request, int32_t>> notices;
};

DWORD WINAPI Deliver(void* param) {
    auto* d = static_cast<Delivery*>(param);
    for (const auto& n : d->notices) n.first.notify(n.first.user, NOTIFY_CLASS_RECORD, n.second);
    return 0;
}

void DeliverOnRecorderThread(Delivery& delivery) {
    HANDLE t = CreateThread(nullptr, 0, Deliver, &delivery, 0, nullptr);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(WaitForSingleObject(t, 60000), WAIT_OBJECT_0);
    CloseHandle(t);
}

bool WaitForNoRunningJobs(DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (nelo::WorkerThread::RunningCount() != 0) {
        if (GetTickCount64() > end) return false;
        Sleep(5);
    }
    return true;
}

std::wstring TempDir() {
    wchar_t buffer[MAX_PATH];
    GetTempPathW(MAX_PATH, buffer);
    return buffer;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
}

class RecordThreadTest : public testing::Test {
protected:
    static void SetUpTestSuite() { InitializeCriticalSection(&g_fakeLock); }

    void SetUp() override {
        ASSERT_NE(m_window.Handle(), nullptr);
        EnterCriticalSection(&g_fakeLock);
        g_requests.clear();
        LeaveCriticalSection(&g_fakeLock);
        g_fakeResult = 0;
        m_jobsBefore = RecordJobs().Count();
        m_locksBefore = nelo::GetModuleLockCount();
    }

    // Starts n jobs and waits until the stand-in has seen every request.
    std::vector<Request> StartJobs(int n, HWND target) {
        for (int i = 0; i < n; ++i) {
            EXPECT_TRUE(StartRecordJob(L"C:\\rec\\" + std::to_wstring(i) + L".wav", target, FakeRecordRequest));
        }
        EXPECT_TRUE(RecordRequests().WaitAllFinished(60000));
        return Requests();
    }

    void ExpectEverythingGivenBack() {
        EXPECT_TRUE(WaitForNoRunningJobs(30000)) << "record threads still running";
        EXPECT_EQ(RecordJobs().Count(), m_jobsBefore);
        EXPECT_EQ(nelo::GetModuleLockCount(), m_locksBefore);
    }

    CNoticeWindow m_window;
    size_t m_jobsBefore = 0;
    LONG m_locksBefore = 0;
};

TEST_F(RecordThreadTest, TheRequestCarriesThePathAndTheNotifyFunction) {
    std::vector<Request> made = StartJobs(1, m_window.Handle());
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].path, L"C:\\rec\\0.wav");
    EXPECT_EQ(made[0].notify, &RecordNotifyProc);
    EXPECT_NE(made[0].user, nullptr);
    // Until its last notice the job holds the module, though its thread has ended.
    EXPECT_TRUE(WaitForNoRunningJobs(30000));
    EXPECT_EQ(RecordJobs().Count(), m_jobsBefore + 1);
    EXPECT_EQ(nelo::GetModuleLockCount(), m_locksBefore + 1);

    Delivery d{{{made[0], REC_CAPTURING}, {made[0], REC_VOICE}, {made[0], REC_END_SILENCE}}};
    DeliverOnRecorderThread(d);
    ASSERT_TRUE(m_window.WaitFor(3, 30000));
    const std::vector<PostedNotice> expected = {{17, 1}, {17, 2}, {17, 4}};
    EXPECT_EQ(m_window.m_received, expected);
    ExpectEverythingGivenBack();
}

TEST_F(RecordThreadTest, AThousandRecordingsLeaveNoThreadsJobsOrModuleLocks) {
    const int kRecordings = 1000;
    std::vector<Request> made = StartJobs(kRecordings, m_window.Handle());
    ASSERT_EQ(made.size(), static_cast<size_t>(kRecordings));
    // Requests reached the recorder in the order they were begun.
    for (int i = 0; i < kRecordings; ++i) EXPECT_EQ(made[i].path, L"C:\\rec\\" + std::to_wstring(i) + L".wav");
    EXPECT_TRUE(WaitForNoRunningJobs(60000)) << "threads stay idle after their request";

    Delivery d;
    const int32_t ends[] = {REC_END_SILENCE, REC_END_CANCEL, REC_END_NOVOICE, REC_END_STOP};
    for (int i = 0; i < kRecordings; ++i) {
        d.notices.push_back({made[i], REC_CAPTURING});
        d.notices.push_back({made[i], ends[i % 4]});
    }
    DeliverOnRecorderThread(d);
    ASSERT_TRUE(m_window.WaitFor(2 * kRecordings, 60000));
    for (int i = 0; i < kRecordings; ++i) {
        EXPECT_EQ(m_window.m_received[2 * i], (PostedNotice{17, REC_CAPTURING}));
        EXPECT_EQ(m_window.m_received[2 * i + 1], (PostedNotice{17, ends[i % 4]}));
    }
    ExpectEverythingGivenBack();
}

TEST_F(RecordThreadTest, ARecordingThatNeverEndsIsRetiredByTheNextOne) {
    // The first recording's device failed to open: it never hears anything.
    std::vector<Request> made = StartJobs(2, m_window.Handle());
    ASSERT_EQ(made.size(), 2u);
    Delivery d{{{made[1], REC_CAPTURING}, {made[0], REC_END_CANCEL}, {made[1], REC_END_NOVOICE}}};
    DeliverOnRecorderThread(d);
    ASSERT_TRUE(m_window.WaitFor(2, 30000));
    m_window.Drain(200);
    const std::vector<PostedNotice> expected = {{17, 1}, {17, 0x20004}};  // the stale cancel is dropped
    EXPECT_EQ(m_window.m_received, expected);
    ExpectEverythingGivenBack();
}

TEST_F(RecordThreadTest, AWindowDestroyedWhileRecordingIsNeverReached) {
    CNoticeWindow doomed;
    std::vector<Request> made = StartJobs(1, doomed.Handle());
    ASSERT_EQ(made.size(), 1u);
    Delivery first{{{made[0], REC_CAPTURING}}};
    DeliverOnRecorderThread(first);
    ASSERT_TRUE(doomed.WaitFor(1, 30000));
    doomed.Destroy();  // the control goes away mid-recording
    // The module stays held: the recorder still has the notify function.
    EXPECT_EQ(nelo::GetModuleLockCount(), m_locksBefore + 1);
    Delivery rest{{{made[0], REC_VOICE}, {made[0], REC_END_STOP}}};
    DeliverOnRecorderThread(rest);
    m_window.Drain(200);
    EXPECT_EQ(doomed.m_received.size(), 1u);
    EXPECT_TRUE(m_window.m_received.empty());
    ExpectEverythingGivenBack();
}

TEST_F(RecordThreadTest, ARefusedRequestIsLoggedWithItsCodeAndWithdrawn) {
    const std::wstring logPath = TempDir() + L"nelo-recording-thread-test.log";
    DeleteFileW(logPath.c_str());
    ASSERT_TRUE(OpenLog(logPath));
    g_fakeResult = 101;
    std::vector<Request> made = StartJobs(1, m_window.Handle());
    ASSERT_EQ(made.size(), 1u);
    ExpectEverythingGivenBack();
    // A notice arriving anyway for the refused request goes nowhere.
    Delivery d{{{made[0], REC_CAPTURING}}};
    DeliverOnRecorderThread(d);
    m_window.Drain(200);
    EXPECT_TRUE(m_window.m_received.empty());
    CloseLog();
    const std::string log = ReadAll(logPath);
    EXPECT_NE(log.find("(ERROR)PS_RecordSentenceWithVad Failed! ERRCODE[101]\r\n"), std::string::npos) << log;
    DeleteFileW(logPath.c_str());
}

}  // namespace
