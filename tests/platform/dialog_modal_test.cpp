// SPDX-License-Identifier: MIT
// DialogBoxParamW's modal run: the owner disabled while it runs, the dialog shown only when the
// queue first runs dry, EndDialog's value, WM_QUIT passed on, and the failure values.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::DialogTemplateBuilder;
using test::MessageLog;
using test::SequenceIs;

bool visibleWhenPostedMessageRan = true;

// The owner: a modeless dialog with an edit that has the focus.
INT_PTR CALLBACK OwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::Current().Record(hwnd, message, wParam, lParam);
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// The modal box: ends with 100 + the command id; checks its visibility when its own posted
// message arrives.
INT_PTR CALLBACK ModalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::Current().Record(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_INITDIALOG:
            PostMessageW(hwnd, WM_APP, 0, 0);
            if (lParam == -1) EndDialog(hwnd, 55);
            return TRUE;
        case WM_APP:
            visibleWhenPostedMessageRan = IsWindowVisible(hwnd) != FALSE;
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(hwnd, 100 + LOWORD(wParam));
            }
            return TRUE;
        default:
            return FALSE;
    }
}

class DialogModalTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        MessageLog::Current().Ignore({WM_GETTEXT, WM_GETTEXTLENGTH, WM_NCHITTEST, WM_GETDLGCODE,
                                      WM_SETCURSOR, WM_MOUSEMOVE});
        visibleWhenPostedMessageRan = true;
        ownerTemplate
            .Item(test::kEdit, u"text", 10, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 5, 5, 100, 12)
            .Item(test::kEdit, u"more", 11, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 5, 25, 100, 12);
        owner = CreateDialogIndirectParamW(nullptr, ownerTemplate.Build(), nullptr, OwnerProc, 0);
        ASSERT_NE(owner, nullptr);
        SendMessageW(owner, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(owner, 11)), TRUE);
        modalTemplate.Item(test::kButton, u"OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                           130, 81, 50, 14);
        MessageLog::Current().Clear();
    }

    INT_PTR RunModal(HWND parent, LPARAM param = 0) {
        return DialogBoxIndirectParamW(nullptr, modalTemplate.Build(), parent, ModalProc, param);
    }

    DialogTemplateBuilder ownerTemplate{WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 200, 100};
    DialogTemplateBuilder modalTemplate{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0,
                                        187, 102};
    HWND owner = nullptr;
};

TEST_F(DialogModalTest, TheOwnerIsDisabledWhileTheBoxRunsAndEnabledBeforeItIsDestroyed) {
    HWND box = nullptr;
    bool ownerEnabledDuringRun = true;
    win32::headless::Run([&] {
        box = GetActiveWindow();
        ownerEnabledDuringRun = IsWindowEnabled(owner) != FALSE;
    });
    win32::headless::PressKey(VK_RETURN);
    EXPECT_EQ(RunModal(GetDlgItem(owner, 10)), 101) << "EndDialog's value";
    EXPECT_FALSE(ownerEnabledDuringRun);
    ASSERT_NE(box, owner);
    EXPECT_FALSE(IsWindow(box));
    // The owner is disabled before the box is made (Wine's msg.c, WmModalDialogSeq) and
    // enabled again before the box is destroyed, so activation goes back to it.
    EXPECT_TRUE(SequenceIs(MessageLog::Current().Only({WM_INITDIALOG, WM_ENABLE, WM_DESTROY}),
                           {{owner, WM_ENABLE, FALSE, 0},
                            {box, WM_INITDIALOG},
                            {owner, WM_ENABLE, TRUE, 0},
                            {box, WM_DESTROY}}));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    EXPECT_EQ(GetFocus(), GetDlgItem(owner, 11)) << "the owner's focus comes back";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
}

TEST_F(DialogModalTest, TheBoxIsShownOnlyWhenTheQueueRunsDry) {
    win32::headless::Run([] {});
    win32::headless::PressKey(VK_ESCAPE);
    EXPECT_EQ(RunModal(owner), 102);
    EXPECT_FALSE(visibleWhenPostedMessageRan);
    auto seen = MessageLog::Current().Only({WM_APP, WM_SHOWWINDOW, WM_ENTERIDLE});
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, static_cast<UINT>(WM_APP));
    EXPECT_EQ(seen[1].message, static_cast<UINT>(WM_SHOWWINDOW));
    // The owner hears that the box waits for input.
    EXPECT_EQ(seen[2].hwnd, owner);
    EXPECT_EQ(seen[2].message, static_cast<UINT>(WM_ENTERIDLE));
    EXPECT_EQ(seen[2].wParam, static_cast<WPARAM>(MSGF_DIALOGBOX));
}

TEST_F(DialogModalTest, TheOwnerTakesNoInputWhileTheBoxRuns) {
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    int beeps = win32::headless::BeepCount();
    // The box covers most of the owner; its right edge stays uncovered.
    win32::headless::Click(POINT{ownerRect.right - 3, ownerRect.top + 40});
    win32::headless::Type(u"x");
    win32::headless::PressKey(VK_RETURN);
    EXPECT_EQ(RunModal(owner), 101);
    EXPECT_EQ(win32::headless::BeepCount(), beeps + 1);
    WCHAR text[8];
    GetDlgItemTextW(owner, 11, text, 8);
    EXPECT_EQ(std::u16string(text), u"more");
}

TEST_F(DialogModalTest, EndDialogInInitDialogNeverShowsTheBox) {
    EXPECT_EQ(RunModal(owner, -1), 55);
    EXPECT_TRUE(MessageLog::Current().Only({WM_SHOWWINDOW}).empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
}

TEST_F(DialogModalTest, EndDialogFromOutsideAMessageEndsTheRun) {
    win32::headless::Run([] { EndDialog(GetActiveWindow(), 7); });
    EXPECT_EQ(RunModal(owner), 7);
}

TEST_F(DialogModalTest, WmQuitEndsTheRunAndIsPostedAgain) {
    win32::headless::Run([] { PostQuitMessage(9); });
    EXPECT_EQ(RunModal(owner), IDOK);
    EXPECT_FALSE(IsWindowEnabled(owner)) << "the program is closing: nothing enables the owner";
    MSG msg;
    ASSERT_EQ(GetMessageW(&msg, nullptr, 0, 0), FALSE);
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(DialogModalTest, FailureValues) {
    HWND stale = CreateWindowExW(0, test::RecordingClass(), u"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                 nullptr, nullptr, nullptr);
    DestroyWindow(stale);
    EXPECT_EQ(RunModal(stale), 0) << "an invalid parent gives 0, as on Windows";
    EXPECT_EQ(
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4321), owner, ModalProc, 0), -1)
        << "no such template";
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, owner, ModalProc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_FALSE(EndDialog(stale, 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(DialogModalTest, TheDesktopAsParentMeansNoOwner) {
    HWND box = nullptr;
    win32::headless::Run([&] { box = GetActiveWindow(); });
    win32::headless::Run([&] {
        EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EndDialog(box, 3);
    });
    EXPECT_EQ(RunModal(GetDesktopWindow()), 3);
}

}  // namespace
