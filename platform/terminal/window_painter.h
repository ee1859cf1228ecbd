// SPDX-License-Identifier: MIT
// Draws the account of what each window shows onto a grid of cells: dialogs with a frame, a
// caption bar and its boxes, push buttons ("[ Cancel ]", the default one "< OK >"), edit fields
// with their scrolled text, selection and caret, statics, group boxes and icons, the open window
// menu and a task bar of minimised windows. A disabled window is drawn dim, the active one with
// a double frame. A window larger than the screen is shown around its focused control, with
// arrows on the edges where it goes on. The grid and the cursor are all the
// terminal needs to show the screen, and the headless display's picture is the grid's text; the
// placement of the top-level windows maps a clicked cell back to a pixel of the window there.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "terminal/cell_grid.h"
#include "view/window_view.h"

namespace win32::terminal {

// The pixels one character cell stands for.
struct CellSize {
    int width;
    int height;
};

// Where a top-level window landed: its cells, and the pixel and cell of its origin. A
// minimised window lands on its task bar entry.
struct PlacedWindow {
    HWND handle = nullptr;
    RECT cells{};
    POINT origin{};
    POINT originCell{};
    bool minimized = false;
};

struct Screen {
    Grid grid;
    std::optional<POINT> cursor;        // where the keyboard is: a field's caret, a button, ...
    std::vector<PlacedWindow> windows;  // bottom of the z-order first
    bool focusInEdit = false;           // the keyboard focus is in an edit field
    HWND taskBarEntry = nullptr;        // the minimised window the task bar would restore
    bool taskBarHasKeys = false;        // no window is shown: Enter and Space restore it
};

// Paints `topLevel` (bottom of the z-order first) onto a blank grid of the given size, each cell
// standing for `cell` pixels.
Screen PaintScreen(const std::vector<WindowView>& topLevel, int columns, int rows, CellSize cell);

// The screen pixel a click on a cell stands for: inside the control drawn on that cell.
POINT PixelOfCell(const std::vector<PlacedWindow>& windows, int column, int row, CellSize cell);
// The minimised window whose task bar entry covers the cell, or nullptr.
HWND TaskBarEntryAt(const std::vector<PlacedWindow>& windows, int column, int row);

}  // namespace win32::terminal
