// SPDX-License-Identifier: MIT
// The X11 display on Xlib, Xft and fontconfig: each top-level window is an X window the window
// manager frames; keys come through the input method, copy and cut reach the X selections.
#pragma once

#include <memory>

#include "src/display.h"

namespace win32 {

// nullptr when no X server answers at `name` (nullptr: $DISPLAY).
std::unique_ptr<Display> MakeX11Display(const char* name = nullptr);

}  // namespace win32
