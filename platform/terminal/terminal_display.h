// SPDX-License-Identifier: MIT
// The terminal display on ncursesw: the screen is the terminal, one cell kCellWidth x
// kCellHeight pixels.
#pragma once

#include <memory>

#include "src/display.h"

namespace win32 {

// nullptr when standard input and output are not a terminal that can show a dialog.
std::unique_ptr<Display> MakeTerminalDisplay();

}  // namespace win32
