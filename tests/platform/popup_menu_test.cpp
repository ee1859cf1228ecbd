// SPDX-License-Identifier: MIT
// Popup menus on the headless display: the edit's context menu, opened and driven as on
// Windows by the mouse and the keyboard, its items greyed where they do not apply; the window
// menu on the same machinery.
#include <string>
#include <vector>

#include "controls/clipboard.h"
#include "controls_test_support.h"
#include "view/window_view.h"

namespace {

using win32::headless::kShift;

// The open menu's items as the displays draw them; empty when no menu is open.
std::vector<win32::MenuItemView> OpenMenu() {
    for (const win32::WindowView& view : win32::ViewsOfScreen()) {
        if (view.kind == win32::ViewKind::kMenu) return view.menuItems;
    }
    return {};
}

// The items that can be chosen, "-" for a separator, "[...]" around a greyed item.
std::string Items(const std::vector<win32::MenuItemView>& items) {
    std::string shown;
    for (const win32::MenuItemView& item : items) {
        std::string text(item.shown.begin(), item.shown.end());  // the items are ASCII
        if (item.separator) text = "-";
        if (!item.enabled && !item.separator) text = "[" + text + "]";
        if (item.highlighted) text = "*" + text;
        shown += (shown.empty() ? "" : " ") + text;
    }
    return shown;
}

class PopupMenuTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        win32::controls::ClearClipboard();
        edit = Create(u"Edit", u"", ES_AUTOHSCROLL, 100, {10, 10, 110, 30});
        SetFocus(edit);
    }

    // Opens the menu with `open`, records what it shows once it is open, then delivers `then`.
    std::string WhileOpen(const std::function<void()>& open, const std::function<void()>& then) {
        std::string seen = "(no menu)";
        open();
        win32::headless::Run([&] {
            seen = Items(OpenMenu());
            then();
        });
        test::Pump();
        EXPECT_EQ(Items(OpenMenu()), "") << "the menu is closed";
        return seen;
    }
    static void Key(UINT key, unsigned modifiers = 0) { win32::headless::PressKey(key, modifiers); }

    HWND edit = nullptr;
};

// Which items apply: Windows' rules, also the edit control's own for each message.
TEST_F(PopupMenuTest, ItemsAreGreyedWhereTheyDoNotApply) {
    const struct {
        const char* what;
        DWORD style;
        int start, end;
        const char16_t* clipboard;
        bool typed;  // undo has something to undo
        const char* items;
        bool elsewhere = false;  // another program's copy on the user's clipboard is text
    } cases[] = {
        {"empty edit, empty clipboard", 0, 0, 0, nullptr, false,
         "[Undo] - [Cut] [Copy] [Paste] [Delete] - [Select All]"},
        {"another program's text to paste", 0, 0, 0, nullptr, false,
         "[Undo] - [Cut] [Copy] *Paste [Delete] - [Select All]", true},
        {"read-only: not even another program's text", ES_READONLY, 0, 0, nullptr, false,
         "[Undo] - [Cut] [Copy] [Paste] [Delete] - [Select All]", true},
        {"no selection, text to paste", 0, 1, 1, u"x", false,
         "[Undo] - [Cut] [Copy] *Paste [Delete] - Select All"},
        {"everything selected after typing", 0, 0, -1, nullptr, true,
         "*Undo - Cut Copy [Paste] Delete - [Select All]"},
        {"an empty clipboard text pastes nothing", 0, 0, 2, u"", false,
         "[Undo] - *Cut Copy [Paste] Delete - Select All"},
        {"read-only: only copying and selecting", ES_READONLY, 0, 2, u"x", true,
         "[Undo] - [Cut] *Copy [Paste] [Delete] - Select All"},
        {"password: the text never leaves", ES_PASSWORD, 0, 2, u"x", true,
         "*Undo - [Cut] [Copy] Paste Delete - Select All"},
    };
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    for (const auto& c : cases) {
        SetWindowLongW(edit, GWL_STYLE, style);
        SetWindowTextW(edit, u"");
        SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        if (c.typed) {
            Type(u"abc");
        } else if (c.start != c.end || c.clipboard != nullptr) {
            SetWindowTextW(edit, u"abc");
        }
        SetWindowLongW(edit, GWL_STYLE, style | static_cast<LONG>(c.style));
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(c.start), c.end);
        if (c.clipboard != nullptr) {
            win32::controls::SetClipboardText(c.clipboard);
        } else {
            win32::controls::ClearClipboard();
        }
        win32::controls::SetTextElsewhere(c.elsewhere);
        EXPECT_EQ(WhileOpen([] { Key(VK_F10, kShift); }, [] { Key(VK_ESCAPE); }), c.items)
            << c.what;
    }
    win32::controls::SetTextElsewhere(false);
}

// Opened by the keyboard, the first item that applies is highlighted; arrows pass separators
// and stop on greyed items too; Enter chooses, Escape and Alt close choosing nothing, letters
// choose by mnemonic; Enter on a greyed item chooses nothing.
TEST_F(PopupMenuTest, KeyboardOpensAndDrivesTheContextMenu) {
    const struct {
        const char* what;
        UINT open;
        unsigned openModifiers;
        std::vector<UINT> keys;
        const char* seen;  // before the last key
        std::u16string text;
        DWORD selection;
        std::u16string clipboard;
    } cases[] = {
        {"Enter chooses Cut",
         VK_F10,
         kShift,
         {VK_RETURN},
         "[Undo] - *Cut Copy Paste Delete - Select All",
         u"ac",
         MAKELONG(1, 1),
         u"b"},
        {"Down twice, Enter: Paste",
         VK_APPS,
         0,
         {VK_DOWN, VK_DOWN, VK_RETURN},
         "[Undo] - Cut Copy *Paste Delete - Select All",
         u"aclipc",
         MAKELONG(5, 5),
         u"clip"},
        {"Up passes the separator to Undo, then goes round",
         VK_APPS,
         0,
         {VK_UP, VK_UP, VK_RETURN},
         "[Undo] - Cut Copy Paste Delete - *Select All",
         u"abc",
         MAKELONG(0, 3),
         u"clip"},
        {"Enter on greyed Undo",
         VK_APPS,
         0,
         {VK_UP, VK_RETURN},
         "*[Undo] - Cut Copy Paste Delete - Select All",
         u"abc",
         MAKELONG(1, 2),
         u"clip"},
        {"the mnemonic of Delete", VK_F10, kShift, {'D'}, "", u"ac", MAKELONG(1, 1), u"clip"},
        {"the mnemonic of Copy", VK_F10, kShift, {'C'}, "", u"abc", MAKELONG(1, 2), u"b"},
        {"Escape",
         VK_F10,
         kShift,
         {VK_DOWN, VK_ESCAPE},
         "[Undo] - Cut *Copy Paste Delete - Select All",
         u"abc",
         MAKELONG(1, 2),
         u"clip"},
        {"Alt", VK_F10, kShift, {VK_MENU}, "", u"abc", MAKELONG(1, 2), u"clip"},
    };
    for (const auto& c : cases) {
        SetWindowTextW(edit, u"abc");
        SendMessageW(edit, EM_SETSEL, 1, 2);
        win32::controls::SetClipboardText(u"clip");
        const std::vector<UINT> before(c.keys.begin(), c.keys.end() - 1);
        const std::string seen = WhileOpen(
            [&] {
                Key(c.open, c.openModifiers);
                for (UINT key : before) Key(key);
            },
            [&] { Key(c.keys.back()); });
        if (*c.seen != '\0') {
            EXPECT_EQ(seen, c.seen) << c.what;
        }
        EXPECT_EQ(TextOf(edit), c.text) << c.what;
        EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), static_cast<LRESULT>(c.selection)) << c.what;
        EXPECT_EQ(win32::controls::ClipboardText(), c.clipboard) << c.what;
        EXPECT_EQ(GetFocus(), edit) << c.what;
    }
}

// A right click opens the menu where it was released, gives the edit the focus, and a click on
// an item chooses it; a click outside the menu closes it choosing nothing.
TEST_F(PopupMenuTest, MouseOpensAndDrivesTheContextMenu) {
    HWND other = Create(u"Edit", u"", ES_AUTOHSCROLL, 101, {10, 100, 110, 120});
    SetFocus(other);
    SetWindowTextW(edit, u"abc");
    RECT menu{};
    std::string picture;
    std::string seen = WhileOpen(
        [] {
            win32::headless::RightClick(POINT{30, 20});
        },
        [&] {
            picture = win32::headless::Picture();
            for (const win32::WindowView& view : win32::ViewsOfScreen())
                if (view.kind == win32::ViewKind::kMenu) menu = view.window;
            const RECT all = OpenMenu().back().rect;
            win32::headless::Click(POINT{(all.left + all.right) / 2, (all.top + all.bottom) / 2});
        });
    EXPECT_EQ(seen, "[Undo] - [Cut] [Copy] [Paste] [Delete] - Select All");
    // Every display draws it: the headless picture is the terminal's painting.
    for (const char* part : {"Undo", "├", "Select All"})
        EXPECT_NE(picture.find(part), std::string::npos) << part << "\n" << picture;
    EXPECT_EQ(menu.left, 30);
    EXPECT_EQ(menu.top, 20);
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 3)) << "Select All";

    SendMessageW(edit, EM_SETSEL, 0, 1);
    WhileOpen(
        [] {
            win32::headless::RightClick(POINT{30, 20});
        },
        [] {
            win32::headless::Click(POINT{300, 190});
        });
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 1)) << "nothing chosen";
    EXPECT_FALSE(win32::controls::ClipboardText().has_value());
}

// Near the work area's edges the menu opens to the left of and above the point, as on Windows.
TEST_F(PopupMenuTest, OpensAwayFromTheWorkAreasEdges) {
    SetWindowPos(parent, nullptr, 950, 650, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT menu{};
    WhileOpen(
        [] {
            win32::headless::RightClick(POINT{1000, 670});
        },
        [&] {
            for (const win32::WindowView& view : win32::ViewsOfScreen())
                if (view.kind == win32::ViewKind::kMenu) menu = view.window;
            Key(VK_ESCAPE);
        });
    // "Select All" in the 6-pixel font with Windows' margins and frame; six items and two
    // separators of Windows' heights.
    EXPECT_EQ(menu.right - menu.left, 60 + 2 * 17 + 2 * 3);
    EXPECT_EQ(menu.bottom - menu.top, 6 * 19 + 2 * 9 + 2 * 3);
    EXPECT_EQ(menu.right, 1000);
    EXPECT_EQ(menu.bottom, 670);
}

}  // namespace
