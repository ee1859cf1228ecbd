// SPDX-License-Identifier: MIT
// The message loop, the pointer array that keeps its filters and idle handlers, and the module
// that finds each thread's loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_module.h"
#include "app/message_loop.h"
#include "app/pointer_array.h"
#include "support/headless_test.h"
#include "win32/structured_exception.h"

namespace {

namespace headless = win32::headless;

std::vector<UINT> g_dispatched;

LRESULT CALLBACK RecordingProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg >= WM_USER || uMsg == WM_CHAR || uMsg == WM_KEYDOWN) g_dispatched.push_back(uMsg);
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

// Logs its name for each message it sees (but the system's own) and takes `takes`; as an idle
// handler, logs its name and asks for more, which the loop does not give.
struct Logger : CMessageFilter, CIdleHandler {
    Logger(std::string name, std::string& log) : name(std::move(name)), log(log) {}
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message < WM_USER && pMsg->message != WM_KEYDOWN) return FALSE;
        log += name;
        if (onCall) onCall();
        return pMsg->message == takes ? TRUE : FALSE;
    }
    BOOL OnIdle() override {
        log += name;
        return TRUE;
    }
    std::string name;
    std::string& log;
    UINT takes = 0;
    std::function<void()> onCall;
};

class MessageLoopTest : public test::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        g_dispatched.clear();
        ASSERT_NE(test::RegisterTestClass(u"MessageLoopTestWindow", RecordingProc), 0);
        m_window = CreateWindowExW(0, u"MessageLoopTestWindow", u"", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(m_window, nullptr);
    }

    // Posts the messages and a quit, runs the loop and returns its code.
    int Run(std::initializer_list<UINT> messages) {
        for (const UINT message : messages) PostMessageW(m_window, message, 'A', 0x001E0001);
        PostQuitMessage(7);
        return m_loop.Run();
    }

    HWND m_window = nullptr;
    CMessageLoop m_loop;
    std::string m_log;
};

TEST_F(MessageLoopTest, FiltersGoLastAddedFirstAndOneThatTakesAMessageHidesIt) {
    Logger a("a", m_log), b("b", m_log), c("c", m_log);
    for (auto* f : {&a, &b, &c}) m_loop.AddMessageFilter(f);
    b.takes = WM_KEYDOWN;
    EXPECT_EQ(Run({WM_KEYDOWN, WM_USER}), 7);
    EXPECT_EQ(m_log,
              "cb"
              "cba")
        << "the quit reaches no filter";
    EXPECT_EQ(g_dispatched, std::vector<UINT>{WM_USER}) << "a taken key is not translated";
    m_loop.RemoveMessageFilter(&b);
    Run({WM_KEYDOWN});
    EXPECT_EQ(g_dispatched, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_CHAR}));
}

TEST_F(MessageLoopTest, FiltersMayBeRemovedWhileTheyRunAndADuplicateRunsTwice) {
    Logger a("a", m_log), b("b", m_log), c("c", m_log);
    for (auto* f : {&a, &a, &b, &c}) m_loop.AddMessageFilter(f);
    c.onCall = [&] {
        m_loop.RemoveMessageFilter(&c);
        m_loop.RemoveMessageFilter(&b);
    };
    Run({WM_USER});
    EXPECT_EQ(m_log, "caa");
    EXPECT_TRUE(m_loop.RemoveMessageFilter(&a));
    EXPECT_FALSE(m_loop.RemoveMessageFilter(&b)) << "not there any more";
    EXPECT_FALSE(m_loop.RemoveIdleHandler(nullptr));
    Run({WM_USER});
    EXPECT_EQ(m_log, "caaa");
}

TEST_F(MessageLoopTest, IdleHandlersRunOncePerBurstInTheOrderAdded) {
    Logger first("1", m_log), second("2", m_log);
    m_loop.AddIdleHandler(&first);
    m_loop.AddIdleHandler(&second);
    // Each step runs while the loop waits for input.
    headless::Run([&] {
        EXPECT_EQ(m_log, "12") << "one pass when the queue is empty at the start";
        for (const UINT noActivity :
             std::initializer_list<UINT>{WM_MOUSEMOVE, WM_NCMOUSEMOVE, WM_PAINT, UINT{0x0118}}) {
            PostMessageW(m_window, noActivity, 0, 0);  // 0x118: the system timer
        }
    });
    headless::Run([&] {
        EXPECT_EQ(m_log, "12") << "movement, painting and the system timer are no activity";
        for (const UINT activity : {WM_USER, WM_KEYDOWN, WM_USER}) {
            PostMessageW(m_window, activity, 0, 0);
        }
    });
    headless::Run([&] {
        EXPECT_EQ(m_log, "1212") << "one more pass for the whole burst";
        m_loop.RemoveIdleHandler(&first);
        PostMessageW(m_window, WM_USER, 0, 0);
    });
    headless::Run([&] {
        EXPECT_EQ(m_log, "12122");
        PostQuitMessage(3);
    });
    EXPECT_EQ(m_loop.Run(), 3);
    EXPECT_EQ(headless::Pending(), 0u);
}

TEST(PointerArrayTest, RemovesTheFirstEqualElementAndKeepsTheOrder) {
    int items[8];
    CPointerArray<int*> array;
    EXPECT_FALSE(array.Remove(&items[0])) << "empty";
    for (int* p : std::initializer_list<int*>{&items[0], &items[1], &items[0], nullptr, &items[2],
                                              &items[3], &items[4]}) {
        ASSERT_TRUE(array.Add(p));
    }
    const auto contents = [&] {
        std::vector<int*> out;
        for (int i = 0; i < array.GetSize(); ++i) out.push_back(array[i]);
        return out;
    };
    EXPECT_TRUE(array.Remove(&items[0]));
    EXPECT_EQ(contents(),
              (std::vector<int*>{&items[1], &items[0], nullptr, &items[2], &items[3], &items[4]}));
    EXPECT_FALSE(array.Remove(&items[5]));
    EXPECT_TRUE(array.Remove(nullptr));
    EXPECT_TRUE(array.Remove(&items[0]));
    EXPECT_EQ(contents(), (std::vector<int*>{&items[1], &items[2], &items[3], &items[4]}));
}

TEST(PointerArrayTest, IndexingOutsideRaisesArrayBoundsExceeded) {
    int items[2];
    CPointerArray<int*> array;
    array.Add(&items[0]);
    array.Add(&items[1]);
    array.Remove(&items[1]);  // capacity 2, size 1: index 1 is inside the buffer only
    for (const int index : {-1, 1, 0x7FFFFFFF}) {
        try {
            array[index];
            ADD_FAILURE() << "no exception at " << index;
        } catch (const win32::StructuredException& e) {
            EXPECT_EQ(e.code(), 0xC000008Cu);  // EXCEPTION_ARRAY_BOUNDS_EXCEEDED
        }
    }
}

// Runs f on a thread of its own and returns that thread's id.
template <class F>
DWORD OnOtherThread(F f) {
    DWORD id = 0;
    std::thread([&] {
        id = GetCurrentThreadId();
        f();
    }).join();
    return id;
}

TEST(AppModuleTest, EachThreadFindsItsOwnLoopOrNone) {
    CAppModule module;
    CMessageLoop loop1, loop2;
    ASSERT_EQ(module.Initialize(nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    module.AddMessageLoop(&loop1);
    module.AddMessageLoop(&loop2);
    const DWORD other = OnOtherThread([&] {
        EXPECT_EQ(module.GetMessageLoop(), nullptr) << "the main thread's loop is not its own";
        EXPECT_FALSE(module.RemoveMessageLoop());
        EXPECT_TRUE(module.AddMessageLoop(&loop2));
    });
    EXPECT_EQ(module.GetMessageLoop(OnOtherThread([] {})), nullptr);
    EXPECT_EQ(module.GetMessageLoop(), &loop1) << "a thread's first entry wins";
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(), &loop2) << "and is removed first";
    EXPECT_TRUE(module.RemoveMessageLoop());
    EXPECT_FALSE(module.RemoveMessageLoop());
    EXPECT_EQ(module.GetMessageLoop(other), &loop2) << "removal keeps other threads' entries";
}

TEST(AppModuleTest, OutsideInitializeAndTerminateThereAreNoLoops) {
    CAppModule module;
    CMessageLoop loop;
    for (const char* when : {"never initialised", "terminated"}) {
        SCOPED_TRACE(when);
        EXPECT_FALSE(module.AddMessageLoop(&loop));
        EXPECT_EQ(module.GetMessageLoop(), nullptr);
        EXPECT_FALSE(module.RemoveMessageLoop());
        ASSERT_EQ(module.Initialize(nullptr, nullptr, nullptr), S_OK);
        EXPECT_TRUE(module.AddMessageLoop(&loop));
        EXPECT_EQ(module.GetMessageLoop(), &loop) << "a fresh start after Terminate";
        module.Terminate();
        module.Terminate();  // a second call does nothing
    }
}

}  // namespace
