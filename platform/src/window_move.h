// SPDX-License-Identifier: MIT
// The window menu (Alt+Space) and the move of a top-level window, run by DefWindowProcW for
// WM_SYSCOMMAND as modal loops of their own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace win32 {

struct SystemMenuItem {
    std::u16string text;  // with its mnemonic: "&Move"
    WPARAM command = 0;   // SC_RESTORE, SC_MOVE, SC_MINIMIZE, SC_CLOSE
    bool enabled = true;
};

// The window menu while it is open.
struct OpenSystemMenu {
    HWND window = nullptr;
    std::vector<SystemMenuItem> items;
    std::size_t highlighted = 0;
};

// The open window menu, or nullptr.
const OpenSystemMenu* CurrentSystemMenu();

// Shows the window menu of `hwnd` until an item is chosen (sent as WM_SYSCOMMAND) or it is
// dismissed (Escape, a click).
void TrackSystemMenu(HWND hwnd);

// Moves `hwnd` until the move ends: by the keyboard (arrows, Enter keeps, Escape puts it back),
// or by the mouse while the left button held down at `cursor` (screen) is down. The caption
// stays on the work area.
void TrackMove(HWND hwnd, bool byMouse, POINT cursor);

}  // namespace win32
