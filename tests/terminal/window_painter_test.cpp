#include "terminal/window_painter.h"

#include <gtest/gtest.h>

#include <map>

#include "terminal/cell_geometry.h"
#include "utf8_locale.h"

namespace win32::terminal {
namespace {

HWND Handle(int i) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x100 + i)); }

struct Item {
    const char16_t* className;
    int id;
    const char16_t* text;
    DWORD style;
    int x, y, cx, cy;  // dialog units
};

// The two dialogs of the program, as their templates lay them out.
const Item kMainItems[] = {
    {u"Button", 1, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 207, 228, 50, 14},
    {u"Button", 2, u"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 269, 228, 50, 14},
    {u"Static", -1, u"帐号：", SS_LEFT | WS_GROUP, 11, 49, 37, 8},
    {u"Static", -1, u"密码：", SS_LEFT | WS_GROUP, 11, 74, 37, 8},
    {u"Edit", 1001, u"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 53, 45, 238, 14},
    {u"Edit", 1002, u"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 53, 69, 238, 14},
    {u"Button", 1003, u"加密", BS_PUSHBUTTON | WS_TABSTOP, 53, 94, 50, 14},
    {u"Static", -1, u"帐号：", SS_LEFT | WS_GROUP, 11, 147, 37, 8},
    {u"Static", -1, u"密码：", SS_LEFT | WS_GROUP, 11, 172, 37, 8},
    {u"Edit", 1005, u"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 53, 143, 238, 14},
    {u"Edit", 1006, u"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 53, 167, 238, 14},
    {u"Button", 1007, u"解密", BS_PUSHBUTTON | WS_TABSTOP, 145, 94, 50, 14},
};
const Item kAboutItems[] = {
    {u"Button", 1, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 130, 81, 50, 14},
    {u"Static", -1, u"credcipher Version 1.0", SS_CENTER, 13, 52, 103, 20},
    {u"Static", -1, u"", SS_ICON, 55, 26, 18, 20},
    {u"Button", -1, u"", BS_GROUPBOX, 7, 7, 115, 88},
};

// A dialog laid out as the window system does on the terminal display: dialog units through
// the terminal's font, the frame and caption from its metrics, centred in `area` (pixels).
WindowView Dialog(int first, const char16_t* caption, DWORD style, int cx, int cy,
                  const Item* items, std::size_t count, RECT area) {
    const FontMetrics font = TerminalFont();
    const int baseX = (font.alphabetWidth + 26) / 52, baseY = font.height;
    const SystemMetricsSet metrics = TerminalMetrics();
    const int frame = metrics.dialogFrameWidth;
    const int width = MulDiv(cx, baseX, 4) + 2 * frame;
    const int height = MulDiv(cy, baseY, 8) + 2 * frame + metrics.captionHeight;
    WindowView dialog;
    dialog.handle = Handle(first);
    dialog.className = u"#32770";
    dialog.text = caption;
    dialog.style = style | WS_VISIBLE;
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;
    dialog.window = RECT{left, top, left + width, top + height};
    dialog.client = RECT{left + frame, top + frame + metrics.captionHeight, left + width - frame,
                         top + height - frame};
    dialog.active = true;
    for (std::size_t i = 0; i < count; ++i) {
        const Item& item = items[i];
        WindowView child;
        child.handle = Handle(first + 1 + static_cast<int>(i));
        child.className = item.className;
        child.text = item.text;
        child.style = WS_CHILD | WS_VISIBLE | item.style;
        const int x = dialog.client.left + MulDiv(item.x, baseX, 4);
        const int y = dialog.client.top + MulDiv(item.y, baseY, 8);
        int w = MulDiv(item.cx, baseX, 4), h = MulDiv(item.cy, baseY, 8);
        if ((item.style & SS_TYPEMASK) == SS_ICON && child.className == u"Static")
            w = h = metrics.iconWidth;
        child.window = RECT{x, y, x + w, y + h};
        child.client = child.window;
        if (item.style & WS_BORDER) {
            const int border = metrics.borderWidth;
            child.client = RECT{x + border, y + border, x + w - border, y + h - border};
        }
        dialog.children.push_back(child);
    }
    return dialog;
}

void OffsetRectBy(RECT& r, int dx, int dy) {
    r.left += dx;
    r.right += dx;
    r.top += dy;
    r.bottom += dy;
}

RECT ScreenArea(int columns, int rows) {
    return RECT{0, 0, columns * kCellWidth, rows * kCellHeight};
}

WindowView MainDialog(int columns = 80, int rows = 24) {
    return Dialog(0, u"App", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT, 326, 249,
                  kMainItems, std::size(kMainItems), ScreenArea(columns, rows));
}

WindowView AboutBox(const WindowView& owner) {
    return Dialog(50, u"About", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                  187, 102, kAboutItems, std::size(kAboutItems), owner.window);
}

WindowView& Child(WindowView& dialog, int index) { return dialog.children[index]; }
constexpr int kOk = 0, kCancel = 1, kAccountIn = 4, kPasswordIn = 5, kEncrypt = 6, kAccountOut = 9,
              kPasswordOut = 10;

struct States {
    std::map<HWND, ControlState> byHandle;
    ControlStateReader Reader() const {
        return [this](const WindowView& view) {
            auto found = byHandle.find(view.handle);
            return found != byHandle.end() ? found->second : ControlState{};
        };
    }
};

// The cells [from, to) of a row as text.
std::string CellText(const Grid& grid, int row, int from, int to) {
    Grid part(to - from, 1);
    for (int x = from; x < to; ++x) {
        const Cell& cell = grid.at(x, row);
        if (!cell.tail) part.Put(x - from, 0, cell.character, kPlain, to - from);
    }
    return part.RowText(0);
}

std::vector<std::string> Rows(const Grid& grid) {
    std::vector<std::string> rows;
    for (int y = 0; y < grid.rows(); ++y) rows.push_back(grid.RowText(y));
    return rows;
}

TEST(PaintScreen, MainDialogFillsAnEightyByTwentyFourTerminal) {
    ASSERT_TRUE(kUtf8Locale);
    WindowView dialog = MainDialog();
    Child(dialog, kAccountIn).text = u"alice";
    Child(dialog, kPasswordIn).text = u"s3cret";
    Child(dialog, kAccountOut).text = u"Xq1sS6bPZ0u5m3Q9xB2c7A==";
    Child(dialog, kAccountIn).focused = true;
    States states;
    states.byHandle[Child(dialog, kAccountIn).handle] = ControlState{0, 0, 3, 0, 0, false};

    const Screen screen = PaintScreen({dialog}, states.Reader(), 80, 24);
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

TEST(PaintScreen, AboutBoxOverTheDisabledMainDialog) {
    ASSERT_TRUE(kUtf8Locale);
    WindowView main = MainDialog();
    main.enabled = false;
    main.active = false;
    Child(main, kAccountIn).text = u"alice";
    WindowView about = AboutBox(main);
    Child(about, 0).focused = true;
    States states;
    states.byHandle[Child(about, 2).handle].hasIcon = true;
    const Screen screen = PaintScreen({main, about}, states.Reader(), 80, 24);

    const std::vector<std::string> rows = Rows(screen.grid);
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
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 6, rows.begin() + 18), expected);
    EXPECT_EQ(rows[0].substr(0, 5), "  ┌");  // the inactive owner has a single frame

    // The owner is dim everywhere outside the box, the box is not; the box's OK has the focus.
    EXPECT_TRUE(screen.grid.at(2, 0).attributes & kDim);
    EXPECT_TRUE(screen.grid.at(70, 21).attributes & kDim);
    EXPECT_FALSE(screen.grid.at(20, 12).attributes & kDim);
    EXPECT_EQ(screen.grid.at(50, 15).attributes, kReverse | kBold);
    // The owner's caption is no longer highlighted; the box's is.
    EXPECT_FALSE(screen.grid.at(4, 1).attributes & kReverse);
    EXPECT_TRUE(screen.grid.at(20, 7).attributes & kReverse);
    EXPECT_FALSE(screen.cursor.has_value());
    EXPECT_FALSE(screen.focusInEdit);
}

// Centring puts the dialog at any pixel offset; it must look the same wherever it lands.
TEST(PaintScreen, DialogLooksTheSameAtEveryOffset) {
    ASSERT_TRUE(kUtf8Locale);
    const Screen reference = PaintScreen({MainDialog()}, States().Reader(), 80, 24);
    const POINT origin = reference.windows.at(0).cells.left == 2 ? POINT{2, 0} : POINT{-1, -1};
    ASSERT_EQ(origin.x, 2);
    for (int columns = 77; columns <= 101; columns += 1) {
        for (int rows = 24; rows <= 37; rows += 1) {
            const Screen screen =
                PaintScreen({MainDialog(columns, rows)}, States().Reader(), columns, rows);
            const RECT cells = screen.windows.at(0).cells;
            ASSERT_EQ(cells.right - cells.left, 77) << columns << "x" << rows;
            ASSERT_EQ(cells.bottom - cells.top, 24) << columns << "x" << rows;
            for (int y = 0; y < 24; ++y) {
                for (int x = 0; x < 77; ++x) {
                    const Cell& want = reference.grid.at(origin.x + x, origin.y + y);
                    const Cell& got = screen.grid.at(cells.left + x, cells.top + y);
                    ASSERT_EQ(got.character, want.character)
                        << columns << "x" << rows << " at " << x << "," << y;
                }
            }
        }
    }
}

bool Inside(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// A click on any cell drawn for a control lands on that control's pixels, and the close box's
// cells on the close button that hit testing finds at the caption's right end.
TEST(PixelOfCell, ClicksLandOnTheControlDrawnThere) {
    ASSERT_TRUE(kUtf8Locale);
    for (const POINT size : {POINT{80, 24}, POINT{81, 25}, POINT{90, 31}, POINT{97, 40}}) {
        const WindowView dialog = MainDialog(size.x, size.y);
        const Screen screen = PaintScreen({dialog}, States().Reader(), size.x, size.y);
        for (const int index : {kOk, kCancel, kEncrypt, 11, kAccountIn, kPasswordOut}) {
            const WindowView& control = dialog.children[index];
            // Its cells: the brackets of a button, the underlined field of an edit.
            int row = -1, first = -1, last = -1;
            for (int y = 0; y < size.y && first < 0; ++y) {
                for (int x = 0; x < size.x; ++x) {
                    const Cell& cell = screen.grid.at(x, y);
                    const bool mine = control.className == u"Edit"
                                          ? (cell.attributes & kUnderline) != 0
                                          : (cell.character == U'[' || cell.character == U'<' ||
                                             cell.character == U']' || cell.character == U'>');
                    if (!mine) continue;
                    const POINT pixel = PixelOfCell(screen.windows, x, y);
                    if (!Inside(control.window, pixel)) continue;
                    row = y;
                    if (first < 0) first = x;
                    last = x;
                }
            }
            ASSERT_GE(first, 0) << "control " << index;
            for (int x = first; x <= last; ++x) {
                EXPECT_TRUE(Inside(control.window, PixelOfCell(screen.windows, x, row)))
                    << "control " << index << " cell " << x;
            }
            EXPECT_FALSE(Inside(control.window, PixelOfCell(screen.windows, first - 1, row)));
            EXPECT_FALSE(Inside(control.window, PixelOfCell(screen.windows, last + 1, row)));
        }
        // The close box.
        const int frame = dialog.client.left - dialog.window.left;
        const RECT closeButton{dialog.window.right - frame - TerminalMetrics().captionButtonWidth,
                               dialog.window.top + frame, dialog.window.right - frame,
                               dialog.client.top};
        const std::string caption = screen.grid.RowText(screen.windows[0].cells.top + 1);
        const std::size_t box = caption.find("[X]");
        ASSERT_NE(box, std::string::npos);
        const int column = static_cast<int>(box) - 2;  // the frame's "│" is three bytes
        for (int x = column; x < column + 3; ++x) {
            EXPECT_TRUE(Inside(closeButton,
                               PixelOfCell(screen.windows, x, screen.windows[0].cells.top + 1)))
                << size.x << "x" << size.y << " cell " << x;
        }
        EXPECT_FALSE(Inside(
            closeButton, PixelOfCell(screen.windows, column - 1, screen.windows[0].cells.top + 1)));
    }
    // Off every window: the cell's own pixel.
    const POINT desktop = PixelOfCell({}, 3, 2);
    EXPECT_EQ(desktop.x, 3 * kCellWidth + kCellWidth / 2 - 1);
    EXPECT_EQ(desktop.y, 2 * kCellHeight + kCellHeight / 2 - 1);
}

TEST(PaintScreen, EditShowsItsScrolledTextSelectionAndCaret) {
    ASSERT_TRUE(kUtf8Locale);
    std::u16string digits;
    for (int i = 0; i < 70; ++i) digits += static_cast<char16_t>(u'0' + i % 10);
    const struct {
        std::u16string text;
        ControlState state;
        bool focused;
        DWORD extraStyle;
        std::string shown;     // the field's cells from its first
        std::string selected;  // 'x' where reverse video
        int cursor;            // column offset, -1 for none
    } cases[] = {
        {digits,
         {22, 25, 70, 20, 0, false},
         true,
         0,
         "01234567890123456789012345678901234567890123456789     ",
         "  xxx",
         50},
        {digits,
         {22, 25, 70, 20, 0, false},
         false,
         0,
         "01234567890123456789012345678901234567890123456789     ",
         "",
         -1},
        {digits,
         {22, 25, 70, 20, 0, false},
         false,
         ES_NOHIDESEL,
         "01234567890123456789012345678901234567890123456789     ",
         "  xxx",
         -1},
        {u"中文字符abc",
         {1, 3, 3, 0, 0, false},
         true,
         0,
         "中文字符abc" + std::string(44, ' '),
         "  xxxx",
         6},
        {u"中文字符abc", {0, 0, 7, 2, 0, false}, true, 0, "字符abc" + std::string(48, ' '), "", 7},
        {u"pass", {0, 0, 4, 0, 0, false}, true, ES_PASSWORD, "****" + std::string(51, ' '), "", 4},
    };
    for (const auto& c : cases) {
        WindowView dialog = MainDialog();
        WindowView& edit = Child(dialog, kPasswordIn);
        edit.text = c.text;
        edit.focused = c.focused;
        edit.style |= c.extraStyle;
        States states;
        states.byHandle[edit.handle] = c.state;
        const Screen screen = PaintScreen({dialog}, states.Reader(), 80, 24);
        const int row = 8, left = 15;
        std::string shown;
        std::string selected;
        for (int x = left; x < left + 55; ++x) {
            const Cell& cell = screen.grid.at(x, row);
            EXPECT_TRUE(cell.attributes & kUnderline) << x;
            selected += (cell.attributes & kReverse) ? 'x' : ' ';
        }
        shown = screen.grid.RowText(row).substr(screen.grid.RowText(row).find("   ", 6) + 3);
        EXPECT_EQ(shown.substr(0, c.shown.size()), c.shown);
        while (!selected.empty() && selected.back() == ' ') selected.pop_back();
        EXPECT_EQ(selected, c.selected);
        EXPECT_FALSE(screen.grid.at(left + 55, row).attributes & kUnderline);
        if (c.cursor < 0) {
            EXPECT_FALSE(screen.cursor.has_value());
        } else {
            ASSERT_TRUE(screen.cursor.has_value());
            EXPECT_EQ(screen.cursor->x, left + c.cursor);
            EXPECT_EQ(screen.cursor->y, row);
        }
    }
}

TEST(PaintScreen, DefaultAndFocusedButtonsAreMarked) {
    ASSERT_TRUE(kUtf8Locale);
    WindowView dialog = MainDialog();
    // Focus on Cancel makes it the default button; OK loses the mark.
    Child(dialog, kOk).style = (Child(dialog, kOk).style & ~BS_TYPEMASK) | BS_PUSHBUTTON;
    Child(dialog, kCancel).style |= BS_DEFPUSHBUTTON;
    Child(dialog, kCancel).focused = true;
    States states;
    states.byHandle[Child(dialog, kEncrypt).handle].buttonState = BST_PUSHED;
    const Screen screen = PaintScreen({dialog}, states.Reader(), 80, 24);
    EXPECT_EQ(CellText(screen.grid, 21, 50, 80), "[    OK    ]   < Cancel  >  ║ ");
    for (int x = 65; x < 76; ++x) EXPECT_EQ(screen.grid.at(x, 21).attributes, kReverse | kBold);
    EXPECT_EQ(screen.grid.at(50, 21).attributes, kPlain);
    EXPECT_EQ(screen.grid.at(15, 10).attributes, kReverse);  // held down
    EXPECT_FALSE(screen.focusInEdit);
}

// A minimised window is parked far off the screen; the bottom row stands in for a task bar, and
// a click on its entry lands on the window.
TEST(PaintScreen, MinimisedWindowsHaveATaskBarEntry) {
    ASSERT_TRUE(kUtf8Locale);
    WindowView dialog = MainDialog();
    dialog.style |= WS_MINIMIZE;
    dialog.active = false;
    dialog.window = RECT{-32000, -32000, -32000 + 240, -32000 + 36};
    dialog.client = RECT{-32000, -32000, -32000, -32000};
    const Screen screen = PaintScreen({dialog}, States().Reader(), 80, 24);
    EXPECT_EQ(screen.grid.RowText(23).substr(0, 7), "[App]  ");
    EXPECT_EQ(screen.grid.at(0, 23).attributes, kReverse);
    EXPECT_EQ(screen.grid.RowText(0), std::string(80, ' '));
    for (int x = 0; x < 5; ++x)
        EXPECT_TRUE(Inside(dialog.window, PixelOfCell(screen.windows, x, 23)));
    EXPECT_FALSE(Inside(dialog.window, PixelOfCell(screen.windows, 5, 23)));
    EXPECT_EQ(TaskBarEntryAt(screen.windows, 4, 23), dialog.handle);
    EXPECT_EQ(TaskBarEntryAt(screen.windows, 5, 23), nullptr);
    const Screen shown = PaintScreen({MainDialog()}, States().Reader(), 80, 24);
    EXPECT_EQ(TaskBarEntryAt(shown.windows, 4, 1), nullptr);
}

// A terminal smaller than the dialog shows its top-left part (the window system clamps the
// dialog there) and nothing beyond the grid.
TEST(PaintScreen, SmallTerminalShowsTheTopLeftPart) {
    ASSERT_TRUE(kUtf8Locale);
    WindowView dialog = MainDialog();
    const int dx = -dialog.window.left, dy = -dialog.window.top;
    auto move = [dx, dy](WindowView& view, auto& self) -> void {
        OffsetRectBy(view.window, dx, dy);
        OffsetRectBy(view.client, dx, dy);
        for (WindowView& child : view.children) self(child, self);
    };
    move(dialog, move);
    Child(dialog, kAccountIn).text = u"中文中文中文";
    const Screen screen = PaintScreen({dialog}, States().Reader(), 20, 8);
    EXPECT_EQ(screen.grid.RowText(0), "╔═══════════════════");
    EXPECT_EQ(screen.grid.RowText(1), "║ App               ");
    EXPECT_EQ(screen.grid.RowText(6), "║   帐号：   中文中 ");
}

}  // namespace
}  // namespace win32::terminal
