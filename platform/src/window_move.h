// SPDX-License-Identifier: MIT
// The window menu (Alt+Space, a right click on the caption) and the move of a top-level window,
// run by DefWindowProcW for WM_SYSCOMMAND and WM_CONTEXTMENU as modal loops of their own.
#pragma once

#include <windows.h>

#include <optional>

namespace win32 {

// Shows the window menu of `hwnd` at `at` (screen), or below its caption's left end when it
// was asked for by the keyboard, and sends the item chosen as WM_SYSCOMMAND.
void TrackSystemMenu(HWND hwnd, std::optional<POINT> at);

// Moves `hwnd` until the move ends: by the keyboard (arrows, Enter keeps, Escape puts it back),
// or by the mouse while the left button held down at `cursor` (screen) is down. The caption
// stays on the work area.
void TrackMove(HWND hwnd, bool byMouse, POINT cursor);

}  // namespace win32
