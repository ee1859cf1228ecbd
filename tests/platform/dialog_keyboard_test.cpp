// SPDX-License-Identifier: MIT
// The dialog keyboard interface of IsDialogMessageW and the default dialog procedure: Tab and
// Shift+Tab, arrows in groups, Enter, Escape, closing, and the default push button following
// the focus. The dialog is laid out like the program's main dialog, with a few extra controls
// that Tab must pass over.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::DialogTemplateBuilder;
using test::MessageLog;

enum : WORD {
    kAccount = 1001,
    kPassword = 1002,
    kEncrypt = 1003,
    kDisabledEdit = 1004,
    kHiddenButton = 1005,
    kNoTabStop = 1006,
    kLabel = 1010,
};

std::vector<WPARAM> commands;
std::vector<LPARAM> commandSenders;
std::vector<WPARAM> editNotifications;

INT_PTR CALLBACK CommandRecorder(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        if (LOWORD(wParam) == kAccount || LOWORD(wParam) == kPassword) {
            editNotifications.push_back(wParam);
        }
        // Edit notifications are not what these tests look at.
        if (HIWORD(wParam) != BN_CLICKED) return FALSE;
        commands.push_back(wParam);
        commandSenders.push_back(lParam);
        return TRUE;
    }
    return FALSE;
}

class DialogKeyboardTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        commands.clear();
        commandSenders.clear();
        editNotifications.clear();
        const DWORD tab = WS_VISIBLE | WS_TABSTOP;
        builder.Font(9, u"MS Shell Dlg")
            .Item(test::kButton, u"OK", IDOK, tab | BS_DEFPUSHBUTTON, 207, 228, 50, 14)
            .Item(test::kButton, u"Cancel", IDCANCEL, tab, 269, 228, 50, 14)
            .Item(test::kStatic, u"&Account:", kLabel, WS_VISIBLE | WS_GROUP, 11, 49, 37, 8)
            .Item(test::kEdit, u"alice", kAccount, tab | WS_BORDER | ES_AUTOHSCROLL, 53, 45, 238,
                  14)
            .Item(test::kEdit, u"", kPassword, tab | WS_BORDER | ES_AUTOHSCROLL, 53, 69, 238, 14)
            .Item(test::kButton, u"Encrypt", kEncrypt, tab, 53, 94, 50, 14)
            .Item(test::kEdit, u"", kDisabledEdit, tab | WS_DISABLED | WS_GROUP | WS_BORDER, 53,
                  143, 238, 14)
            .Item(test::kButton, u"Hidden", kHiddenButton, WS_TABSTOP, 53, 170, 50, 14)
            .Item(test::kButton, u"No tab", kNoTabStop, WS_VISIBLE, 145, 170, 50, 14);
        dialog = CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, CommandRecorder, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }

    bool IsDefault(int id) const {
        return (GetWindowLongW(Item(id), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    }

    DialogTemplateBuilder builder{WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 326, 249};
};

TEST_F(DialogKeyboardTest, TabVisitsVisibleEnabledTabStopsInTemplateOrderAndWraps) {
    ASSERT_EQ(GetFocus(), Item(IDOK));
    const int forward[] = {IDCANCEL, kAccount, kPassword, kEncrypt, IDOK, IDCANCEL};
    for (int expected : forward) {
        Press(VK_TAB);
        EXPECT_EQ(GetFocus(), Item(expected)) << "Tab to " << expected;
    }
    const int backward[] = {IDOK, kEncrypt, kPassword, kAccount, IDCANCEL};
    for (int expected : backward) {
        Press(VK_TAB, win32::headless::kShift);
        EXPECT_EQ(GetFocus(), Item(expected)) << "Shift+Tab to " << expected;
    }
    EXPECT_TRUE(commands.empty());
}

TEST_F(DialogKeyboardTest, TabbingIntoAnEditSelectsItsText) {
    Press(VK_TAB);
    Press(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(kAccount));
    DWORD start = 9, end = 9;
    SendMessageW(Item(kAccount), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    // Typing replaces the selection; Tab is not typed into the edit.
    win32::headless::Type(u"bob");
    Press(VK_TAB);
    WCHAR text[16];
    GetDlgItemTextW(dialog, kAccount, text, 16);
    EXPECT_EQ(std::u16string(text), u"bob");
}

// The edits' notifications reach the dialog in Windows' order around the focus move: the old
// edit's EN_KILLFOCUS before the new one's EN_SETFOCUS; EN_UPDATE before EN_CHANGE.
TEST_F(DialogKeyboardTest, EditNotificationsComeInWindowsOrder) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kAccount)), TRUE);
    editNotifications.clear();
    Press(VK_TAB);
    Type(u"z");
    SetDlgItemTextW(dialog, kAccount, u"new");
    Press(VK_TAB, win32::headless::kShift);
    EXPECT_EQ(editNotifications, (std::vector<WPARAM>{
                                     MAKEWPARAM(kAccount, EN_KILLFOCUS),
                                     MAKEWPARAM(kPassword, EN_SETFOCUS),
                                     MAKEWPARAM(kPassword, EN_UPDATE),
                                     MAKEWPARAM(kPassword, EN_CHANGE),
                                     MAKEWPARAM(kAccount, EN_UPDATE),
                                     MAKEWPARAM(kAccount, EN_CHANGE),
                                     MAKEWPARAM(kPassword, EN_KILLFOCUS),
                                     MAKEWPARAM(kAccount, EN_SETFOCUS),
                                 }));
}

TEST_F(DialogKeyboardTest, TheDefaultLookFollowsTheFocusedPushButton) {
    EXPECT_TRUE(IsDefault(IDOK));
    Press(VK_TAB);  // Cancel
    EXPECT_TRUE(IsDefault(IDCANCEL));
    EXPECT_FALSE(IsDefault(IDOK)) << "only one button looks like the default";
    Press(VK_TAB);  // the account edit: the dialog's own default button again
    EXPECT_TRUE(IsDefault(IDOK));
    EXPECT_FALSE(IsDefault(IDCANCEL));
    Press(VK_TAB);
    Press(VK_TAB);  // Encrypt
    EXPECT_TRUE(IsDefault(kEncrypt));
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID))
        << "the dialog's default button stays OK";
}

TEST_F(DialogKeyboardTest, EnterChoosesTheFocusedPushButtonElseTheDefaultButton) {
    struct Case {
        int focus;
        int command;
    } cases[] = {{kAccount, IDOK},
                 {kPassword, IDOK},
                 {IDOK, IDOK},
                 {IDCANCEL, IDCANCEL},
                 {kEncrypt, kEncrypt}};
    for (const Case& c : cases) {
        commands.clear();
        commandSenders.clear();
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(c.focus)), TRUE);
        Press(VK_RETURN);
        ASSERT_EQ(commands.size(), 1u) << "focus on " << c.focus;
        EXPECT_EQ(commands[0], MAKEWPARAM(c.command, BN_CLICKED)) << "focus on " << c.focus;
        EXPECT_EQ(commandSenders[0], reinterpret_cast<LPARAM>(Item(c.command)));
    }
    // DM_SETDEFID makes another button the default for Enter in an edit.
    SendMessageW(dialog, DM_SETDEFID, kEncrypt, 0);
    EXPECT_TRUE(IsDefault(kEncrypt));
    EXPECT_FALSE(IsDefault(IDOK));
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kAccount)), TRUE);
    commands.clear();
    Press(VK_RETURN);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0]), kEncrypt);
}

TEST_F(DialogKeyboardTest, EscapeCloseBoxAltF4AndWmCloseAllBecomeCancel) {
    Press(VK_ESCAPE);
    Press(VK_F4, win32::headless::kAlt);
    // The close box at the right end of the caption.
    RECT rect;
    GetWindowRect(dialog, &rect);
    Click(POINT{rect.right - 10, rect.top + 10});
    const WPARAM cancel = MAKEWPARAM(IDCANCEL, BN_CLICKED);
    EXPECT_EQ(commands, (std::vector<WPARAM>{cancel, cancel, cancel}));
    // WM_CLOSE's IDCANCEL is posted, not sent; the dialog is not destroyed.
    commands.clear();
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(commands.empty());
    test::Pump(dialog);
    EXPECT_EQ(commands, (std::vector<WPARAM>{cancel}));
    EXPECT_EQ(commandSenders.back(), reinterpret_cast<LPARAM>(Item(IDCANCEL)));
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(DialogKeyboardTest, ADisabledCancelButtonOnlyRingsTheBell) {
    EnableWindow(Item(IDCANCEL), FALSE);
    int beeps = win32::headless::BeepCount();
    Press(VK_ESCAPE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    test::Pump(dialog);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(win32::headless::BeepCount(), beeps + 2);
}

TEST_F(DialogKeyboardTest, ArrowsMoveWithinTheGroupPassingOverStatics) {
    Press(VK_DOWN);  // OK -> Cancel
    EXPECT_EQ(GetFocus(), Item(IDCANCEL));
    // The last group runs on round the end of the list to OK and Cancel, which have no WS_GROUP;
    // the disabled edit and the hidden button are passed over.
    Press(VK_RIGHT);
    EXPECT_EQ(GetFocus(), Item(kNoTabStop));
    // Encrypt's group starts at the label: Down wraps past it to the account edit.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kEncrypt)), TRUE);
    Press(VK_DOWN);
    EXPECT_EQ(GetFocus(), Item(kAccount));
    // The edit wants the arrows for its caret.
    Press(VK_UP);
    EXPECT_EQ(GetFocus(), Item(kAccount));
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kEncrypt)), TRUE);
    Press(VK_UP);
    EXPECT_EQ(GetFocus(), Item(kPassword));
}

TEST_F(DialogKeyboardTest, OnlyMessagesOfTheDialogAreItsOwn) {
    HWND other = CreateWindowExW(0, test::RecordingClass(), u"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    MSG foreign{other, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_FALSE(IsDialogMessageW(dialog, &foreign));
    MSG mine{Item(kAccount), WM_USER, 0, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &mine)) << "dispatched by IsDialogMessageW";
    EXPECT_TRUE(commands.empty());
    EXPECT_FALSE(IsDialogMessageW(dialog, nullptr));
}

TEST_F(DialogKeyboardTest, FocusIsSavedAcrossDeactivationAndRestored) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(kPassword)), TRUE);
    HWND other = CreateWindowExW(0, test::RecordingClass(), u"", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                 10, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(GetFocus(), other);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetFocus(), Item(kPassword));
    // The saved control is given back once; then the dialog itself getting the focus hands it to
    // the first tab stop (Wine's dialog.c, test_SaveRestoreFocus).
    SetFocus(dialog);
    EXPECT_EQ(GetFocus(), GetNextDlgTabItem(dialog, nullptr, FALSE));
}

}  // namespace
