// Posted notifications become queued states and events on the control's thread.
#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "RecordNotice.h"
#include "UniqueHandle.h"
#include "WorkerThread.h"

namespace {

using test::CallLong;
using test::EventRecord;
using test::PumpUntil;

TEST(RecordNotice, NoticesMapToRecordStatesOrAreLoggedOrIgnored) {
    using A = RecordNoticeDecision;
    struct Case { WPARAM cls; LPARAM code; A::Action action; DWORD state; const wchar_t* log; } cases[] = {
        {17, 1, A::Queue, 1, nullptr},
        {17, 2, A::Queue, 2, nullptr},
        {17, 3, A::Queue, 3, nullptr},
        {17, 0x50002, A::Queue, 0x50002, nullptr},  // codes 1-3 pass through with all 32 bits
        {17, 4, A::Queue, 4, nullptr},
        {17, 0x10004, A::Queue, 5, nullptr},
        {17, 0x20004, A::Queue, 6, nullptr},
        {17, 0x30004, A::Queue, 7, nullptr},
        {17, 0x40004, A::LogOnly, 0, L"录音 - 未知结束"},
        {17, static_cast<LPARAM>(0xFFFF0004u), A::LogOnly, 0, L"录音 - 未知结束"},
        {17, 0, A::Ignore, 0, nullptr},
        {17, 5, A::Ignore, 0, nullptr},
        {17, 0x1FFFF, A::Ignore, 0, nullptr},
        {18, 1, A::LogOnly, 0, L"录音 - 未知回调"},
        {33, 4, A::LogOnly, 0, L"录音 - 未知回调"},
    };
    for (const Case& c : cases) {
        const RecordNoticeDecision d = DecideRecordNotice(c.cls, c.code);
        EXPECT_EQ(d.action, c.action) << c.cls << "/" << std::hex << c.code;
        EXPECT_EQ(d.state, c.state) << c.cls << "/" << std::hex << c.code;
        EXPECT_EQ(std::wstring(d.logText ? d.logText : L""), std::wstring(c.log ? c.log : L""));
    }
}

class NotificationTest : public ::testing::Test {
protected:
    void SetUp() override {
        control = test::CreateControl();
        ASSERT_TRUE(control.dispatch);
        hwnd = control.object->NotifyWindow();
        ASSERT_NE(hwnd, nullptr);
        ASSERT_EQ(sink.Connect(control.dispatch.Get()), S_OK);
    }
    void TearDown() override {
        sink.Disconnect();
        control = test::Control();
    }
    void Post(UINT msg, WPARAM w, LPARAM l) { ASSERT_TRUE(PostMessageW(hwnd, msg, w, l)); }
    bool WaitForEvents(size_t n) { return PumpUntil([&] { return sink.events.size() >= n; }); }
    IDispatch* ctrl() { return control.dispatch.Get(); }

    test::Control control;
    HWND hwnd = nullptr;
    test::EventSink sink;
};

TEST_F(NotificationTest, RecordStatesAreFiredInOrderAndReadOldestFirst) {
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 0);
    Post(WM_RECORD_NOTIFY, 17, 1);
    Post(WM_RECORD_NOTIFY, 17, 2);
    Post(WM_RECORD_NOTIFY, 17, 4);
    ASSERT_TRUE(WaitForEvents(3));
    const int expected[] = {1, 2, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.events[i].id, 1);
        EXPECT_EQ(sink.events[i].wParam, 0u);
        EXPECT_EQ(sink.events[i].lParam, expected[i]);
    }
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 1);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 2);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 4);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 0);
}

TEST_F(NotificationTest, EndCodesAreMappedAndStrangeNoticesQueueNothing) {
    Post(WM_RECORD_NOTIFY, 18, 1);        // not a recording notice: logged
    Post(WM_RECORD_NOTIFY, 17, 0x40004);  // unknown end reason: logged
    Post(WM_RECORD_NOTIFY, 17, 5);        // ignored
    Post(WM_RECORD_NOTIFY, 17, 0);        // ignored
    Post(WM_RECORD_NOTIFY, 17, 0x30004);  // stopped
    ASSERT_TRUE(WaitForEvents(1));
    test::PumpPending();
    ASSERT_EQ(sink.events.size(), 1u);
    EXPECT_EQ(sink.events[0].lParam, 7);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 7);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 0);

    // Error lines reach the file when the last control closes the log; only this
    // control's session of the log (after the last start banner) counts.
    TearDown();
    const std::vector<std::string> lines = test::ReadLogLines();
    std::vector<std::string> errors;
    for (auto& l : lines) {
        if (l.find("(INFO)=====") != std::string::npos && l.find("Start") != std::string::npos) errors.clear();
        if (l.find("(ERROR)") != std::string::npos) errors.push_back(l.substr(l.find("(ERROR)")));
    }
    EXPECT_EQ(errors, (std::vector<std::string>{"(ERROR)" + test::Utf8(L"录音 - 未知回调"),
                                                "(ERROR)" + test::Utf8(L"录音 - 未知结束")}));
}

// Where play-end notices name the sound they are for (the player's serial), these stand
// for the current sound; where they do not, wParam is not read.
template <class Player>
auto MarkCurrentSound(Player& player, int) -> decltype(player.nSoundSerial, WPARAM()) {
    player.nSoundSerial = 7;
    return 7;
}
template <class Player>
WPARAM MarkCurrentSound(Player&, long) { return 0; }

WPARAM CurrentSound(test::Control& c) { return MarkCurrentSound(c.object->m_objPlayer, 0); }

TEST_F(NotificationTest, PlayStatesArriveInPostingOrder) {
    const WPARAM sound = CurrentSound(control);
    Post(WM_PLAY_NOTIFY, sound, 1);
    Post(WM_PLAY_NOTIFY, sound, 1);
    Post(WM_PLAY_NOTIFY, sound, 3);
    ASSERT_TRUE(WaitForEvents(3));
    for (auto& e : sink.events) {
        EXPECT_EQ(e.id, 3);
        EXPECT_EQ(e.wParam, 0u);
    }
    EXPECT_EQ(sink.events[2].lParam, 3);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetPlayState"), 1);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetPlayState"), 1);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetPlayState"), 3);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetPlayState"), 0);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 0);  // the queues are separate
}

TEST_F(NotificationTest, AScoreNotificationIsQueuedBySessionAndFiredWithBothValues) {
    Post(WM_SCORE_NOTIFY, 5, 1);
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(sink.events[0].id, 2);
    EXPECT_EQ(sink.events[0].wParam, 5u);
    EXPECT_EQ(sink.events[0].lParam, 1);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetScoreState", {nelo::Variant::FromI4(7)}), 0);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetScoreState", {nelo::Variant::FromI4(5)}), 1);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetScoreState", {nelo::Variant::FromI4(5)}), 0);
}

TEST_F(NotificationTest, AHandlerReadingItsQueueFindsTheStateThatFiredIt) {
    IDispatch* d = ctrl();
    sink.probe = [d](const EventRecord& e) -> LONG {
        switch (e.id) {
            case 1: return CallLong(d, L"OcxGetRecordState");
            case 2: return CallLong(d, L"OcxGetScoreState", {nelo::Variant::FromI4(static_cast<LONG>(e.wParam))});
            case 3: return CallLong(d, L"OcxGetPlayState");
        }
        return -1;
    };
    Post(WM_RECORD_NOTIFY, 17, 2);
    Post(WM_SCORE_NOTIFY, 9, 2);
    Post(WM_PLAY_NOTIFY, CurrentSound(control), 1);
    ASSERT_TRUE(WaitForEvents(3));
    EXPECT_EQ(sink.events[0].readInHandler, 2);
    EXPECT_EQ(sink.events[1].readInHandler, 2);
    EXPECT_EQ(sink.events[2].readInHandler, 1);
}

TEST_F(NotificationTest, EachControlHasItsOwnQueuesAndWindow) {
    test::Control other = test::CreateControl();
    ASSERT_NE(other.object->NotifyWindow(), hwnd);
    Post(WM_RECORD_NOTIFY, 17, 1);
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(CallLong(other.dispatch.Get(), L"OcxGetRecordState"), 0);
    EXPECT_EQ(CallLong(ctrl(), L"OcxGetRecordState"), 1);
}

TEST_F(NotificationTest, FrozenEventsAreNotFiredButStatesStillQueue) {
    nelo::ComPtr<IOleControl> ole;
    ASSERT_EQ(ctrl()->QueryInterface(IID_IOleControl, ole.ReceiveVoid()), S_OK);
    ole->FreezeEvents(TRUE);
    Post(WM_RECORD_NOTIFY, 17, 1);
    ASSERT_TRUE(PumpUntil([&] { return control.object->m_listRecordState.GetCount() == 1; }));
    EXPECT_TRUE(sink.events.empty());
    ole->FreezeEvents(FALSE);
    Post(WM_RECORD_NOTIFY, 17, 2);
    ASSERT_TRUE(WaitForEvents(1));
    EXPECT_EQ(sink.events[0].lParam, 2);
}

// A job that outlives its control: it holds only the window handle.
class LatePoster : public nelo::WorkerThread {
public:
    LatePoster(HWND target, HANDLE go, HANDLE done, BOOL* posted)
        : m_target(target), m_go(go), m_done(done), m_posted(posted) {}

protected:
    void Run() override {
        WaitForSingleObject(m_go, 30000);
        *m_posted = PostMessageW(m_target, WM_SCORE_NOTIFY, 1, 1);
        SetEvent(m_done);
    }

private:
    HWND m_target;
    HANDLE m_go, m_done;
    BOOL* m_posted;
};

TEST_F(NotificationTest, AWorkerPostingAfterItsControlIsGoneFailsHarmlessly) {
    nelo::UniqueHandle go(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    nelo::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    BOOL posted = TRUE;
    ASSERT_TRUE(nelo::WorkerThread::Start(new LatePoster(hwnd, go.Get(), done.Get(), &posted)));
    TearDown();  // the control and its window are gone
    SetEvent(go.Get());
    ASSERT_TRUE(PumpUntil([&] { return WaitForSingleObject(done.Get(), 0) == WAIT_OBJECT_0; }));
    EXPECT_FALSE(posted);
    EXPECT_FALSE(IsWindow(hwnd));
    test::PumpPending();
    EXPECT_TRUE(sink.events.empty());
}

}  // namespace
