// SPDX-License-Identifier: MIT
// What the view tells every display, and what the window system makes of what a display reports
// (close, minimise, restore, activate): the decisions no display makes for itself.
#include "view/window_view.h"

#include <gtest/gtest.h>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "src/message_queue.h"

namespace {

using win32::FieldEdge;
using win32::TextAlign;
using win32::WindowRequest;
using win32::WindowView;

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

class WindowViewTest : public test::DisplayTest {
protected:
    // A dialog of the builder's items; 6-pixel characters, base units 6 x 13: 4 dialog units
    // are one character.
    HWND Dialog(HWND owner = nullptr) {
        return CreateDialogIndirectParamW(nullptr, builder.Build(), owner, Quiet, 0);
    }
    static WindowView ViewOf(HWND hwnd) {
        const std::vector<WindowView> views = win32::ViewsOfScreen();
        const WindowView* view = win32::FindView(views, hwnd);
        return view != nullptr ? *view : WindowView{};
    }

    test::DialogTemplateBuilder builder{
        WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 200, 120, u"View"};
};

// Which statics wrap and how their lines sit: ten characters to a line.
TEST_F(WindowViewTest, StaticTextStylesWrapAndAlign) {
    const struct {
        DWORD type;
        std::vector<std::u16string> lines;
        TextAlign align;
    } cases[] = {
        {SS_LEFT, {u"credcipher", u"Version", u"1.0 &x"}, TextAlign::kLeft},
        {SS_CENTER, {u"credcipher", u"Version", u"1.0 &x"}, TextAlign::kCenter},
        {SS_RIGHT, {u"credcipher", u"Version", u"1.0 &x"}, TextAlign::kRight},
        {SS_LEFTNOWORDWRAP, {u"credcipher Version 1.0 &x"}, TextAlign::kLeft},
        {SS_SIMPLE, {u"credcipher Version 1.0 &x"}, TextAlign::kLeft},
    };
    short y = 4;
    for (const auto& c : cases) {
        builder.Item(test::kStatic, u"credcipher Version 1.0 &&x", static_cast<WORD>(c.type),
                     WS_VISIBLE | c.type, 4, y, 40, 40);
        y += 20;
    }
    HWND dialog = Dialog();
    for (const auto& c : cases) {
        const WindowView view = ViewOf(GetDlgItem(dialog, static_cast<int>(c.type)));
        EXPECT_EQ(view.lines, c.lines) << "type " << c.type;
        EXPECT_EQ(view.align, c.align) << "type " << c.type;
    }
}

// A password's text never reaches a display; other selected text does, until the person edits.
TEST_F(WindowViewTest, EditsShareOnlyTheProgramsOwnSelection) {
    builder.Item(test::kEdit, u"", 1, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 4, 4, 100, 14)
        .Item(test::kEdit, u"", 2, WS_VISIBLE | WS_TABSTOP | ES_PASSWORD | ES_READONLY, 4, 24, 100,
              14);
    HWND dialog = Dialog();
    for (int id : {1, 2}) {
        HWND edit = GetDlgItem(dialog, id);
        SetWindowTextW(edit, u"s3cret");
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 1, 4);
        const WindowView view = ViewOf(edit);
        EXPECT_EQ(view.text, id == 1 ? u"s3cret" : u"******");
        EXPECT_EQ(view.sharedSelection, id == 1 ? u"3cr" : u"");
        // A dialog's bordered edit wears the client edge instead.
        EXPECT_EQ(view.edge, id == 1 ? FieldEdge::kSunken : FieldEdge::kNone);
        EXPECT_EQ(view.readOnly, id == 2);
        EXPECT_EQ(view.mask, id == 1 ? u'\0' : u'*');
    }
    // A mask of the program's own is what the displays draw and measure.
    SendMessageW(GetDlgItem(dialog, 2), EM_SETPASSWORDCHAR, u'#', 0);
    const WindowView masked = ViewOf(GetDlgItem(dialog, 2));
    EXPECT_EQ(masked.mask, u'#');
    EXPECT_EQ(masked.shown, u"######");
    HWND edit = GetDlgItem(dialog, 1);
    SetFocus(edit);
    win32::headless::Type(u"x");
    test::Pump(dialog);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(ViewOf(edit).sharedSelection, u"");  // typed: the person's text
}

TEST_F(WindowViewTest, TopLevelWindowsTellTheirOwnerAndFrame) {
    HWND main = Dialog();
    builder = test::DialogTemplateBuilder{
        WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_VISIBLE,
        10,
        10,
        80,
        40,
        u"Owned"};
    HWND owned = Dialog(main);
    const WindowView top = ViewOf(main), about = ViewOf(owned);
    EXPECT_EQ(top.owner, nullptr);
    EXPECT_EQ(about.owner, main);
    EXPECT_TRUE(top.closable && top.caption && !top.sizable && !top.minimizable);
    EXPECT_TRUE(about.sizable && about.minimizable && !about.closable && !about.maximizable);
}

// What follows each request, for an enabled and a disabled window.
TEST_F(WindowViewTest, RequestsFromTheDisplay) {
    const struct {
        WindowRequest request;
        bool enabled;
        UINT message;  // posted, 0 for none
        WPARAM command;
        int beeps;
    } cases[] = {
        {WindowRequest::kClose, true, WM_CLOSE, 0, 0},
        {WindowRequest::kClose, false, 0, 0, 1},
        {WindowRequest::kMinimize, true, WM_SYSCOMMAND, SC_MINIMIZE, 0},
        {WindowRequest::kRestore, true, WM_SYSCOMMAND, SC_RESTORE, 0},
        {WindowRequest::kActivate, true, 0, 0, 0},
        {WindowRequest::kActivate, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        HWND other = Create(u"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        HWND window = Create(u"window", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetActiveWindow(other);
        EnableWindow(window, c.enabled);
        const int beeps = win32::headless::BeepCount();
        win32::SystemInputSink().Request(window, c.request);
        MSG msg{};
        const bool posted = PeekMessageW(&msg, window, 0, 0, PM_REMOVE) != FALSE;
        const int request = static_cast<int>(c.request);
        EXPECT_EQ(posted ? msg.message : 0, c.message) << request << " " << c.enabled;
        if (posted) {
            EXPECT_EQ(msg.wParam, c.command) << request;
        }
        EXPECT_EQ(win32::headless::BeepCount() - beeps, c.beeps) << request << " " << c.enabled;
        if (c.request == WindowRequest::kActivate) {
            EXPECT_EQ(GetActiveWindow(), c.enabled ? window : other) << c.enabled;
        }
        DestroyWindow(window);
        DestroyWindow(other);
    }
    win32::SystemInputSink().Request(nullptr, WindowRequest::kClose);  // gone: nothing happens
}

// Check boxes and an automatic radio group, driven by keys as a person does: the arrows move
// and check within the group, Tab leaves it at the checked one, Space toggles the box; the view
// tells each state.
TEST_F(WindowViewTest, CheckBoxesAndRadioGroupsByKeyboard) {
    builder
        .Item(test::kButton, u"&One", 1, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 4,
              4, 60, 10)
        .Item(test::kButton, u"&Two", 2, WS_VISIBLE | BS_AUTORADIOBUTTON, 4, 16, 60, 10)
        .Item(test::kButton, u"&Box", 3, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 4,
              28, 60, 10);
    dialog = Dialog();
    CheckRadioButton(dialog, 1, 2, 1);
    SetFocus(GetDlgItem(dialog, 1));
    Press(VK_DOWN);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 2), BST_CHECKED);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 2));
    Press({{VK_TAB}, {VK_SPACE}});
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 3));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 3), BST_CHECKED);
    Press(VK_TAB, win32::headless::kShift);  // back to the checked radio
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, 2));
    const bool checked[] = {false, true, true};
    for (int id = 1; id <= 3; ++id) {
        const WindowView view = ViewOf(GetDlgItem(dialog, id));
        EXPECT_EQ(view.kind, id == 3 ? win32::ViewKind::kCheckBox : win32::ViewKind::kRadioButton);
        EXPECT_EQ(view.checked, checked[id - 1]) << id;
    }
}

}  // namespace
