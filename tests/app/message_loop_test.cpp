// The message loop: who sees a message first, and when idle handlers run.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/message_loop.h"
#include "win32/headless.h"

namespace {

namespace headless = win32::headless;

std::vector<UINT> g_dispatched;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg >= WM_USER || uMsg == WM_CHAR || uMsg == WM_KEYDOWN) g_dispatched.push_back(uMsg);
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

struct LoggingFilter : CMessageFilter {
    LoggingFilter(std::string name, std::string& log) : name(std::move(name)), log(log) {}
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message < WM_USER && pMsg->message != WM_KEYDOWN) return FALSE;
        log += name;
        if (onCall) onCall();
        return pMsg->message == takes ? TRUE : FALSE;
    }
    std::string name;
    std::string& log;
    UINT takes = 0;
    std::function<void()> onCall;
};

struct CountingIdleHandler : CIdleHandler {
    CountingIdleHandler(std::string name, std::string& log) : name(std::move(name)), log(log) {}
    BOOL OnIdle() override {
        log += name;
        ++calls;
        return TRUE;  // asks for more, which the loop does not give
    }
    std::string name;
    std::string& log;
    int calls = 0;
};

class MessageLoopTest : public testing::Test {
protected:
    void SetUp() override {
        headless::Start();
        g_dispatched.clear();
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = u"MessageLoopTestWindow";
        RegisterClassExW(&wc);
        m_window = CreateWindowExW(0, u"MessageLoopTestWindow", u"", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(m_window);
        headless::Stop();
    }

    void Post(UINT message) { PostMessageW(m_window, message, 0, 0); }

    HWND m_window = nullptr;
    CMessageLoop m_loop;
    std::string m_log;
};

TEST_F(MessageLoopTest, FiltersAreConsultedLastAddedFirst) {
    LoggingFilter a("a", m_log), b("b", m_log), c("c", m_log);
    for (auto* f : {&a, &b, &c}) m_loop.AddMessageFilter(f);
    Post(WM_USER + 1);
    PostQuitMessage(5);
    EXPECT_EQ(m_loop.Run(), 5);
    EXPECT_EQ(m_log, "cba");
    EXPECT_EQ(g_dispatched, std::vector<UINT>{WM_USER + 1});
}

TEST_F(MessageLoopTest, AFilterThatTakesAMessageHidesItFromEarlierFiltersAndFromDispatch) {
    LoggingFilter a("a", m_log), b("b", m_log), c("c", m_log);
    for (auto* f : {&a, &b, &c}) m_loop.AddMessageFilter(f);
    b.takes = WM_USER + 1;
    Post(WM_USER + 1);
    Post(WM_USER + 2);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_EQ(m_log,
              "cb"
              "cba");
    EXPECT_EQ(g_dispatched, std::vector<UINT>{WM_USER + 2});
}

TEST_F(MessageLoopTest, ATakenKeyIsNotTranslatedIntoACharacter) {
    LoggingFilter eater("e", m_log);
    m_loop.AddMessageFilter(&eater);
    eater.takes = WM_KEYDOWN;
    PostMessageW(m_window, WM_KEYDOWN, 'A', 0x001E0001);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_TRUE(g_dispatched.empty()) << g_dispatched.size() << " messages reached the window";

    // Without the filter the same key is dispatched and translated.
    m_loop.RemoveMessageFilter(&eater);
    PostMessageW(m_window, WM_KEYDOWN, 'A', 0x001E0001);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
}

TEST_F(MessageLoopTest, AFilterMayRemoveFiltersWhileItRuns) {
    LoggingFilter a("a", m_log), b("b", m_log), c("c", m_log);
    for (auto* f : {&a, &b, &c}) m_loop.AddMessageFilter(f);
    c.onCall = [&] {
        m_loop.RemoveMessageFilter(&c);
        m_loop.RemoveMessageFilter(&b);
    };
    Post(WM_USER);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_EQ(m_log, "ca");
}

TEST_F(MessageLoopTest, AFilterAddedTwiceIsConsultedTwiceUntilOneCopyIsRemoved) {
    LoggingFilter a("a", m_log);
    m_loop.AddMessageFilter(&a);
    m_loop.AddMessageFilter(&a);
    Post(WM_USER);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_EQ(m_log, "aa");
    EXPECT_TRUE(m_loop.RemoveMessageFilter(&a));
    LoggingFilter never("n", m_log);
    EXPECT_FALSE(m_loop.RemoveMessageFilter(&never));
    EXPECT_FALSE(m_loop.RemoveIdleHandler(nullptr));
    Post(WM_USER);
    PostQuitMessage(0);
    m_loop.Run();
    EXPECT_EQ(m_log, "aaa");
}

TEST_F(MessageLoopTest, IdleHandlersRunOncePerBurstInTheOrderAdded) {
    CountingIdleHandler first("1", m_log), second("2", m_log);
    m_loop.AddIdleHandler(&first);
    m_loop.AddIdleHandler(&second);

    // Each step runs while the loop waits for input.
    headless::Run([&] {
        EXPECT_EQ(m_log, "12") << "one pass when the queue is empty at the start";
        Post(WM_MOUSEMOVE);
    });
    headless::Run([&] { Post(WM_NCMOUSEMOVE); });
    headless::Run([&] { Post(0x0118); });  // the system timer
    headless::Run([&] { Post(WM_PAINT); });
    headless::Run([&] {
        EXPECT_EQ(m_log, "12") << "movement, painting and the system timer are no activity";
        Post(WM_USER);
        Post(WM_KEYDOWN);
        Post(WM_USER);
    });
    headless::Run([&] {
        EXPECT_EQ(m_log, "1212") << "one more pass for the whole burst";
        m_loop.RemoveIdleHandler(&first);
        Post(WM_USER);
    });
    headless::Run([&] {
        EXPECT_EQ(m_log, "12122");
        PostQuitMessage(3);
    });
    EXPECT_EQ(m_loop.Run(), 3);
    EXPECT_EQ(headless::Pending(), 0u);
}

TEST_F(MessageLoopTest, RunReturnsTheQuitCodeAndFiltersNeverSeeTheQuit) {
    LoggingFilter a("a", m_log);
    m_loop.AddMessageFilter(&a);
    PostQuitMessage(-4);
    EXPECT_EQ(m_loop.Run(), -4);
    EXPECT_EQ(m_loop.m_msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m_log, "");
}

}  // namespace
