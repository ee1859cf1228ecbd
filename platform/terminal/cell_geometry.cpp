// SPDX-License-Identifier: MIT
#include "terminal/cell_geometry.h"

#include "terminal/cell_grid.h"

namespace win32::terminal {

FontMetrics TerminalFont() { return FontMetrics{8, 52 * 11}; }

SystemMetricsSet TerminalMetrics() {
    SystemMetricsSet metrics;
    metrics.captionHeight = kCellHeight;    // one row
    metrics.borderWidth = 1;                // thin borders (edits) are drawn inside the cells
    metrics.dialogFrameWidth = kCellWidth;  // one cell on every side
    metrics.sizeFrameWidth = kCellWidth;
    metrics.edgeWidth = 1;
    metrics.captionButtonWidth = 3 * kCellWidth;  // "[X]"
    metrics.iconWidth = 2 * kCellWidth;
    metrics.smallIconWidth = kCellWidth;
    metrics.minimizedWidth = 20 * kCellWidth;
    metrics.minimizedHeight = 3 * kCellHeight;  // frame, caption, frame
    metrics.keyboardMoveX = kCellWidth;         // a keyboard move goes cell by cell
    metrics.keyboardMoveY = kCellHeight;
    // A menu: a box of one cell, an item or separator on each row, a blank cell each side of
    // the text.
    metrics.menuFrameWidth = kCellWidth;
    metrics.menuItemHeight = kCellHeight;
    metrics.menuSeparatorHeight = kCellHeight;
    metrics.menuTextMargin = kCellWidth;
    return metrics;
}

int TextPixels(std::u16string_view text) { return TextCells(text) * kCellWidth; }

int FloorDiv(int a, int b) {
    const int quotient = a / b;
    return (a % b != 0 && a < 0) ? quotient - 1 : quotient;
}

int NearestBoundary(int pixels, int cell) { return FloorDiv(pixels + cell / 2, cell); }

// A span [a, b) snapped to boundaries [NearestBoundary(a), NearestBoundary(b)) contains cell k
// exactly when a < k * cell + cell / 2 <= b, so the pixel just left of the cell's middle is
// inside the span.
int PixelInCell(int index, int cell) { return index * cell + cell / 2 - 1; }

}  // namespace win32::terminal
