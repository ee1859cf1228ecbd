// The headless display's text picture of the screen and its one-line-per-window description.
// Controls are read as any display reads them: through their messages.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "headless/headless_display.h"
#include "src/text_width.h"
#include "src/utf.h"

namespace win32::headless {

namespace {

bool IsClass(const WindowView& view, std::u16string_view name) {
    const std::u16string& actual = view.className;
    return std::equal(
        actual.begin(), actual.end(), name.begin(), name.end(), [](char16_t a, char16_t b) {
            auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
            return fold(a) == fold(b);
        });
}

// "&Save" shows as "Save"; "&&" as "&".
std::u16string WithoutPrefix(std::u16string_view text) {
    std::u16string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        shown.push_back(text[i]);
    }
    return shown;
}

struct EditState {
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    LRESULT caret = 0;
    LRESULT firstVisible = 0;
};

EditState ReadEdit(HWND edit) {
    EditState state;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&state.selectionStart),
                 reinterpret_cast<LPARAM>(&state.selectionEnd));
    state.caret = SendMessageW(edit, EM_GETCARETINDEX, 0, 0);
    state.firstVisible = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    return state;
}

// A grid of character cells over the monitors; a wide character fills its cell and marks the
// next one as taken.
class Canvas {
public:
    Canvas(RECT area, int cellWidth, int cellHeight)
        : area_(area), cellWidth_(cellWidth), cellHeight_(cellHeight) {
        int columns = std::max(0, (area.right - area.left + cellWidth - 1) / cellWidth);
        int rows = std::max(0, (area.bottom - area.top + cellHeight - 1) / cellHeight);
        cells_.assign(static_cast<std::size_t>(rows), std::u32string(columns, U' '));
    }

    int Column(LONG x) const { return FloorDivide(x - area_.left, cellWidth_); }
    int Row(LONG y) const { return FloorDivide(y - area_.top, cellHeight_); }

    struct Box {
        int top, left, bottom, right;
        int Width() const { return right - left + 1; }
    };
    // The cells a rectangle covers; nullopt-like empty box (right < left) for an empty one.
    Box Cells(const RECT& rect) const {
        if (rect.right <= rect.left || rect.bottom <= rect.top) return Box{0, 0, -1, -1};
        return Box{Row(rect.top), Column(rect.left), Row(rect.bottom - 1), Column(rect.right - 1)};
    }

    void Put(int row, int column, char32_t c) {
        if (row < 0 || column < 0 || row >= static_cast<int>(cells_.size()) ||
            column >= static_cast<int>(cells_[row].size())) {
            return;
        }
        cells_[row][column] = c;
    }

    // Writes text from `column` on, at most `cells` cells; returns the cells used.
    int Write(int row, int column, std::u16string_view text, int cells) {
        int used = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            char32_t c = text[i];
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
                c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
                ++i;
            }
            int width = IsWideCharacter(c) ? 2 : 1;
            if (used + width > cells) break;
            Put(row, column + used, c < 0x20 ? U'?' : c);
            if (width == 2) Put(row, column + used + 1, kTaken);
            used += width;
        }
        return used;
    }

    void Fill(const Box& box) {
        for (int row = box.top; row <= box.bottom; ++row) {
            for (int column = box.left; column <= box.right; ++column) Put(row, column, U' ');
        }
    }

    void Frame(const Box& box, char32_t horizontal) {
        for (int column = box.left; column <= box.right; ++column) {
            Put(box.top, column, horizontal);
            Put(box.bottom, column, horizontal);
        }
        for (int row = box.top; row <= box.bottom; ++row) {
            Put(row, box.left, U'|');
            Put(row, box.right, U'|');
        }
        Put(box.top, box.left, U'+');
        Put(box.top, box.right, U'+');
        Put(box.bottom, box.left, U'+');
        Put(box.bottom, box.right, U'+');
    }

    std::string ToString() const {
        std::string out;
        std::size_t lastNonEmpty = 0;
        std::vector<std::string> lines;
        for (const std::u32string& row : cells_) {
            std::u16string line;
            for (char32_t c : row) {
                if (c == kTaken) continue;
                if (c >= 0x10000) {
                    line.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                    line.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
                } else {
                    line.push_back(static_cast<char16_t>(c));
                }
            }
            while (!line.empty() && line.back() == u' ') line.pop_back();
            lines.push_back(Utf16ToUtf8(line));
            if (!lines.back().empty()) lastNonEmpty = lines.size();
        }
        for (std::size_t i = 0; i < lastNonEmpty; ++i) {
            out += lines[i];
            out += '\n';
        }
        return out;
    }

private:
    static constexpr char32_t kTaken = 0;

    static int FloorDivide(LONG value, int divisor) {
        return static_cast<int>(value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor));
    }

    RECT area_;
    int cellWidth_;
    int cellHeight_;
    std::vector<std::u32string> cells_;
};

void WriteCentred(Canvas& canvas, const Canvas::Box& box, std::u16string_view text) {
    int cells = TextCells(text);
    int start = box.left + std::max(0, (box.Width() - cells) / 2);
    canvas.Write((box.top + box.bottom) / 2, start, text, box.right - start + 1);
}

void DrawButton(Canvas& canvas, const WindowView& view, const Canvas::Box& box) {
    std::u16string label = WithoutPrefix(view.text);
    switch (view.style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            canvas.Frame(box, U'-');
            canvas.Write(box.top, box.left + 1, label, box.Width() - 2);
            return;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            bool radio = (view.style & BS_TYPEMASK) >= BS_RADIOBUTTON;
            bool checked = SendMessageW(view.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
            std::u16string mark =
                radio ? (checked ? u"(*) " : u"( ) ") : (checked ? u"[x] " : u"[ ] ");
            canvas.Write((box.top + box.bottom) / 2, box.left, mark + label, box.Width());
            return;
        }
        default: {
            // "[ OK ]", the default button "[[ OK ]]", a star before the focused one's text.
            bool isDefault = (view.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            std::u16string text = (view.focused ? u"*" : u"") + label;
            text = isDefault ? u"[[ " + text + u" ]]" : u"[ " + text + u" ]";
            WriteCentred(canvas, box, text);
            return;
        }
    }
}

void DrawStatic(Canvas& canvas, const WindowView& view, const Canvas::Box& box) {
    DWORD type = view.style & SS_TYPEMASK;
    if (type == SS_ICON) {
        if (SendMessageW(view.handle, STM_GETICON, 0, 0) != 0) {
            canvas.Write(box.top, box.left, u"[icon]", box.Width());
        }
        return;
    }
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
        type != SS_LEFTNOWORDWRAP) {
        return;
    }
    std::u16string text = (view.style & SS_NOPREFIX) ? view.text : WithoutPrefix(view.text);
    std::u16string_view rest = text;
    for (int row = box.top; row <= box.bottom && !rest.empty(); ++row) {
        int used = canvas.Write(row, box.left, rest, box.Width());
        // Advance past what fitted (count characters again by cells).
        std::size_t consumed = 0;
        for (int cells = 0; consumed < rest.size();) {
            int width = IsWideCharacter(rest[consumed]) ? 2 : 1;
            if (cells + width > used) break;
            cells += width;
            ++consumed;
        }
        if (consumed == 0) break;
        rest.remove_prefix(consumed);
        if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE) break;
    }
}

void DrawEdit(Canvas& canvas, const WindowView& view, const Canvas::Box& box) {
    const EditState state = ReadEdit(view.handle);
    std::u16string text = view.text;
    if (view.style & ES_PASSWORD) text.assign(text.size(), u'*');
    const bool showSelection =
        state.selectionStart != state.selectionEnd && (view.focused || (view.style & ES_NOHIDESEL));
    std::u16string shown;
    std::size_t first = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<LRESULT>(0, state.firstVisible)), text.size());
    for (std::size_t i = first; i <= text.size(); ++i) {
        if (showSelection && i == std::min(state.selectionStart, state.selectionEnd)) shown += u"«";
        if (showSelection && i == std::max(state.selectionStart, state.selectionEnd)) shown += u"»";
        if (!showSelection && view.focused && static_cast<LRESULT>(i) == state.caret) shown += u"|";
        if (i < text.size()) shown.push_back(text[i]);
    }
    int row = (box.top + box.bottom) / 2;
    if (view.style & WS_BORDER || view.exStyle & WS_EX_CLIENTEDGE) {
        canvas.Put(row, box.left, U'[');
        canvas.Put(row, box.right, U']');
        canvas.Write(row, box.left + 1, shown, box.Width() - 2);
    } else {
        canvas.Write(row, box.left, shown, box.Width());
    }
}

void DrawChild(Canvas& canvas, const WindowView& view) {
    Canvas::Box box = canvas.Cells(view.window);
    if (box.right < box.left) return;
    if (IsClass(view, u"Button")) {
        DrawButton(canvas, view, box);
    } else if (IsClass(view, u"Static")) {
        DrawStatic(canvas, view, box);
    } else if (IsClass(view, u"Edit")) {
        DrawEdit(canvas, view, box);
    } else {
        canvas.Frame(box, U'-');
        canvas.Write(box.top, box.left + 1, view.className, box.Width() - 2);
    }
    for (auto it = view.children.rbegin(); it != view.children.rend(); ++it) DrawChild(canvas, *it);
}

void DrawTopLevel(Canvas& canvas, const WindowView& view) {
    Canvas::Box box = canvas.Cells(view.window);
    if (box.right < box.left) return;
    canvas.Fill(box);
    canvas.Frame(box, view.active ? U'=' : U'-');
    if ((view.style & WS_CAPTION) == WS_CAPTION && box.bottom > box.top + 1) {
        std::u16string buttons;
        if (view.style & WS_SYSMENU) {
            buttons = (view.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) ? u"[_][X]" : u"[X]";
        }
        int buttonCells = static_cast<int>(buttons.size());
        canvas.Write(box.top + 1, box.left + 2, view.text, box.Width() - 4 - buttonCells);
        canvas.Write(box.top + 1, box.right - buttonCells, buttons, buttonCells);
    }
    for (auto it = view.children.rbegin(); it != view.children.rend(); ++it) DrawChild(canvas, *it);
}

std::string Quoted(std::u16string_view text) {
    std::string out = "\"";
    for (char c : Utf16ToUtf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + '"';
}

void Describe(const WindowView& view, int depth, bool topLevel, std::string& out) {
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    out += Utf16ToUtf8(view.className);
    if (!topLevel) {
        out += ' ';
        out += std::to_string(static_cast<int>(GetWindowLongPtrW(view.handle, GWLP_ID)));
    }
    out += ' ';
    out += Quoted(view.text);
    if (topLevel) {
        char geometry[96];
        std::snprintf(geometry, sizeof geometry, " at %ld,%ld size %ldx%ld",
                      static_cast<long>(view.window.left), static_cast<long>(view.window.top),
                      static_cast<long>(view.window.right - view.window.left),
                      static_cast<long>(view.window.bottom - view.window.top));
        out += geometry;
    }
    if (view.active) out += " active";
    if (view.style & WS_MINIMIZE) out += " minimized";
    if (!view.enabled) out += " disabled";
    if (view.focused) out += " focus";
    if (IsClass(view, u"Button")) {
        if ((view.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) out += " default";
        LRESULT state = SendMessageW(view.handle, BM_GETSTATE, 0, 0);
        if (state & BST_PUSHED) out += " pushed";
        if (state & BST_CHECKED) out += " checked";
    } else if (IsClass(view, u"Edit")) {
        EditState state = ReadEdit(view.handle);
        out += " sel=" + std::to_string(state.selectionStart) + "-" +
               std::to_string(state.selectionEnd) + " caret=" + std::to_string(state.caret);
    } else if (IsClass(view, u"Static") && (view.style & SS_TYPEMASK) == SS_ICON) {
        out += SendMessageW(view.handle, STM_GETICON, 0, 0) != 0 ? " icon" : " no-icon";
    }
    out += '\n';
    for (const WindowView& child : view.children) Describe(child, depth + 1, false, out);
}

}  // namespace

std::string DrawPicture(const std::vector<WindowView>& windows, const Options& options) {
    RECT area = options.monitors.front().monitor;
    for (const Monitor& monitor : options.monitors) {
        area.left = std::min(area.left, monitor.monitor.left);
        area.top = std::min(area.top, monitor.monitor.top);
        area.right = std::max(area.right, monitor.monitor.right);
        area.bottom = std::max(area.bottom, monitor.monitor.bottom);
    }
    Canvas canvas(area, options.charWidth, options.fontHeight);
    for (const WindowView& view : windows) DrawTopLevel(canvas, view);
    return canvas.ToString();
}

std::string DescribeWindows(const std::vector<WindowView>& windows) {
    std::string out;
    // Top of the z-order first.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) Describe(*it, 0, true, out);
    return out;
}

}  // namespace win32::headless
