// SPDX-License-Identifier: MIT
// The terminal display's pixel model. The window system works in pixels; on a terminal every
// character cell is kCellWidth x kCellHeight pixels. The dialog font and the system metrics are
// chosen so that a dialog's frame and caption bar each take whole cells and so that dialog
// units land controls on cells of their own: a vertical dialog unit is one pixel (font height
// 8), a horizontal one 11/4 pixels (alphabet width 52 x 11), so the 326 x 249 unit main dialog
// with its frame and caption is 921 x 285 pixels, 77 x 24 cells.
//
// Windows are placed on cells relative to their top-level window: its origin snaps to the
// nearest cell, and every edge inside it snaps to the nearest cell boundary measured from that
// origin. So a dialog looks the same wherever centring put it, and a cell maps back to a pixel
// inside whatever is drawn there.
#pragma once

#include <string_view>

#include "src/display.h"

namespace win32::terminal {

inline constexpr int kCellWidth = 12;
inline constexpr int kCellHeight = 12;

FontMetrics TerminalFont();
SystemMetricsSet TerminalMetrics();
// Pixels of text in the dialog font: kCellWidth per column it takes.
int TextPixels(std::u16string_view text);

// Rounds a / b towards negative infinity (b > 0).
int FloorDiv(int a, int b);
// The cell boundary nearest to `pixels` (half a cell rounds up); pixels may be negative.
int NearestBoundary(int pixels, int cell);
// A pixel of cell `index` that lies inside any span whose snapped edges enclose that cell.
int PixelInCell(int index, int cell);

}  // namespace win32::terminal
