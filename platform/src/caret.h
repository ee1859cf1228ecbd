// SPDX-License-Identifier: MIT
// The caret's tie to the window that owns it.
#pragma once

#include <windows.h>

namespace win32 {

// Called as a window is destroyed: the caret it owns goes with it.
void ForgetCaretOwner(HWND hwnd);
// As a new process has it: no caret, and the default blink time.
void ResetCaret();

}  // namespace win32
