// SPDX-License-Identifier: MIT
// The message queue: posting, the quit flag, retrieval order, keyboard translation and routing,
// and waiting on the display.
#include <windows.h>

#include <gtest/gtest.h>

#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::MessageLog;
using test::SequenceIs;

class MessageQueueTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        window = Create(u"window", WS_POPUP | WS_VISIBLE, nullptr, 0, {0, 0, 100, 100});
        MessageLog::Current().Clear();
    }

    HWND window = nullptr;
};

TEST_F(MessageQueueTest, GetMessageReturnsZeroWithTheQuitCodeAfterPostedMessages) {
    PostQuitMessage(3);
    PostMessageW(window, WM_USER, 1, 0);
    PostQuitMessage(7);  // calls coalesce; the last code counts
    MSG msg;
    // WM_QUIT is a flag, made into a message only when nothing else is posted.
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) << "taken once";
}

TEST_F(MessageQueueTest, PeekWithoutRemovingLeavesTheQuitFlagAndIgnoresFilters) {
    PostQuitMessage(5);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRange) {
    PostMessageW(nullptr, WM_USER + 1, 0, 0);
    PostMessageW(window, WM_USER + 2, 0, 0);
    PostMessageW(window, WM_APP, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1)) << "(HWND)-1: thread messages only";
}

TEST_F(MessageQueueTest, TranslateMessageMakesCharactersThatComeBeforeTheKeyUp) {
    Press('A', win32::headless::kShift);
    EXPECT_TRUE(SequenceIs(MessageLog::Current().seen(), {{window, WM_KEYDOWN, VK_SHIFT},
                                                          {window, WM_KEYDOWN, 'A'},
                                                          {window, WM_CHAR, u'A'},
                                                          {window, WM_KEYUP, 'A'},
                                                          {window, WM_KEYUP, VK_SHIFT}}));
    // lParam: repeat count 1; the up transition has bits 30 and 31.
    EXPECT_EQ(MessageLog::Current().seen()[1].lParam & 0xC000FFFF, 1);
    EXPECT_EQ(static_cast<DWORD>(MessageLog::Current().seen()[3].lParam) & 0xC000FFFF, 0xC0000001u);
}

// Alt makes system keys; Alt+F4 asks to close, and WM_CLOSE's default destroys the window.
TEST_F(MessageQueueTest, AltF4ClosesTheWindow) {
    Press(VK_F4, win32::headless::kAlt);
    EXPECT_TRUE(
        SequenceIs(MessageLog::Current().Only({WM_SYSKEYDOWN, WM_SYSCOMMAND, WM_CLOSE, WM_DESTROY}),
                   {{window, WM_SYSKEYDOWN, VK_MENU},
                    {window, WM_SYSKEYDOWN, VK_F4},
                    {window, WM_SYSCOMMAND, SC_CLOSE},
                    {window, WM_CLOSE},
                    {window, WM_DESTROY}}));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(MessageQueueTest, ClicksActivateAndReachTheClientInClientCoordinates) {
    HWND other = Create(u"other", WS_POPUP | WS_VISIBLE, nullptr, 0, {200, 100, 300, 200});
    ASSERT_EQ(GetActiveWindow(), other);
    MessageLog::Current().Clear();
    Click(POINT{30, 40});
    EXPECT_EQ(GetActiveWindow(), window);
    auto seen = MessageLog::Current().Only({WM_MOUSEACTIVATE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    EXPECT_TRUE(SequenceIs(seen, {{window, WM_MOUSEACTIVATE},
                                  {window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40)},
                                  {window, WM_LBUTTONUP, 0, MAKELPARAM(30, 40)}}));
}

TEST_F(MessageQueueTest, ActionsRunWhenTheQueueRunsDryAndTheExhaustedScriptThrows) {
    int ran = 0;
    PostMessageW(window, WM_USER, 0, 0);
    win32::headless::Run([&] {
        ++ran;
        PostQuitMessage(4);
    });
    MSG msg;
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), TRUE);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(ran, 0) << "posted messages come before input";
    EXPECT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(msg.wParam, 4u);
    // Nothing left to deliver: the wait fails loudly instead of hanging.
    EXPECT_THROW(GetMessageW(&msg, nullptr, 0, 0), win32::InputExhausted);
}

TEST_F(MessageQueueTest, NullAndThreadMessagesAreHarmless) {
    EXPECT_EQ(GetMessageW(nullptr, nullptr, 0, 0), -1);
    EXPECT_FALSE(PeekMessageW(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessageW(nullptr), 0);
    MSG thread{nullptr, WM_USER, 0, 0, 0, {}};
    EXPECT_EQ(DispatchMessageW(&thread), 0);
    EXPECT_FALSE(TranslateMessage(&thread));
}

}  // namespace
