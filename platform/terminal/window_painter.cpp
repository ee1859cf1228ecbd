// SPDX-License-Identifier: MIT
#include "terminal/window_painter.h"

#include <algorithm>

#include "terminal/cell_geometry.h"
#include "view/rect_math.h"

namespace win32::terminal {

namespace {

constexpr std::uint8_t kActiveCaption = kReverse | kBold;
constexpr std::uint8_t kField = kUnderline;
constexpr std::uint8_t kFocusedButton = kReverse | kBold;

// Pixels of one top-level window mapped to cells from its snapped origin.
struct Placement {
    POINT origin;
    POINT originCell;
    CellSize cell;

    static int Snap(int from, int to, int originPixel, int originCell, int cell, int& low) {
        low = originCell + NearestBoundary(from - originPixel, cell);
        int high = originCell + NearestBoundary(to - originPixel, cell);
        if (to > from && high <= low) {
            // Thinner than a cell: the cell holding its middle.
            low = originCell + FloorDiv(from - originPixel + to - originPixel, 2 * cell);
            high = low + 1;
        }
        return high;
    }

    RECT Cells(const RECT& pixels) const {
        RECT cells{};
        cells.right =
            Snap(pixels.left, pixels.right, origin.x, originCell.x, cell.width, cells.left);
        cells.bottom =
            Snap(pixels.top, pixels.bottom, origin.y, originCell.y, cell.height, cells.top);
        return cells;
    }
};

// A window whose client area lies inside its window on every side has a frame to draw.
bool HasFrame(const WindowView& view) {
    return view.client.left > view.window.left && view.client.top > view.window.top &&
           view.client.right < view.window.right && view.client.bottom < view.window.bottom;
}

// The grid seen through a clipping rectangle of cells.
class Canvas {
public:
    Canvas(Grid& grid, RECT clip) : grid_(grid), clip_(clip) {}

    Canvas Within(const RECT& r) const { return Canvas(grid_, Intersection(clip_, r)); }
    const RECT& clip() const { return clip_; }

    void Fill(const RECT& r, std::uint8_t attributes) {
        const RECT c = Intersection(clip_, r);
        grid_.Fill(c.left, c.top, c.right, c.bottom, attributes);
    }

    void AddAttributes(const RECT& r, std::uint8_t attributes) {
        const RECT c = Intersection(clip_, r);
        grid_.AddAttributes(c.left, c.top, c.right, c.bottom, attributes);
    }

    // One character at `column`, shown only where it lies wholly inside the clip and before
    // `limit`; returns the column after it.
    int Char(int column, int row, char32_t c, std::uint8_t attributes, int limit) {
        const int width = CellWidth(c);
        if (row < clip_.top || row >= clip_.bottom) return column + width;
        limit = std::min<int>(limit, clip_.right);
        if (width == 0) {
            if (column > clip_.left && column <= limit)
                grid_.Put(column, row, c, attributes, limit);
            return column;
        }
        if (column >= limit) return column + width;
        if (column < clip_.left) {
            const int end = std::min(column + width, limit);
            if (end > clip_.left) grid_.Fill(clip_.left, row, end, row + 1, attributes);
            return column + width;
        }
        return grid_.Put(column, row, c, attributes, limit);
    }

    int Text(int column, int row, std::u16string_view text, std::uint8_t attributes, int limit) {
        for (const CodePoint& point : DecodeUtf16(text)) {
            if (column >= limit) break;
            column = Char(column, row, point.value, attributes, limit);
        }
        return column;
    }

    void Box(const RECT& r, bool doubleLine, std::uint8_t attributes) {
        if (Width(r) < 2 || Height(r) < 2) return;
        const char32_t horizontal = doubleLine ? U'═' : U'─';
        const char32_t vertical = doubleLine ? U'║' : U'│';
        const int right = r.right - 1, bottom = r.bottom - 1;
        for (int x = r.left + 1; x < right; ++x) {
            Char(x, r.top, horizontal, attributes, r.right);
            Char(x, bottom, horizontal, attributes, r.right);
        }
        for (int y = r.top + 1; y < bottom; ++y) {
            Char(r.left, y, vertical, attributes, r.right);
            Char(right, y, vertical, attributes, r.right);
        }
        Char(r.left, r.top, doubleLine ? U'╔' : U'┌', attributes, r.right);
        Char(right, r.top, doubleLine ? U'╗' : U'┐', attributes, r.right);
        Char(r.left, bottom, doubleLine ? U'╚' : U'└', attributes, r.right);
        Char(right, bottom, doubleLine ? U'╝' : U'┘', attributes, r.right);
    }

private:
    Grid& grid_;
    RECT clip_;
};

class Painter {
public:
    Painter(Screen& screen, CellSize cell) : screen_(screen), cell_(cell) {}

    void TopLevel(const WindowView& view) {
        if (view.minimized) {
            TaskBarEntry(view);
            return;
        }
        // A window cut off by the screen's edges is shown one cell inside them on that axis,
        // so that the marks of the cut never cover what it shows.
        const RECT screen{0, 0, screen_.grid.columns(), screen_.grid.rows()};
        RECT shown = screen;
        Placement placement = Place(view, shown);
        const RECT whole = placement.Cells(view.window);
        if (whole.left < screen.left || whole.right > screen.right) {
            shown.left = std::min<LONG>(1, screen.right);
            shown.right = std::max<LONG>(shown.left, screen.right - 1);
        }
        if (whole.top < screen.top || whole.bottom > screen.bottom) {
            shown.top = std::min<LONG>(1, screen.bottom);
            shown.bottom = std::max<LONG>(shown.top, screen.bottom - 1);
        }
        if (!SameRect(shown, screen)) placement = Place(view, shown);
        const RECT cells = placement.Cells(view.window);
        screen_.windows.push_back(
            {view.handle, Intersection(cells, shown), placement.origin, placement.originCell});
        Canvas canvas(screen_.grid, shown);
        Window(view, placement, canvas, true);
        Canvas everywhere(screen_.grid, screen);
        MarkCutOff(everywhere, cells, shown);
    }

    // After the top-level windows: the task bar's keys, when it has them.
    void FinishTaskBar(bool windowShown) {
        screen_.taskBarHasKeys = !windowShown && screen_.taskBarEntry != nullptr;
        if (!screen_.taskBarHasKeys) return;
        Canvas canvas(screen_.grid, RECT{0, 0, screen_.grid.columns(), screen_.grid.rows()});
        const int row = screen_.grid.rows() - 1;
        for (const PlacedWindow& placed : screen_.windows) {
            if (placed.handle != screen_.taskBarEntry) continue;
            canvas.AddAttributes(placed.cells, kUnderline);
            Cursor(canvas, placed.cells.left + 1, row);
        }
        canvas.Text(taskBarColumn_ + 1, row, u"Enter: restore", kPlain, screen_.grid.columns());
    }

private:
    // Where a top-level window lands: its origin snapped to a cell, then moved so that its
    // focused control is in `shown`.
    Placement Place(const WindowView& view, const RECT& shown) const {
        Placement placement{{view.window.left, view.window.top},
                            {NearestBoundary(view.window.left, cell_.width),
                             NearestBoundary(view.window.top, cell_.height)},
                            cell_};
        FollowFocus(view, placement, shown);
        return placement;
    }

    // A window larger than the screen is shown scrolled so that its focused control is in
    // view; a control wider or higher than the screen shows its start. Of a field, the text up
    // to its caret, or where that is too wide, the caret: the least move keeps its label in
    // view too.
    void FollowFocus(const WindowView& view, Placement& placement, const RECT& shown) const {
        const WindowView* focus = FocusedWithin(view);
        if (focus == nullptr) return;
        RECT cells = placement.Cells(focus->window);
        if (focus->kind == ViewKind::kEdit && focus->caret >= focus->firstVisible) {
            const LONG start = placement.Cells(focus->client).left;
            const LONG caret = start + TextCells(std::u16string_view(focus->shown)
                                                     .substr(focus->firstVisible,
                                                             focus->caret - focus->firstVisible));
            cells.left = caret + 1 - start <= shown.right - shown.left ? start : caret;
            cells.right = caret + 1;
        }
        auto shift = [](LONG low, LONG high, LONG viewLow, LONG viewHigh) {
            const LONG toEnd = high > viewHigh ? viewHigh - high : LONG{0};
            return low + toEnd < viewLow ? viewLow - low : toEnd;
        };
        placement.originCell.x += shift(cells.left, cells.right, shown.left, shown.right);
        placement.originCell.y += shift(cells.top, cells.bottom, shown.top, shown.bottom);
    }

    // Arrows on the screen's edges, outside what it shows of the window, where the window goes
    // on beyond them.
    void MarkCutOff(Canvas& canvas, const RECT& cells, const RECT& shown) {
        const int columns = screen_.grid.columns(), rows = screen_.grid.rows();
        const int middleRow = std::clamp<int>(
            (std::max(cells.top, shown.top) + std::min(cells.bottom, shown.bottom)) / 2, 0,
            rows - 1);
        const int middleColumn = std::clamp<int>(
            (std::max(cells.left, shown.left) + std::min(cells.right, shown.right)) / 2, 0,
            columns - 1);
        const std::uint8_t mark = kReverse | kBold;
        if (cells.left < shown.left) canvas.Char(0, middleRow, U'◀', mark, columns);
        if (cells.right > shown.right) canvas.Char(columns - 1, middleRow, U'▶', mark, columns);
        if (cells.top < shown.top) canvas.Char(middleColumn, 0, U'▲', mark, columns);
        if (cells.bottom > shown.bottom) canvas.Char(middleColumn, rows - 1, U'▼', mark, columns);
    }

    // An open menu: a box, each item on the first row its rectangle takes (a row of its own
    // where cells are higher than items), separators a line across the box. The highlighted
    // item is reversed and holds the cursor, a greyed one dim, mnemonics underlined.
    void Menu(const WindowView& view, const Placement& placement, Canvas& canvas,
              const RECT& cells) {
        canvas.Fill(cells, kPlain);
        canvas.Box(cells, false, kPlain);
        int row = cells.top;
        for (const MenuItemView& item : view.menuItems) {
            row = std::max<int>(row + 1, placement.Cells(item.rect).top);
            if (row >= cells.bottom - 1) break;
            const RECT line{cells.left + 1, row, cells.right - 1, row + 1};
            if (item.separator) {
                canvas.Char(cells.left, row, U'├', kPlain, cells.right);
                for (int x = line.left; x < line.right; ++x)
                    canvas.Char(x, row, U'─', kPlain, cells.right);
                canvas.Char(line.right, row, U'┤', kPlain, cells.right);
                continue;
            }
            const std::uint8_t attributes = item.highlighted ? kReverse : kPlain;
            canvas.Fill(line, attributes);
            RECT text = item.rect;
            text.left += view.menuTextMargin;
            const int column = std::max<int>(line.left, placement.Cells(text).left);
            canvas.Text(column, row, item.shown, attributes, line.right);
            if (item.mnemonic < item.shown.size()) {
                const int at =
                    column + TextCells(std::u16string_view(item.shown).substr(0, item.mnemonic));
                canvas.AddAttributes(RECT{at, row, at + 1, row + 1}, kUnderline);
            }
            if (!item.enabled) canvas.AddAttributes(line, kDim);
            if (item.highlighted) Cursor(canvas, column, row);
        }
    }

    // The terminal's cursor stands where the keyboard is: the caret of a field, the text of a
    // button, the open menu's item, the task bar entry that takes the keys.
    void Cursor(const Canvas& canvas, int column, int row) {
        if (Contains(canvas.clip(), column, row)) screen_.cursor = POINT{column, row};
    }

    // A minimised window lies far off the screen, as on Windows; the terminal has no task bar
    // of its own, so its bottom row shows one, each entry standing for its window. When no
    // window is shown, the task bar takes the keys: Enter or Space restores the highlighted
    // entry (Alt+Tab does so at any time), and the row says so.
    void TaskBarEntry(const WindowView& view) {
        const int row = screen_.grid.rows() - 1;
        const std::u16string face = u"[" + view.shown + u"]";
        const int width = std::min(TextCells(face), 20);
        const RECT cells{taskBarColumn_, row, taskBarColumn_ + width, row + 1};
        taskBarColumn_ += width + 1;
        screen_.windows.push_back({view.handle, cells, POINT{view.window.left, view.window.top},
                                   POINT{cells.left, cells.top}, true});
        if (screen_.taskBarEntry == nullptr || view.active) screen_.taskBarEntry = view.handle;
        Canvas canvas(screen_.grid, RECT{0, 0, screen_.grid.columns(), screen_.grid.rows()});
        const std::uint8_t attributes = view.active ? kActiveCaption : std::uint8_t{kReverse};
        canvas.Fill(cells, attributes);
        canvas.Text(cells.left, row, face, attributes, cells.right);
    }

    void Window(const WindowView& view, const Placement& placement, const Canvas& parent,
                bool enabled) {
        const RECT cells = placement.Cells(view.window);
        // A window's frame takes the outer cells even where it is thinner than a cell.
        const bool framed = view.kind == ViewKind::kFrame && HasFrame(view);
        const RECT client =
            Intersection(placement.Cells(view.client), framed ? Inset(cells, 1) : cells);
        Canvas here = parent.Within(cells);
        enabled = enabled && view.enabled;
        if (view.focused) screen_.focusInEdit = view.kind == ViewKind::kEdit;

        switch (view.kind) {
            case ViewKind::kFrame:
                Frame(view, placement, here, cells);
                break;
            case ViewKind::kPushButton:
            case ViewKind::kCheckBox:
            case ViewKind::kRadioButton:
            case ViewKind::kGroupBox:
                Button(view, here, cells);
                break;
            case ViewKind::kEdit:
                Edit(view, here, client, enabled);
                break;
            case ViewKind::kText:
            case ViewKind::kIcon:
            case ViewKind::kStaticFrame:
                Static(view, here, cells, client);
                break;
            case ViewKind::kMenu:
                Menu(view, placement, here, cells);
                break;
            case ViewKind::kOther:
                here.Fill(cells, kPlain);
                break;
        }

        const Canvas inside = here.Within(client);
        // The first child is the top of the z-order, so it is drawn last.
        for (auto child = view.children.rbegin(); child != view.children.rend(); ++child)
            Window(*child, placement, inside, enabled);
        if (!view.enabled) here.AddAttributes(cells, kDim);
    }

    // A dialog or other framed window: frame, caption bar and caption buttons.
    void Frame(const WindowView& view, const Placement& placement, Canvas& canvas,
               const RECT& cells) {
        canvas.Fill(cells, kPlain);
        const bool framed = view.kind == ViewKind::kFrame && HasFrame(view);
        if (framed) canvas.Box(cells, view.active, kPlain);
        if (!view.caption) return;

        const RECT caption =
            Intersection(placement.Cells(view.captionBar), framed ? Inset(cells, 1) : cells);
        if (caption.bottom <= caption.top || caption.right <= caption.left) return;
        const std::uint8_t attributes = view.active ? kActiveCaption : std::uint8_t{kPlain};
        canvas.Fill(caption, attributes);
        const int row = caption.top;
        int textLimit = caption.right;
        for (const CaptionBox& button : view.captionBoxes) {
            const RECT box = placement.Cells(button.rect);
            const int left = box.left + std::max(0, (Width(box) - TextCells(button.face)) / 2);
            canvas.Text(left, row, button.face, attributes, box.right);
            if (!button.enabled) canvas.AddAttributes(box, kDim);
            textLimit = box.left - 1;
        }
        canvas.Text(caption.left + 1, row, view.shown, attributes, textLimit);
    }

    void Button(const WindowView& view, Canvas& canvas, const RECT& cells) {
        const std::u16string& text = view.shown;
        const int row = cells.top + (Height(cells) - 1) / 2;
        if (view.kind == ViewKind::kGroupBox) {
            canvas.Box(cells, false, kPlain);
            if (!text.empty()) {
                const std::u16string title = u" " + text + u" ";
                canvas.Text(cells.left + 1, cells.top, title, kPlain, cells.right - 1);
            }
            return;
        }
        canvas.Fill(cells, kPlain);
        if (view.kind != ViewKind::kPushButton) {
            const bool radio = view.kind == ViewKind::kRadioButton;
            char16_t mark = u' ';
            if (view.checked) mark = radio ? u'*' : u'x';
            if (view.indeterminate) mark = u'-';
            std::u16string box = radio ? u"( ) " : u"[ ] ";
            box[1] = mark;
            const int column = canvas.Text(cells.left, row, box, kPlain, cells.right);
            canvas.Text(column, row, text, view.focused ? kReverse : kPlain, cells.right);
            if (view.focused) Cursor(canvas, cells.left + 1, row);
            return;
        }
        std::uint8_t attributes = kPlain;
        if (view.focused) attributes = kFocusedButton;
        if (view.pushed) attributes = kReverse;
        canvas.Fill(RECT{cells.left, row, cells.right, row + 1}, attributes);
        if (Width(cells) >= 2) {
            canvas.Char(cells.left, row, view.isDefault ? U'<' : U'[', attributes, cells.right);
            canvas.Char(cells.right - 1, row, view.isDefault ? U'>' : U']', attributes,
                        cells.right);
        }
        const int inner = std::max(0, Width(cells) - 2);
        const int start = cells.left + 1 + std::max(0, (inner - TextCells(text)) / 2);
        canvas.Text(start, row, text, attributes, cells.right - 1);
        if (view.focused) Cursor(canvas, std::min(start, static_cast<int>(cells.right) - 1), row);
    }

    void Edit(const WindowView& view, Canvas& canvas, const RECT& client, bool enabled) {
        const RECT field = client;
        if (Height(field) <= 0 || Width(field) <= 0) return;
        const int row = field.top + (Height(field) - 1) / 2;
        canvas.Fill(field, kPlain);
        canvas.Fill(RECT{field.left, row, field.right, row + 1}, kField);

        const std::u16string_view text = view.shown;
        const std::size_t first = view.firstVisible;

        int column = field.left;
        for (const CodePoint& point : DecodeUtf16(text.substr(first))) {
            if (column >= field.right) break;
            const std::size_t index = first + point.index;
            const bool selected =
                view.showSelection && index >= view.selectionLow && index < view.selectionHigh;
            column = canvas.Char(column, row, point.value,
                                 selected ? std::uint8_t{kField | kReverse} : kField, field.right);
        }

        if (view.focused && enabled && view.caret >= first) {
            const int caret = field.left + TextCells(text.substr(first, view.caret - first));
            Cursor(canvas, std::min<int>(caret, field.right - 1), row);
        }
    }

    void Static(const WindowView& view, Canvas& canvas, const RECT& cells, const RECT& client) {
        canvas.Fill(cells, kPlain);
        if (view.kind == ViewKind::kIcon) {
            if (view.icon != nullptr) Icon(canvas, cells);
            return;
        }
        if (view.kind == ViewKind::kStaticFrame) {
            canvas.Box(cells, false, kPlain);
            return;
        }
        const int width = Width(client);
        int row = client.top;
        for (const std::u16string& line : view.lines) {
            if (row >= client.bottom) break;
            const int slack = std::max(0, width - TextCells(line));
            int column = client.left;
            if (view.align == TextAlign::kCenter) column += slack / 2;
            if (view.align == TextAlign::kRight) column += slack;
            canvas.Text(column, row, line, kPlain, client.right);
            ++row;
        }
    }

    // An icon: the program has one, a key.
    static void Icon(Canvas& canvas, const RECT& cells) {
        canvas.Text(cells.left, cells.top, u"O=", kBold, cells.right);
    }

    Screen& screen_;
    CellSize cell_;
    int taskBarColumn_ = 0;
};

}  // namespace

Screen PaintScreen(const std::vector<WindowView>& topLevel, int columns, int rows, CellSize cell) {
    Screen screen{Grid(columns, rows), std::nullopt, {}, false, nullptr, false};
    Painter painter(screen, cell);
    bool windowShown = false;
    for (const WindowView& view : topLevel) {
        painter.TopLevel(view);
        windowShown = windowShown || !view.minimized;
    }
    painter.FinishTaskBar(windowShown);
    return screen;
}

POINT PixelOfCell(const std::vector<PlacedWindow>& windows, int column, int row, CellSize cell) {
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (!Contains(window->cells, column, row)) continue;
        return POINT{window->origin.x + PixelInCell(column - window->originCell.x, cell.width),
                     window->origin.y + PixelInCell(row - window->originCell.y, cell.height)};
    }
    return POINT{PixelInCell(column, cell.width), PixelInCell(row, cell.height)};
}

HWND TaskBarEntryAt(const std::vector<PlacedWindow>& windows, int column, int row) {
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (Contains(window->cells, column, row))
            return window->minimized ? window->handle : nullptr;
    }
    return nullptr;
}

}  // namespace win32::terminal
