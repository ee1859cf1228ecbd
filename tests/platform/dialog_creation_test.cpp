// SPDX-License-Identifier: MIT
// Creating dialogs from templates: Windows' message order, the first focus, visibility and
// placement, and the default dialog procedure's result rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::DialogTemplateBuilder;
using test::Expected;
using test::MessageLog;
using test::SequenceIs;

// What the test's dialog procedure does besides recording.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> behaviour;

INT_PTR CALLBACK RecordingDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::Current().Record(hwnd, message, wParam, lParam);
    if (behaviour) return behaviour(hwnd, message, wParam, lParam);
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class DialogCreationTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        behaviour = nullptr;
        MessageLog::Current().Ignore({WM_GETTEXT, WM_GETTEXTLENGTH, WM_NCHITTEST, WM_GETDLGCODE,
                                      WM_NCACTIVATE, WM_SIZE, WM_MOVE, WM_NCCREATE});
    }
};

TEST_F(DialogCreationTest, FontThenControlsInTemplateOrderThenInitDialogThenFocus) {
    DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 200, 100);
    builder.Font(8, u"MS Shell Dlg")
        .NamedItem(u"RecordingWindow", u"a", 10, WS_VISIBLE, 5, 5, 50, 10)
        .NamedItem(u"RecordingWindow", u"b", 11, WS_VISIBLE | WS_TABSTOP, 5, 20, 50, 10)
        .NamedItem(u"RecordingWindow", u"c", 12, WS_VISIBLE | WS_TABSTOP, 5, 35, 50, 10);
    HWND dialog =
        CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 1234);
    ASSERT_NE(dialog, nullptr);
    HWND a = GetDlgItem(dialog, 10);
    HWND b = GetDlgItem(dialog, 11);
    HWND c = GetDlgItem(dialog, 12);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    const WPARAM f = reinterpret_cast<WPARAM>(font);
    // The dialog procedure sees nothing of the frame's creation; it starts with WM_SETFONT,
    // which comes before any control exists. Controls do not notify the parent of creation.
    EXPECT_TRUE(
        SequenceIs(MessageLog::Current().Only({WM_CREATE, WM_SETFONT, WM_INITDIALOG, WM_ACTIVATE,
                                               WM_SETFOCUS, WM_SHOWWINDOW, WM_PARENTNOTIFY}),
                   {{dialog, WM_SETFONT, f, 0},
                    {a, WM_CREATE},
                    {a, WM_SHOWWINDOW, TRUE, 0},
                    {a, WM_SETFONT, f, FALSE},
                    {b, WM_CREATE},
                    {b, WM_SHOWWINDOW, TRUE, 0},
                    {b, WM_SETFONT, f, FALSE},
                    {c, WM_CREATE},
                    {c, WM_SHOWWINDOW, TRUE, 0},
                    {c, WM_SETFONT, f, FALSE},
                    {dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(b), 1234},
                    // Activation finds no saved control: the dialog takes the focus and
                    // hands it to its first tab stop.
                    {dialog, WM_ACTIVATE, WA_ACTIVE, 0},
                    {dialog, WM_SETFOCUS},
                    {b, WM_SETFOCUS},
                    {dialog, WM_SHOWWINDOW, TRUE, 0}}));
    EXPECT_EQ(GetFocus(), b);
    EXPECT_EQ(GetActiveWindow(), dialog);
    WCHAR name[16];
    GetClassNameW(dialog, name, 16);
    EXPECT_EQ(std::u16string(name), u"#32770");
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(dialog, 13), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
}

TEST_F(DialogCreationTest, ModelessDialogsStayHiddenWithoutWsVisible) {
    DialogTemplateBuilder builder(WS_CAPTION | WS_SYSMENU, 0, 0, 100, 50);
    builder.Item(test::kButton, u"OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 5, 5, 40,
                 14);
    HWND dialog =
        CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog));
    // Creation still made it active, with the focus on its first tab stop.
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    ShowWindow(dialog, SW_SHOWDEFAULT);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
}

TEST_F(DialogCreationTest, FirstFocusOnAnEditSelectsItsText) {
    DialogTemplateBuilder builder(WS_POPUP | WS_VISIBLE, 0, 0, 100, 50);
    builder.Item(test::kEdit, u"secret", 100, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 5, 5, 80, 12);
    HWND dialog =
        CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    HWND edit = GetDlgItem(dialog, 100);
    EXPECT_EQ(GetFocus(), edit);
    DWORD start = 99, end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 6u);
}

// WM_INITDIALOG names the first tab stop (the first control when there is none); TRUE focuses
// it, or the next tab stop when the procedure disabled it; FALSE leaves the focus to the
// procedure.
TEST_F(DialogCreationTest, FirstFocusFollowsInitDialog) {
    const struct {
        const char* what;
        DWORD style;
        std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> behaviour;
        int focus;
    } cases[] = {
        {"no tab stop", WS_VISIBLE, nullptr, 1},
        {"disabled in WM_INITDIALOG", WS_VISIBLE | WS_TABSTOP,
         [](HWND, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
             if (message == WM_INITDIALOG) EnableWindow(reinterpret_cast<HWND>(wParam), FALSE);
             return message == WM_INITDIALOG;
         },
         2},
        {"FALSE from WM_INITDIALOG", WS_VISIBLE | WS_TABSTOP,
         [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
             if (message == WM_INITDIALOG) SetFocus(GetDlgItem(dialog, 2));
             return FALSE;
         },
         2},
    };
    for (const auto& c : cases) {
        behaviour = c.behaviour;
        MessageLog::Current().Clear();
        DialogTemplateBuilder builder(WS_POPUP | WS_VISIBLE, 0, 0, 100, 50);
        builder.NamedItem(u"RecordingWindow", u"", 1, c.style, 0, 0, 10, 10)
            .NamedItem(u"RecordingWindow", u"", 2, c.style, 0, 20, 10, 10);
        HWND dialog =
            CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << c.what;
        auto init = MessageLog::Current().Only({WM_INITDIALOG});
        ASSERT_EQ(init.size(), 1u) << c.what;
        EXPECT_EQ(init[0].wParam, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 1))) << c.what;
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, c.focus)) << c.what;
        DestroyWindow(dialog);
    }
}

TEST_F(DialogCreationTest, ResultRulesOfTheDefaultDialogProcedure) {
    behaviour = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        switch (message) {
            case WM_INITDIALOG:
                return 5;  // returned as it is
            case WM_APP:   // handled: the answer goes through DWLP_MSGRESULT
                SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 77);
                return TRUE;
            case WM_APP + 1:  // handled without a result
                return TRUE;
            case WM_CTLCOLORDLG:
                return 0x1234;  // a brush, returned as it is
            default:
                return FALSE;
        }
    };
    DialogTemplateBuilder builder(WS_POPUP, 0, 0, 100, 50);
    HWND dialog =
        CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, WM_APP, 0, 0), 77);
    EXPECT_EQ(SendMessageW(dialog, WM_APP + 1, 0, 0), 0) << "DWLP_MSGRESULT is reset first";
    EXPECT_EQ(SendMessageW(dialog, WM_CTLCOLORDLG, 0, 0), 0x1234);
    EXPECT_EQ(SendMessageW(dialog, WM_INITDIALOG, 0, 0), 5);
    // Without a default push button IDOK, without DC_HASDEFID (Wine's dialog.c,
    // TestDefButtonDlgProc).
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), IDOK) << "no default button";
    // The dialog's extra bytes: DWLP_USER is the program's.
    EXPECT_EQ(SetWindowLongPtrW(dialog, DWLP_USER, 99), 0);
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_USER), 99);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(dialog, DLGWINDOWEXTRA), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

TEST_F(DialogCreationTest, DestroyWindowFromACommandHandlerReturnsCleanly) {
    behaviour = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return message == WM_INITDIALOG ? TRUE : FALSE;
    };
    DialogTemplateBuilder builder(WS_POPUP | WS_VISIBLE, 0, 0, 100, 50);
    builder.Item(test::kButton, u"OK", IDOK, WS_VISIBLE | WS_TABSTOP, 5, 5, 40, 14);
    HWND dialog =
        CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, WM_COMMAND, IDOK, 0), 0);
    EXPECT_FALSE(IsWindow(dialog));
    auto last = MessageLog::Current().seen().back();
    EXPECT_EQ(last.message, static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(DialogCreationTest, OwnedDialogsArePlacedRelativeToTheOwnerAndKeptOnTheWorkArea) {
    HWND owner = CreateWindowExW(0, test::RecordingClass(), u"", WS_POPUP | WS_VISIBLE, 100, 80,
                                 300, 200, nullptr, nullptr, nullptr, nullptr);
    DialogTemplateBuilder near(WS_POPUP, 10, 8, 40, 24);  // 60 x 39 pixels at 6 x 13
    HWND dialog = CreateDialogIndirectParamW(nullptr, near.Build(), owner, RecordingDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.left, 115) << "template position is relative to the owner's client area";
    EXPECT_EQ(rect.top, 93);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    // Ownerless: screen coordinates, moved into the primary work area (1024 x 728).
    DialogTemplateBuilder far(WS_POPUP, 680, 560, 40, 24);
    HWND clamped =
        CreateDialogIndirectParamW(nullptr, far.Build(), nullptr, RecordingDialogProc, 0);
    GetWindowRect(clamped, &rect);
    EXPECT_EQ(rect.right, 1024);
    EXPECT_EQ(rect.bottom, 728);
}

TEST_F(DialogCreationTest, FailuresOfCreateDialog) {
    SetLastError(0);
    EXPECT_EQ(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4321), nullptr,
                                 RecordingDialogProc, 0),
              nullptr);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, nullptr, nullptr, RecordingDialogProc, 0),
              nullptr);
    // A control of an unknown class fails the whole dialog, which is destroyed again.
    DialogTemplateBuilder builder(WS_POPUP, 0, 0, 100, 50);
    builder.NamedItem(u"NoSuchControl", u"", 1, WS_VISIBLE, 0, 0, 10, 10);
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, RecordingDialogProc, 0),
              nullptr);
    EXPECT_TRUE(MessageLog::Current().Only({WM_INITDIALOG}).empty());
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // Without a display no dialog can exist.
    win32::headless::Stop();
    DialogTemplateBuilder plain(WS_POPUP, 0, 0, 100, 50);
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, plain.Build(), nullptr, RecordingDialogProc, 0),
              nullptr);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, plain.Build(), nullptr, RecordingDialogProc, 0), -1);
}

}  // namespace
