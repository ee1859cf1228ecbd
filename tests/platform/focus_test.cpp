// SPDX-License-Identifier: MIT
// Focus, activation, enabling and showing: the messages on the way and their order.
#include <windows.h>

#include <gtest/gtest.h>

#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::MessageLog;
using test::SequenceIs;

using FocusTest = test::DisplayTest;

TEST_F(FocusTest, ShowingATopLevelWindowActivatesItAndFocusesIt) {
    HWND window = Create(u"window", WS_POPUP);
    MessageLog::Current().Clear();
    EXPECT_FALSE(ShowWindow(window, SW_SHOW)) << "returns the previous visibility";
    EXPECT_TRUE(SequenceIs(MessageLog::Current().seen(), {{window, WM_SHOWWINDOW, TRUE, 0},
                                                          {window, WM_NCACTIVATE, TRUE},
                                                          {window, WM_ACTIVATE, WA_ACTIVE, 0},
                                                          {window, WM_SETFOCUS, 0, 0}}));
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetFocus(), window);
    EXPECT_TRUE(ShowWindow(window, SW_SHOW));
}

TEST_F(FocusTest, SetFocusKillsThenSetsAndActivatesTheTopLevelWindow) {
    HWND first = Create(u"first", WS_POPUP | WS_VISIBLE);
    HWND second = Create(u"second", WS_POPUP | WS_VISIBLE);
    HWND child = Create(u"child", WS_CHILD | WS_VISIBLE, first);
    ASSERT_EQ(GetActiveWindow(), second);
    MessageLog::Current().Clear();
    EXPECT_EQ(SetFocus(child), first) << "returns the focus as activation left it";
    EXPECT_TRUE(SequenceIs(MessageLog::Current().Only({WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS}),
                           {{second, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(first)},
                            {first, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(second)},
                            // DefWindowProc's WM_ACTIVATE focuses the window itself first.
                            {second, WM_KILLFOCUS, reinterpret_cast<WPARAM>(first)},
                            {first, WM_SETFOCUS, reinterpret_cast<WPARAM>(second)},
                            {first, WM_KILLFOCUS, reinterpret_cast<WPARAM>(child)},
                            {child, WM_SETFOCUS, reinterpret_cast<WPARAM>(first)}}));
    EXPECT_EQ(GetFocus(), child);
    EXPECT_EQ(GetActiveWindow(), first);
}

TEST_F(FocusTest, DisabledOrMinimisedWindowsTakeNoFocus) {
    HWND top = Create(u"top", WS_POPUP | WS_VISIBLE);
    HWND child = Create(u"child", WS_CHILD | WS_VISIBLE | WS_DISABLED, top);
    HWND grandchild = Create(u"grandchild", WS_CHILD | WS_VISIBLE, child);
    SetFocus(top);
    EXPECT_EQ(SetFocus(child), nullptr);
    EXPECT_EQ(SetFocus(grandchild), nullptr) << "inside a disabled window";
    EXPECT_EQ(GetFocus(), top);
    ShowWindow(top, SW_MINIMIZE);
    EXPECT_EQ(SetFocus(top), nullptr);
}

TEST_F(FocusTest, EnableWindowSendsWmEnableAndTakesTheFocus) {
    HWND window = Create(u"window", WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetFocus(), window);
    MessageLog::Current().Clear();
    EXPECT_FALSE(EnableWindow(window, FALSE)) << "was enabled";
    EXPECT_TRUE(SequenceIs(
        MessageLog::Current().seen(),
        {{window, WM_CANCELMODE}, {window, WM_KILLFOCUS, 0}, {window, WM_ENABLE, FALSE, 0}}));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_TRUE(EnableWindow(window, FALSE)) << "was disabled; nothing sent";
    MessageLog::Current().Clear();
    EXPECT_TRUE(EnableWindow(window, TRUE));
    EXPECT_TRUE(SequenceIs(MessageLog::Current().seen(), {{window, WM_ENABLE, TRUE, 0}}));
}

TEST_F(FocusTest, MinimiseAndRestore) {
    HWND other = Create(u"other", WS_POPUP | WS_VISIBLE);
    HWND window = Create(u"window", WS_OVERLAPPED | WS_VISIBLE);
    RECT before;
    GetWindowRect(window, &before);
    ASSERT_EQ(GetActiveWindow(), window);
    ShowWindow(window, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    // Windows parks minimised windows at -32000 and activates the next window.
    RECT parked;
    GetWindowRect(window, &parked);
    EXPECT_EQ(parked.left, -32000);
    EXPECT_EQ(GetActiveWindow(), other);
    // A minimised window still belongs to the monitor it will be restored on.
    EXPECT_EQ(MonitorFromWindow(window, MONITOR_DEFAULTTONULL),
              MonitorFromPoint(POINT{before.left, before.top}, MONITOR_DEFAULTTONULL));
    ShowWindow(window, SW_RESTORE);
    RECT after;
    GetWindowRect(window, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_EQ(GetActiveWindow(), window);
}

TEST_F(FocusTest, HidingPassesActivationToTheOwner) {
    HWND owner = Create(u"owner", WS_OVERLAPPED | WS_VISIBLE);
    HWND unrelated = Create(u"unrelated", WS_POPUP | WS_VISIBLE);
    HWND popup = Create(u"popup", WS_POPUP | WS_VISIBLE, owner);
    static_cast<void>(unrelated);
    ASSERT_EQ(GetActiveWindow(), popup);
    ShowWindow(popup, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owner) << "a pop-up hands activation back to its owner";
    EXPECT_FALSE(IsWindowVisible(popup));
    EXPECT_FALSE(ShowWindow(popup, SW_HIDE));
}

TEST_F(FocusTest, NoActivationShowCommands) {
    HWND active = Create(u"active", WS_POPUP | WS_VISIBLE);
    HWND quiet = Create(u"quiet", WS_POPUP);
    ShowWindow(quiet, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), active);
    ShowWindow(quiet, SW_SHOWMINNOACTIVE);
    EXPECT_EQ(GetActiveWindow(), active);
    EXPECT_TRUE(IsIconic(quiet));
    SetLastError(0);
    EXPECT_FALSE(ShowWindow(quiet, 12));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
