// SPDX-License-Identifier: MIT
// Placement internals shared with input routing and the dialog manager.
#pragma once

#include <windows.h>

namespace win32 {

// The window under a screen point the way mouse input finds it: visible windows only, disabled
// children and HTTRANSPARENT ones passed over; `hit` gets its WM_NCHITTEST code. nullptr when
// the point is over no window.
HWND WindowAtPoint(POINT screen, LRESULT* hit);

// Moves and sizes a window with WM_WINDOWPOSCHANGING/WM_WINDOWPOSCHANGED, as SetWindowPos.
BOOL PlaceWindow(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// Where a minimised top-level window is put, as Windows does.
constexpr LONG kMinimizedPosition = -32000;

}  // namespace win32
