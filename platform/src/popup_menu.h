// SPDX-License-Identifier: MIT
// Popup menus: the window menu (Alt+Space) and the edit's context menu. An open menu shows in a
// window of the menu class "#32768" at the top of the z-order, which takes the mouse but never
// the activation nor the keyboard focus; a modal loop of its own takes keys and clicks until an
// item is chosen or the menu is dismissed. The view reads the open menu to draw it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace win32 {

struct MenuItem {
    std::u16string text;  // with its mnemonic: "&Move"; empty for a separator
    UINT command = 0;
    bool enabled = true;
    bool IsSeparator() const { return text.empty(); }
};

// The menu while it is open.
struct OpenMenu {
    HWND window = nullptr;   // the menu's own window
    HMENU handle = nullptr;  // what GetMenuBarInfo gives for GetMenuItemInfoW
    bool ending = false;     // EndMenu was called
    std::vector<MenuItem> items;
    std::vector<RECT> rects;  // each item's, screen pixels, inside the menu's frame
    std::size_t highlighted = kNone;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
};

// The open menu, or nullptr.
const OpenMenu* CurrentMenu();

// Shows `items` for `owner` with its top-left corner at `at` (screen pixels), moved as on
// Windows to lie on the work area, until an item is chosen: its command is returned; 0 when
// the menu was dismissed (Escape, Alt, a click outside it) or `owner` went away. A menu opened
// by the keyboard highlights its first enabled item. `owner` hears WM_ENTERMENULOOP and
// WM_EXITMENULOOP with `popup` (TRUE for TrackPopupMenu's menus, FALSE for the window menu).
UINT TrackMenu(HWND owner, std::vector<MenuItem> items, POINT at, bool byKeyboard, BOOL popup);

// For the modal loops of menus and moves: whether `message` is keyboard or mouse input, which
// such a loop takes itself; and the next message, false when the loop must end (WM_QUIT, then
// posted again for the loop outside).
bool IsInputMessage(UINT message);
bool NextLoopMessage(MSG& msg);

// Registers the menu class "#32768"; with the other built-in classes.
void RegisterMenuClass();

}  // namespace win32
