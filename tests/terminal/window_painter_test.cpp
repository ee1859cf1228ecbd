// SPDX-License-Identifier: MIT
// The terminal's painting of real dialogs: the program's own templates and the tests' own,
// created by the window system on a display with the terminal's geometry.
#include "terminal/window_painter.h"

#include <gtest/gtest.h>

#include "../../app/res/resource.h"
#include "../platform/dialog_template_builder.h"
#include "headless/headless_display.h"
#include "src/display_manager.h"
#include "terminal/cell_geometry.h"
#include "utf8_locale.h"
#include "win32/headless.h"

namespace win32::terminal {
namespace {

constexpr CellSize kCell{kCellWidth, kCellHeight};

// A headless display with the terminal's font, metrics and cells.
class TerminalGeometry : public headless::HeadlessDisplay {
public:
    using HeadlessDisplay::HeadlessDisplay;
    FontMetrics DialogFont() override { return TerminalFont(); }
    SystemMetricsSet Metrics() override { return TerminalMetrics(); }
};

void StartTerminal(int columns, int rows) {
    headless::Options options;
    const RECT all{0, 0, columns * kCellWidth, rows * kCellHeight};
    options.monitors = {{all, all}};
    options.charWidth = kCellWidth;
    options.fontHeight = kCellHeight;
    InstallDisplay(std::make_unique<TerminalGeometry>(options));
}

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A dialog of the program's resources, centred on the screen as the program centres it (its top
// left corner kept on the screen).
HWND ProgramDialog(int id, HWND owner = nullptr) {
    HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), owner, PlainDialog, 0);
    RECT window{}, area{};
    GetWindowRect(dialog, &window);
    if (owner != nullptr) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor{sizeof monitor, {}, {}, 0};
        GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(dialog, nullptr,
                 area.left + std::max<LONG>(0, (area.right - area.left - width) / 2),
                 area.top + std::max<LONG>(0, (area.bottom - area.top - height) / 2), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(dialog, SW_SHOW);
    return dialog;
}

Screen Paint(int columns, int rows) { return PaintScreen(ViewsOfScreen(), columns, rows, kCell); }

std::vector<std::string> Rows(const Grid& grid, int from = 0, int to = -1) {
    std::vector<std::string> rows;
    for (int y = from; y < (to < 0 ? grid.rows() : to); ++y) rows.push_back(grid.RowText(y));
    return rows;
}

class WindowPainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kUtf8Locale);
        StartTerminal(80, 24);
    }
    void TearDown() override { headless::Stop(); }
};

TEST_F(WindowPainterTest, MainDialogFillsAnEightyByTwentyFourTerminal) {
    HWND dialog = ProgramDialog(IDD_MAINDLG);
    SetDlgItemTextW(dialog, IDC_ACCOUNT_IN, u"alice");
    SetDlgItemTextW(dialog, IDC_PASSWORD_IN, u"s3cret");
    SetDlgItemTextW(dialog, IDC_ACCOUNT_OUT, u"Xq1sS6bPZ0u5m3Q9xB2c7A==");
    SetFocus(GetDlgItem(dialog, IDC_ACCOUNT_IN));
    SendDlgItemMessageW(dialog, IDC_ACCOUNT_IN, EM_SETSEL, 3, 3);

    const Screen screen = Paint(80, 24);
    const std::vector<std::string> expected = {
        "  ╔═══════════════════════════════════════════════════════════════════════════╗ ",
        "  ║ App                                                              [_][^][X]║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║   帐号：   alice                                                          ║ ",
        "  ║                                                                           ║ ",
        "  ║   密码：   s3cret                                                         ║ ",
        "  ║                                                                           ║ ",
        "  ║            [   加密   ]         [   解密   ]                              ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║   帐号：   Xq1sS6bPZ0u5m3Q9xB2c7A==                                       ║ ",
        "  ║                                                                           ║ ",
        "  ║   密码：                                                                  ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                                                           ║ ",
        "  ║                                               <    OK    >   [ Cancel  ]  ║ ",
        "  ║                                                                           ║ ",
        "  ╚═══════════════════════════════════════════════════════════════════════════╝ ",
    };
    EXPECT_EQ(Rows(screen.grid), expected);
    ASSERT_TRUE(screen.cursor.has_value());
    EXPECT_EQ(screen.cursor->x, 18);
    EXPECT_EQ(screen.cursor->y, 6);
    EXPECT_TRUE(screen.focusInEdit);
}

TEST_F(WindowPainterTest, AboutBoxOverTheDisabledMainDialog) {
    HWND main = ProgramDialog(IDD_MAINDLG);
    SetDlgItemTextW(main, IDC_ACCOUNT_IN, u"alice");
    HWND about = ProgramDialog(IDD_ABOUTBOX, main);
    EnableWindow(main, FALSE);
    SetActiveWindow(about);
    SetFocus(GetDlgItem(about, IDOK));
    const Screen screen = Paint(80, 24);

    const std::vector<std::string> expected = {
        "  │   帐号：   ali╔═══════════════════════════════════════════╗               │ ",
        "  │               ║ About                                  [X]║               │ ",
        "  │   密码：      ║                                           ║               │ ",
        "  │               ║  ┌────────────────────────┐               ║               │ ",
        "  │            [  ║  │          O=            │               ║               │ ",
        "  │               ║  │                        │               ║               │ ",
        "  │               ║  │ credcipher Version 1.0 │               ║               │ ",
        "  │               ║  │                        │               ║               │ ",
        "  │   帐号：      ║  │                        │               ║               │ ",
        "  │               ║  └────────────────────────┘  <   OK    >  ║               │ ",
        "  │   密码：      ║                                           ║               │ ",
        "  │               ╚═══════════════════════════════════════════╝               │ ",
    };
    EXPECT_EQ(Rows(screen.grid, 6, 18), expected);
    EXPECT_EQ(screen.grid.RowText(0).substr(0, 5), "  ┌");  // the inactive owner: single frame

    // The owner is dim everywhere outside the box, the box is not; the box's OK has the focus.
    EXPECT_TRUE(screen.grid.at(2, 0).attributes & kDim);
    EXPECT_TRUE(screen.grid.at(70, 21).attributes & kDim);
    EXPECT_FALSE(screen.grid.at(20, 12).attributes & kDim);
    EXPECT_EQ(screen.grid.at(50, 15).attributes, kReverse | kBold);
    // The owner's caption is no longer highlighted; the box's is.
    EXPECT_FALSE(screen.grid.at(4, 1).attributes & kReverse);
    EXPECT_TRUE(screen.grid.at(20, 7).attributes & kReverse);
    // The cursor stands on the focused button's text.
    ASSERT_TRUE(screen.cursor.has_value());
    EXPECT_EQ(screen.cursor->y, 15);
    EXPECT_EQ(screen.grid.at(screen.cursor->x, 15).character, U'O');
    EXPECT_FALSE(screen.focusInEdit);
}

// Centring puts the dialog at any pixel offset; it must look the same wherever it lands, and a
// click on any cell drawn for a control must land on that control.
TEST_F(WindowPainterTest, DialogLooksTheSameAndTakesClicksAtEveryOffset) {
    HWND dialog = ProgramDialog(IDD_MAINDLG);
    SetWindowPos(dialog, nullptr, 2 * kCellWidth, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const Screen reference = Paint(80, 24);
    for (int x = 0; x <= 2 * kCellWidth; ++x) {
        for (int y = 0; y <= 2 * kCellHeight; y += 5) {
            SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            const Screen screen = Paint(80, 26);
            const RECT cells = screen.windows.at(0).cells;
            ASSERT_EQ(cells.right - cells.left, 77) << x << "," << y;
            ASSERT_EQ(cells.bottom - cells.top, 24) << x << "," << y;
            for (int row = 0; row < 24; ++row) {
                for (int column = 0; column < 77; ++column) {
                    ASSERT_EQ(screen.grid.at(cells.left + column, cells.top + row).character,
                              reference.grid.at(2 + column, row).character)
                        << x << "," << y << " at " << column << "," << row;
                }
            }
            // Clicks on a control's cells reach it.
            for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr;
                 control = GetWindow(control, GW_HWNDNEXT)) {
                RECT pixels{};
                GetWindowRect(control, &pixels);
                auto inside = [&pixels](POINT p) { return PtInRect(&pixels, p) != FALSE; };
                int hits = 0;
                for (int row = cells.top; row < cells.bottom; ++row) {
                    for (int column = cells.left; column < cells.right; ++column) {
                        const POINT pixel = PixelOfCell(screen.windows, column, row, kCell);
                        if (!inside(pixel)) continue;
                        ++hits;
                        // Statics are transparent to hit testing.
                        if (SendMessageW(control, WM_NCHITTEST, 0, 0) != HTTRANSPARENT) {
                            EXPECT_EQ(WindowFromPoint(pixel), control) << column << "," << row;
                        }
                    }
                }
                EXPECT_GT(hits, 0) << GetDlgCtrlID(control);
            }
        }
    }
    // The close box: its three cells hit the close button.
    const Screen screen = Paint(80, 24);
    const int row = screen.windows.at(0).cells.top + 1;
    for (int column = 75; column < 78; ++column) {
        const POINT pixel = PixelOfCell(screen.windows, column, row, kCell);
        EXPECT_EQ(SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(pixel.x, pixel.y)), HTCLOSE)
            << column;
    }
}

TEST_F(WindowPainterTest, EditShowsItsScrolledTextSelectionAndCaret) {
    std::u16string digits;
    for (int i = 0; i < 70; ++i) digits += static_cast<char16_t>(u'0' + i % 10);
    const struct {
        std::u16string text;
        DWORD selectionStart, selectionEnd;
        bool focused;
        DWORD extraStyle;
        std::string shown;          // the field's cells from its first
        std::string selected;       // 'x' where reverse video
        int cursor;                 // column offset, -1 for none
        char16_t passwordChar = 0;  // set with EM_SETPASSWORDCHAR unless 0
    } cases[] = {
        // The caret at the end scrolled the field; the selection shows while focused.
        {digits, 70, 70, true, 0, "", "", -1},
        {digits, 3, 5, true, 0, "0123456789", "   xx", 5},
        {digits, 3, 5, false, 0, "0123456789", "", -1},
        {digits, 3, 5, false, ES_NOHIDESEL, "0123456789", "   xx", -1},
        {u"中文字符abc", 1, 3, true, 0, "中文字符abc", "  xxxx", 6},
        {u"pass", 4, 4, true, ES_PASSWORD, "****", "", 4},
        {u"pass", 4, 4, true, 0, "####", "", 4, u'#'},
        // Control characters show as their pictures, one cell each.
        {u"a\tb\x01"
         u"c",
         5, 5, true, 0, "a␉b␁c", "", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.shown));
        StartTerminal(80, 24);
        HWND dialog = ProgramDialog(IDD_MAINDLG);
        HWND edit = GetDlgItem(dialog, IDC_PASSWORD_IN);
        SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | c.extraStyle);
        if (c.passwordChar != 0) SendMessageW(edit, EM_SETPASSWORDCHAR, c.passwordChar, 0);
        SetWindowTextW(edit, c.text.c_str());
        SetFocus(c.focused ? edit : GetDlgItem(dialog, IDC_ACCOUNT_IN));
        SendMessageW(edit, EM_SETSEL, c.selectionStart, c.selectionEnd);
        const Screen screen = Paint(80, 24);
        const int row = 8, left = 15;
        std::string selected;
        for (int x = left; x < left + 55; ++x) {
            EXPECT_TRUE(screen.grid.at(x, row).attributes & kUnderline) << x;
            selected += (screen.grid.at(x, row).attributes & kReverse) ? 'x' : ' ';
        }
        EXPECT_FALSE(screen.grid.at(left + 55, row).attributes & kUnderline);
        selected.erase(selected.find_last_not_of(' ') + 1);
        EXPECT_EQ(selected, c.selected);
        const std::string text = screen.grid.RowText(row);
        const std::string field = text.substr(text.find("   ", 6) + 3);
        if (c.text == digits && c.selectionStart == 70) {
            // Scrolled so that the caret is inside the field, after the last digit.
            const auto first =
                static_cast<std::size_t>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
            ASSERT_GT(first, 15u);
            EXPECT_EQ(field.substr(0, 70 - first),
                      std::string(digits.begin() + static_cast<long>(first), digits.end()));
            ASSERT_TRUE(screen.cursor.has_value());
            EXPECT_EQ(screen.cursor->x, left + 70 - static_cast<int>(first));
            continue;
        }
        EXPECT_EQ(field.substr(0, c.shown.size()), c.shown);
        if (c.cursor < 0) {
            EXPECT_TRUE(!screen.cursor.has_value() || screen.cursor->y != row);
        } else {
            ASSERT_TRUE(screen.cursor.has_value());
            EXPECT_EQ(screen.cursor->x, left + c.cursor);
            EXPECT_EQ(screen.cursor->y, row);
        }
    }
}

TEST_F(WindowPainterTest, DefaultFocusedAndPushedButtonsAreMarked) {
    HWND dialog = ProgramDialog(IDD_MAINDLG);
    // Focus on Cancel makes it the default button; OK loses the mark.
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)),
                 TRUE);
    SendDlgItemMessageW(dialog, IDC_ENCRYPT, BM_SETSTATE, TRUE, 0);
    const Screen screen = Paint(80, 24);
    const std::string buttons = screen.grid.RowText(21);
    EXPECT_EQ(buttons.substr(buttons.find("[    OK")), "[    OK    ]   < Cancel  >  ║ ");
    for (int x = 65; x < 76; ++x) EXPECT_EQ(screen.grid.at(x, 21).attributes, kReverse | kBold);
    EXPECT_EQ(screen.grid.at(50, 21).attributes, kPlain);
    EXPECT_EQ(screen.grid.at(15, 10).attributes, kReverse);  // held down
    EXPECT_FALSE(screen.focusInEdit);
}

// A minimised window is parked far off the screen; the bottom row stands in for a task bar, and
// a click on its entry lands on the window.
TEST_F(WindowPainterTest, MinimisedWindowsHaveATaskBarEntry) {
    HWND dialog = ProgramDialog(IDD_MAINDLG);
    ShowWindow(dialog, SW_MINIMIZE);
    const Screen screen = Paint(80, 24);
    EXPECT_EQ(screen.grid.RowText(23).substr(0, 7), "[App]  ");
    EXPECT_EQ(screen.grid.RowText(0), std::string(80, ' '));
    EXPECT_EQ(TaskBarEntryAt(screen.windows, 4, 23), dialog);
    EXPECT_EQ(TaskBarEntryAt(screen.windows, 5, 23), nullptr);
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_EQ(TaskBarEntryAt(Paint(80, 24).windows, 4, 1), nullptr);
}

// A terminal smaller than the dialog shows the part around the focused control, with arrows on
// the edges where the dialog goes on.
TEST_F(WindowPainterTest, SmallTerminalFollowsTheFocus) {
    StartTerminal(60, 15);
    HWND dialog = ProgramDialog(IDD_MAINDLG);
    const struct {
        int id;
        const char* shown;  // on the screen with the focus there; "" for an edit (the caret)
    } cases[] = {
        {IDC_ACCOUNT_IN, ""}, {IDC_PASSWORD_OUT, ""}, {IDC_DECRYPT, "解密"},
        {IDOK, "OK"},         {IDCANCEL, "Cancel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        SetFocus(GetDlgItem(dialog, c.id));
        const Screen screen = Paint(60, 15);
        const std::string text = screen.grid.Text();
        if (*c.shown == '\0') {
            EXPECT_TRUE(screen.cursor.has_value()) << text;
        } else {
            EXPECT_NE(text.find(c.shown), std::string::npos) << text;
        }
        int marks = 0;
        for (const char* arrow : {"◀", "▶", "▲", "▼"})
            marks += text.find(arrow) != std::string::npos;
        EXPECT_GE(marks, 2) << "the cut is marked on two sides\n" << text;
        // The edges that carry a mark show nothing else: no mark covers the dialog.
        const struct {
            const char* arrow;
            int column, row, dx, dy, count;
        } edges[] = {{"▶", 59, 0, 0, 1, 15},
                     {"◀", 0, 0, 0, 1, 15},
                     {"▼", 0, 14, 1, 0, 60},
                     {"▲", 0, 0, 1, 0, 60}};
        for (const auto& edge : edges) {
            if (text.find(edge.arrow) == std::string::npos) continue;
            for (int i = 0; i < edge.count; ++i) {
                const Cell& cell =
                    screen.grid.at(edge.column + i * edge.dx, edge.row + i * edge.dy);
                EXPECT_TRUE(cell.character == U' ' ||
                            std::u32string_view(U"◀▶▲▼").find(cell.character) !=
                                std::u32string_view::npos)
                    << edge.arrow << " " << i << "\n"
                    << text;
            }
        }
        // Clicks still land where the drawing shows the control.
        const RECT cells = screen.windows.at(0).cells;
        RECT control{};
        GetWindowRect(GetDlgItem(dialog, c.id), &control);
        bool reached = false;
        for (int row = std::max<LONG>(cells.top, 0); row < 15; ++row) {
            for (int column = std::max<LONG>(cells.left, 0); column < 60; ++column) {
                const POINT pixel = PixelOfCell(screen.windows, column, row, kCell);
                reached = reached || PtInRect(&control, pixel);
            }
        }
        EXPECT_TRUE(reached);
    }
}

// The headless picture is the terminal's painting: the same cells for captions and labels with
// mnemonics, surrogates, wide and combining characters, and every button state.
TEST_F(WindowPainterTest, HeadlessPictureIsTheTerminalPainting) {
    test::DialogTemplateBuilder builder{WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                                        0,
                                        0,
                                        300,
                                        100,
                                        u"x\xD801"
                                        u"AB 應用"};
    builder
        .Item(test::kStatic, u"&Open && e\u0301 \u231A Save&", 10, SS_LEFT | WS_VISIBLE, 4, 4, 200,
              8)
        .Item(test::kStatic, u"&No prefix", 11, SS_LEFT | SS_NOPREFIX | WS_VISIBLE, 4, 14, 200, 8)
        .Item(test::kButton, u"&Default", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 4, 30,
              60, 14)
        .Item(test::kButton, u"Pu&shed", 12, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 70, 30, 60,
              14)
        .Item(test::kButton, u"&Check", 13, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 4, 50, 60,
              10)
        .Item(test::kButton, u"Radio", 14, BS_AUTORADIOBUTTON | WS_TABSTOP | WS_VISIBLE, 70, 50, 60,
              10)
        .Item(test::kButton, u"Off", 15, BS_PUSHBUTTON | WS_DISABLED | WS_VISIBLE, 136, 30, 60, 14)
        .Item(test::kButton, u"Group 組", 16, BS_GROUPBOX | WS_VISIBLE, 200, 40, 90, 50)
        .Item(test::kEdit, u"\xDC00z", 17, WS_BORDER | WS_VISIBLE, 4, 70, 100, 14);
    HWND dialog = CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, PlainDialog, 0);
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageW(dialog, 12, BM_SETSTATE, TRUE, 0);

    const Screen screen = Paint(80, 24);
    std::string painted;
    for (int row = 0; row < 24; ++row) {
        std::string line = screen.grid.RowText(row);
        line.erase(line.find_last_not_of(' ') + 1);
        painted += line + "\n";
    }
    painted.erase(painted.find_last_not_of('\n') + 1);
    EXPECT_EQ(headless::Picture(), painted + "\n");
    for (const char* part : {"x\uFFFDAB 應用", "Open & e\u0301 \u231A Save&", "&No prefix",
                             "<  Default   >", "[ ] Check", "( ) Radio", "Group 組", "\uFFFDz"}) {
        EXPECT_NE(painted.find(part), std::string::npos) << part << "\n" << painted;
    }
    // The combining mark shares its letter's cell; the watch takes two.
    const int row = screen.windows[0].cells.top + 2;
    int column = 0;
    while (column < 80 && screen.grid.at(column, row).combining == 0) ++column;
    EXPECT_EQ(screen.grid.at(column, row).combining, U'\u0301');
    EXPECT_EQ(screen.grid.at(column + 2, row).character, U'\u231A');
    EXPECT_TRUE(screen.grid.at(column + 3, row).tail);
    EXPECT_EQ(screen.grid.at(column + 5, row).character, U'S');
}

}  // namespace
}  // namespace win32::terminal
