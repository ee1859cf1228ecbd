// SPDX-License-Identifier: MIT
// Real keyboard and mouse input through SendInput: it reaches whichever window is in front,
// exactly as a person's typing does.
#pragma once

#include <windows.h>

#include <string_view>

namespace ui {

// Makes window the foreground window; false if the system refused.
bool BringToFront(HWND window);

void PressKey(WORD virtualKey);

// Types each character with the key (and Shift) that produces it on the current layout;
// false if a character has no key.
bool TypeText(std::wstring_view text);

// A left click in the middle of window.
void ClickMiddle(HWND window);

}  // namespace ui
