// SPDX-License-Identifier: MIT
// Keyboard focus, the active window and mouse capture: the state and the steps that change it
// with the messages Windows sends on the way (WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, ...).
#pragma once

#include <windows.h>

namespace win32 {

// Makes the top-level window `hwnd` active (nullptr: none), sending WM_NCACTIVATE and
// WM_ACTIVATE to the old and the new window; `how` is WA_ACTIVE or WA_CLICKACTIVE. Returns the
// previously active window.
HWND Activate(HWND hwnd, WORD how);
// A CBT hook (SetWindowsHookExW) answering HCBT_ACTIVATE refused that `hwnd` become active.
bool CbtRefusesActivation(HWND hwnd, bool byMouse, HWND active);
// Removes every hook.
void ResetHooks();
// The window that should become active when `leaving` is hidden, minimised or destroyed: its
// owner if that can take it, else the topmost other visible, enabled top-level window.
HWND NextActiveWindow(HWND leaving);
// Called as a window is destroyed: forgets it as focus, active window and capture.
void ForgetWindow(HWND hwnd);
// Clears focus, activation and capture.
void ResetFocus();

}  // namespace win32
