// SPDX-License-Identifier: MIT
#include <vector>

#include "controls_test_support.h"

namespace {

class ButtonTest : public ControlsTest {
protected:
    HWND CreateButton(DWORD style = BS_PUSHBUTTON, int id = 7, RECT at = {10, 10, 70, 30}) {
        HWND button = Create(u"Button", u"Press", style | WS_TABSTOP, id, at);
        EXPECT_NE(button, nullptr);
        return button;
    }
    static LRESULT State(HWND button) { return SendMessageW(button, BM_GETSTATE, 0, 0); }
};

// The dialog code follows the type, which BM_SETSTYLE changes alone.
TEST_F(ButtonTest, DialogCodesFollowTheType) {
    EXPECT_EQ(SendMessageW(CreateButton(BS_GROUPBOX), WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    HWND button = CreateButton(BS_PUSHBUTTON | BS_CENTER);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    const auto style = static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE));
    EXPECT_EQ(style & BS_TYPEMASK, DWORD{BS_DEFPUSHBUTTON});
    EXPECT_EQ(style & (BS_CENTER | WS_TABSTOP | WS_CHILD),
              DWORD{BS_CENTER | WS_TABSTOP | WS_CHILD});
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
}

TEST_F(ButtonTest, ClickMessageFocusesAndNotifies) {
    HWND other = CreateButton(BS_PUSHBUTTON, 8, {10, 40, 70, 60});
    HWND button = CreateButton(BS_PUSHBUTTON, 7);
    SetFocus(other);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(TakeNotifications(), std::vector<Notification>({{7, BN_CLICKED, button}}));
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(State(button), BST_FOCUS);
}

TEST_F(ButtonTest, SpacePushesOnDownAndClicksOnUp) {
    HWND button = CreateButton();
    SetFocus(button);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x40000000);  // auto-repeat changes nothing
    EXPECT_TRUE(TakeNotifications().empty());
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(State(button), BST_FOCUS);
    EXPECT_EQ(TakeNotifications(), std::vector<Notification>({{7, BN_CLICKED, button}}));

    Press(VK_SPACE);  // through the queue, as typed
    EXPECT_EQ(TakeNotifications(), std::vector<Notification>({{7, BN_CLICKED, button}}));
}

TEST_F(ButtonTest, LosingTheFocusWhilePushedCancels) {
    HWND button = CreateButton();
    HWND other = CreateButton(BS_PUSHBUTTON, 8, {10, 40, 70, 60});
    SetFocus(button);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    SetFocus(other);
    EXPECT_EQ(State(button), 0);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);  // shows pushed, clicks nothing
    EXPECT_EQ(State(button), BST_PUSHED);
    EXPECT_TRUE(TakeNotifications().empty());
}

TEST_F(ButtonTest, MouseClicksInsideOnly) {
    HWND button = CreateButton();
    Click({30, 20});
    EXPECT_EQ(TakeNotifications(), std::vector<Notification>({{7, BN_CLICKED, button}}));
    EXPECT_EQ(GetFocus(), button);

    // Released outside: no click.
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(State(button) & BST_PUSHED, BST_PUSHED);
    SendMessageW(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
    EXPECT_EQ(State(button) & BST_PUSHED, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(100, 5));
    EXPECT_TRUE(TakeNotifications().empty());
}

TEST_F(ButtonTest, DisabledButtonsIgnoreKeysAndMouseButNotBmClick) {
    HWND button = CreateButton();
    SetFocus(button);
    EnableWindow(button, FALSE);
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageW(button, WM_KEYUP, VK_SPACE, 0);
    Click({30, 20});
    EXPECT_TRUE(TakeNotifications().empty());
    EXPECT_EQ(State(button) & BST_PUSHED, 0);
    SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(TakeNotifications().size(), 1u);
}

TEST_F(ButtonTest, GroupBoxIsTransparentAndNeverClicks) {
    HWND group = CreateButton(BS_GROUPBOX, 9, {0, 0, 200, 100});
    EXPECT_EQ(SendMessageW(group, WM_NCHITTEST, 0, MAKELPARAM(50, 50)), HTTRANSPARENT);
    SendMessageW(group, BM_CLICK, 0, 0);
    Click({50, 50});
    EXPECT_TRUE(TakeNotifications().empty());
}

// A button whose click closes its window: nothing may touch the button afterwards.
TEST_F(ButtonTest, ParentMayDestroyTheButtonWhenClicked) {
    onCommand() = [](const Notification& n) { DestroyWindow(n.from); };
    HWND byMessage = CreateButton();
    SendMessageW(byMessage, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(byMessage));

    HWND bySpace = CreateButton();
    SetFocus(bySpace);
    Press(VK_SPACE);
    EXPECT_FALSE(IsWindow(bySpace));

    HWND byMouse = CreateButton();
    Click({30, 20});
    EXPECT_FALSE(IsWindow(byMouse));
}

}  // namespace
