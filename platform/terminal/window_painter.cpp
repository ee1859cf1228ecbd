#include "terminal/window_painter.h"

#include <algorithm>

#include "terminal/cell_geometry.h"

namespace win32::terminal {

namespace {

constexpr std::uint8_t kActiveCaption = kReverse | kBold;
constexpr std::uint8_t kField = kUnderline;
constexpr std::uint8_t kFocusedButton = kReverse | kBold;

bool IsEdit(const WindowView& view) { return SameClassName(view.className, u"Edit"); }
bool IsButton(const WindowView& view) { return SameClassName(view.className, u"Button"); }
bool IsStatic(const WindowView& view) { return SameClassName(view.className, u"Static"); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Pixels of one top-level window mapped to cells from its snapped origin.
struct Placement {
    POINT origin;
    POINT originCell;

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
            Snap(pixels.left, pixels.right, origin.x, originCell.x, kCellWidth, cells.left);
        cells.bottom =
            Snap(pixels.top, pixels.bottom, origin.y, originCell.y, kCellHeight, cells.top);
        return cells;
    }
};

RECT Intersect(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

bool Contains(const RECT& r, int column, int row) {
    return column >= r.left && column < r.right && row >= r.top && row < r.bottom;
}

// The grid seen through a clipping rectangle of cells.
class Canvas {
public:
    Canvas(Grid& grid, RECT clip) : grid_(grid), clip_(clip) {}

    Canvas Within(const RECT& r) const { return Canvas(grid_, Intersect(clip_, r)); }
    const RECT& clip() const { return clip_; }

    void Fill(const RECT& r, std::uint8_t attributes) {
        const RECT c = Intersect(clip_, r);
        grid_.Fill(c.left, c.top, c.right, c.bottom, attributes);
    }

    void AddAttributes(const RECT& r, std::uint8_t attributes) {
        const RECT c = Intersect(clip_, r);
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
    Painter(const ControlStateReader& read, Screen& screen) : read_(read), screen_(screen) {}

    void TopLevel(const WindowView& view) {
        if (view.style & WS_MINIMIZE) {
            TaskBarEntry(view);
            return;
        }
        Placement placement{{view.window.left, view.window.top},
                            {NearestBoundary(view.window.left, kCellWidth),
                             NearestBoundary(view.window.top, kCellHeight)}};
        screen_.windows.push_back(
            {view.handle, placement.Cells(view.window), placement.origin, placement.originCell});
        Canvas canvas(screen_.grid, RECT{0, 0, screen_.grid.columns(), screen_.grid.rows()});
        Window(view, placement, canvas, true, true);
    }

private:
    // A minimised window lies far off the screen, as on Windows; the terminal has no task bar
    // of its own, so its bottom row shows one, each entry standing for its window.
    void TaskBarEntry(const WindowView& view) {
        const int row = screen_.grid.rows() - 1;
        const std::u16string face = u"[" + view.text + u"]";
        const int width = std::min(TextCells(face), 20);
        const RECT cells{taskBarColumn_, row, taskBarColumn_ + width, row + 1};
        taskBarColumn_ += width + 1;
        screen_.windows.push_back({view.handle, cells, POINT{view.window.left, view.window.top},
                                   POINT{cells.left, cells.top}, true});
        Canvas canvas(screen_.grid, RECT{0, 0, screen_.grid.columns(), screen_.grid.rows()});
        const std::uint8_t attributes = view.active ? kActiveCaption : std::uint8_t{kReverse};
        canvas.Fill(cells, attributes);
        canvas.Text(cells.left, row, face, attributes, cells.right);
    }

    void Window(const WindowView& view, const Placement& placement, const Canvas& parent,
                bool topLevel, bool enabled) {
        const RECT cells = placement.Cells(view.window);
        const RECT client = placement.Cells(view.client);
        Canvas here = parent.Within(cells);
        enabled = enabled && view.enabled;
        if (view.focused) screen_.focusInEdit = IsEdit(view);

        if (topLevel || SameClassName(view.className, u"#32770") ||
            (view.style & WS_CAPTION) == WS_CAPTION) {
            Frame(view, placement, here, cells, client);
        } else if (IsButton(view)) {
            Button(view, here, cells);
        } else if (IsEdit(view)) {
            Edit(view, here, client, enabled);
        } else if (IsStatic(view)) {
            Static(view, here, cells, client);
        } else {
            here.Fill(cells, kPlain);
        }

        const Canvas inside = here.Within(client);
        // The first child is the top of the z-order, so it is drawn last.
        for (auto child = view.children.rbegin(); child != view.children.rend(); ++child)
            Window(*child, placement, inside, false, enabled);
        if (!view.enabled) here.AddAttributes(cells, kDim);
    }

    // A dialog or other framed window: frame, caption bar and caption buttons.
    void Frame(const WindowView& view, const Placement& placement, Canvas& canvas,
               const RECT& cells, const RECT& client) {
        canvas.Fill(cells, kPlain);
        const bool framed = client.left > cells.left && client.top > cells.top &&
                            client.right < cells.right && client.bottom < cells.bottom;
        if (framed) canvas.Box(cells, view.active, kPlain);
        if ((view.style & WS_CAPTION) != WS_CAPTION) return;

        // The caption bar lies between the frame and the client area.
        const int frame = view.client.left - view.window.left;
        const RECT bar{view.window.left + frame, view.window.top + frame, view.window.right - frame,
                       view.client.top};
        if (bar.bottom <= bar.top || bar.right <= bar.left) return;
        const RECT caption = placement.Cells(bar);
        const std::uint8_t attributes = view.active ? kActiveCaption : std::uint8_t{kPlain};
        canvas.Fill(caption, attributes);
        const int row = caption.top;
        int textLimit = caption.right;
        if (view.style & WS_SYSMENU) {
            // Hit testing finds the close box at the right end, then the maximise and the
            // minimise box, each a caption button wide; with either of those both are there,
            // the missing one disabled.
            struct CaptionButton {
                const char16_t* face;
                bool enabled;
            };
            std::vector<CaptionButton> buttons{{u"[X]", true}};
            if (view.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
                buttons.push_back({u"[^]", (view.style & WS_MAXIMIZEBOX) != 0});
                buttons.push_back({u"[_]", (view.style & WS_MINIMIZEBOX) != 0});
            }
            const int buttonWidth = TerminalMetrics().captionButtonWidth;
            for (std::size_t i = 0; i < buttons.size(); ++i) {
                const int right = bar.right - static_cast<int>(i) * buttonWidth;
                const RECT box =
                    placement.Cells(RECT{right - buttonWidth, bar.top, right, bar.bottom});
                const int left = box.left + std::max(0, (Width(box) - 3) / 2);
                canvas.Text(left, row, buttons[i].face, attributes, box.right);
                if (!buttons[i].enabled) canvas.AddAttributes(box, kDim);
                textLimit = box.left - 1;
            }
        }
        canvas.Text(caption.left + 1, row, view.text, attributes, textLimit);
    }

    void Button(const WindowView& view, Canvas& canvas, const RECT& cells) {
        const ControlState state = read_(view);
        const DWORD type = view.style & BS_TYPEMASK;
        const std::u16string text = WithoutMnemonics(view.text);
        const int row = cells.top + (Height(cells) - 1) / 2;
        if (type == BS_GROUPBOX) {
            canvas.Box(cells, false, kPlain);
            if (!text.empty()) {
                const std::u16string title = u" " + text + u" ";
                canvas.Text(cells.left + 1, cells.top, title, kPlain, cells.right - 1);
            }
            return;
        }
        const bool focused = view.focused || (state.buttonState & BST_FOCUS);
        canvas.Fill(cells, kPlain);
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
            type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
            const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
            const DWORD check = state.buttonState & (BST_CHECKED | BST_INDETERMINATE);
            char16_t mark = u' ';
            if (check & BST_CHECKED) mark = radio ? u'*' : u'x';
            if (check & BST_INDETERMINATE) mark = u'-';
            std::u16string box = radio ? u"( ) " : u"[ ] ";
            box[1] = mark;
            const int column = canvas.Text(cells.left, row, box, kPlain, cells.right);
            canvas.Text(column, row, text, focused ? kReverse : kPlain, cells.right);
            return;
        }
        std::uint8_t attributes = kPlain;
        if (focused) attributes = kFocusedButton;
        if (state.buttonState & BST_PUSHED) attributes = kReverse;
        canvas.Fill(RECT{cells.left, row, cells.right, row + 1}, attributes);
        const bool isDefault = type == BS_DEFPUSHBUTTON;
        if (Width(cells) >= 2) {
            canvas.Char(cells.left, row, isDefault ? U'<' : U'[', attributes, cells.right);
            canvas.Char(cells.right - 1, row, isDefault ? U'>' : U']', attributes, cells.right);
        }
        const int inner = std::max(0, Width(cells) - 2);
        const int start = cells.left + 1 + std::max(0, (inner - TextCells(text)) / 2);
        canvas.Text(start, row, text, attributes, cells.right - 1);
    }

    void Edit(const WindowView& view, Canvas& canvas, const RECT& client, bool enabled) {
        const ControlState state = read_(view);
        RECT field = client;
        if (Height(field) <= 0 || Width(field) <= 0) return;
        const int row = field.top + (Height(field) - 1) / 2;
        canvas.Fill(field, kPlain);
        canvas.Fill(RECT{field.left, row, field.right, row + 1}, kField);

        std::u16string text = view.text;
        if (view.style & ES_PASSWORD) text.assign(text.size(), u'*');
        const std::size_t first = std::min(state.firstVisible, text.size());
        const bool showSelection = view.focused || (view.style & ES_NOHIDESEL);
        const std::size_t selectionLow = std::min(state.selectionStart, state.selectionEnd);
        const std::size_t selectionHigh = std::max(state.selectionStart, state.selectionEnd);

        int column = field.left;
        for (const CodePoint& point : DecodeUtf16(std::u16string_view(text).substr(first))) {
            if (column >= field.right) break;
            const std::size_t index = first + point.index;
            const bool selected = showSelection && index >= selectionLow && index < selectionHigh;
            column = canvas.Char(column, row, point.value,
                                 selected ? std::uint8_t{kField | kReverse} : kField, field.right);
        }

        if (view.focused && enabled && state.caret >= first && state.caret <= text.size()) {
            const int caret = field.left + TextCells(std::u16string_view(text).substr(
                                               first, state.caret - first));
            const int shown = std::min<int>(caret, field.right - 1);
            if (Contains(canvas.clip(), shown, row)) screen_.cursor = POINT{shown, row};
        }
    }

    void Static(const WindowView& view, Canvas& canvas, const RECT& cells, const RECT& client) {
        const DWORD type = view.style & SS_TYPEMASK;
        canvas.Fill(cells, kPlain);
        switch (type) {
            case SS_ICON:
                if (read_(view).hasIcon) Icon(canvas, cells);
                return;
            case SS_BLACKFRAME:
            case SS_GRAYFRAME:
            case SS_WHITEFRAME:
            case SS_ETCHEDFRAME:
                canvas.Box(cells, false, kPlain);
                return;
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
            case SS_SIMPLE:
            case SS_LEFTNOWORDWRAP:
                break;
            default:
                return;
        }
        const std::u16string text =
            (view.style & SS_NOPREFIX) ? view.text : WithoutMnemonics(view.text);
        const int width = Width(client);
        const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        const std::vector<std::u16string> lines = WrapText(text, wraps ? width : 0x7FFF);
        int row = client.top;
        for (const std::u16string& line : lines) {
            if (row >= client.bottom) break;
            const int slack = std::max(0, width - TextCells(line));
            int column = client.left;
            if (type == SS_CENTER) column += slack / 2;
            if (type == SS_RIGHT) column += slack;
            canvas.Text(column, row, line, kPlain, client.right);
            ++row;
        }
    }

    // An icon: the program has one, a key.
    static void Icon(Canvas& canvas, const RECT& cells) {
        canvas.Text(cells.left, cells.top, u"O=", kBold, cells.right);
    }

    const ControlStateReader& read_;
    Screen& screen_;
    int taskBarColumn_ = 0;
};

}  // namespace

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = static_cast<char16_t>(x - u'A' + u'a');
        if (y >= u'A' && y <= u'Z') y = static_cast<char16_t>(y - u'A' + u'a');
        if (x != y) return false;
    }
    return true;
}

std::u16string WithoutMnemonics(std::u16string_view text) {
    std::u16string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                shown += u'&';
                ++i;
            }
            continue;
        }
        shown += text[i];
    }
    return shown;
}

std::vector<std::u16string> WrapText(std::u16string_view text, int width) {
    std::vector<std::u16string> lines;
    if (width <= 0) return lines;
    auto finish = [&lines](std::u16string line) {
        while (!line.empty() && line.back() == u' ') line.pop_back();
        lines.push_back(std::move(line));
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);

        std::u16string line;
        int cells = 0;
        bool wrapped = false;
        std::size_t breakAt = std::u16string::npos;  // the line may end before this index
        for (const CodePoint& point : DecodeUtf16(paragraph)) {
            const std::u16string_view unit =
                paragraph.substr(point.index, point.value > 0xFFFF ? 2 : 1);
            if (point.value == U' ') {
                if (cells == 0 && wrapped) continue;  // no space opens a wrapped line
                if (cells + 1 > width) {
                    finish(std::move(line));
                    line.clear();
                    cells = 0;
                    wrapped = true;
                    breakAt = std::u16string::npos;
                    continue;
                }
                line += u' ';
                ++cells;
                breakAt = line.size();
                continue;
            }
            const int w = CellWidth(point.value);
            if (cells + w > width && cells > 0) {
                if (breakAt != std::u16string::npos && breakAt > 0 && breakAt < line.size()) {
                    finish(line.substr(0, breakAt));
                    line.erase(0, breakAt);
                } else {
                    finish(std::move(line));
                    line.clear();
                }
                cells = TextCells(line);
                wrapped = true;
                breakAt = std::u16string::npos;
            }
            line += unit;
            cells += w;
            if (w == 2) breakAt = line.size();
        }
        finish(std::move(line));
        start = end + 1;
    }
    return lines;
}

Screen PaintScreen(const std::vector<WindowView>& topLevel, const ControlStateReader& read,
                   int columns, int rows) {
    Screen screen{Grid(columns, rows), std::nullopt, {}, false};
    Painter painter(read, screen);
    for (const WindowView& view : topLevel) painter.TopLevel(view);
    return screen;
}

POINT PixelOfCell(const std::vector<PlacedWindow>& windows, int column, int row) {
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (!Contains(window->cells, column, row)) continue;
        return POINT{window->origin.x + PixelInCell(column - window->originCell.x, kCellWidth),
                     window->origin.y + PixelInCell(row - window->originCell.y, kCellHeight)};
    }
    return POINT{PixelInCell(column, kCellWidth), PixelInCell(row, kCellHeight)};
}

HWND TaskBarEntryAt(const std::vector<PlacedWindow>& windows, int column, int row) {
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        if (Contains(window->cells, column, row))
            return window->minimized ? window->handle : nullptr;
    }
    return nullptr;
}

}  // namespace win32::terminal
