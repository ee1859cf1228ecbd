// Draws the window system's windows onto a grid of cells: dialogs with a frame, a caption bar
// and a close box, push buttons ("[ Cancel ]", the default one "< OK >"), edit fields with
// their scrolled text, selection and caret, statics, group boxes and icons. A disabled window
// is drawn dim, the active one with a double frame. The grid and the terminal cursor are all
// the terminal layer needs to show the screen; the placement of the top-level windows maps a
// clicked cell back to a pixel of the window drawn there.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "src/display.h"
#include "terminal/cell_grid.h"

namespace win32::terminal {

// What a display reads from a control through its messages, beside its WindowView.
struct ControlState {
    std::size_t selectionStart = 0;  // edits: EM_GETSEL
    std::size_t selectionEnd = 0;
    std::size_t caret = 0;         // EM_GETCARETINDEX
    std::size_t firstVisible = 0;  // EM_GETFIRSTVISIBLELINE
    DWORD buttonState = 0;         // BM_GETSTATE
    bool hasIcon = false;          // STM_GETICON
};
using ControlStateReader = std::function<ControlState(const WindowView&)>;

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
    std::optional<POINT> cursor;        // cell of the focused edit's caret
    std::vector<PlacedWindow> windows;  // bottom of the z-order first
    bool focusInEdit = false;           // the keyboard focus is in an edit field
};

// Paints `topLevel` (bottom of the z-order first) onto a blank grid of the given size.
Screen PaintScreen(const std::vector<WindowView>& topLevel, const ControlStateReader& read,
                   int columns, int rows);

// The screen pixel a click on a cell stands for: inside the control drawn on that cell.
POINT PixelOfCell(const std::vector<PlacedWindow>& windows, int column, int row);
// The minimised window whose task bar entry covers the cell, or nullptr.
HWND TaskBarEntryAt(const std::vector<PlacedWindow>& windows, int column, int row);

// Window class names compare without regard to case.
bool SameClassName(std::u16string_view a, std::u16string_view b);

// Text of a static or button as shown: "&x" marks a mnemonic and shows x, "&&" shows "&".
std::u16string WithoutMnemonics(std::u16string_view text);
// Lines of `text` wrapped to `width` columns: breaks at spaces and after wide characters, and
// cuts words that are longer than a line.
std::vector<std::u16string> WrapText(std::u16string_view text, int width);

}  // namespace win32::terminal
