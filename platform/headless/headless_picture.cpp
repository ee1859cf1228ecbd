// SPDX-License-Identifier: MIT
// The headless display's text picture of the screen, which is the terminal's cell painting of
// it, and its one-line-per-window description. Both read the account of what each window shows.
#include <cstdio>
#include <string>
#include <vector>

#include "headless/headless_display.h"
#include "src/utf.h"
#include "terminal/window_painter.h"

namespace win32::headless {

namespace {

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
        out += std::to_string(static_cast<int>(view.id));
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
    if (view.modal) out += " modal";
    if (view.minimized) out += " minimized";
    if (!view.enabled) out += " disabled";
    if (view.focused) out += " focus";
    if (view.isDefault) out += " default";
    if (view.pushed) out += " pushed";
    if (view.checked) out += " checked";
    if (view.kind == ViewKind::kEdit) {
        out += " sel=" + std::to_string(view.selectionLow) + "-" +
               std::to_string(view.selectionHigh) + " caret=" + std::to_string(view.caret);
    } else if (view.kind == ViewKind::kIcon) {
        out += view.icon != nullptr ? " icon" : " no-icon";
    }
    out += '\n';
    for (const WindowView& child : view.children) Describe(child, depth + 1, false, out);
}

}  // namespace

std::string DrawPicture(const std::vector<WindowView>& windows, const Options& options) {
    const RECT& primary = options.monitors.front().monitor;
    const int columns = (primary.right + options.charWidth - 1) / options.charWidth;
    const int rows = (primary.bottom + options.fontHeight - 1) / options.fontHeight;
    const terminal::Screen screen = terminal::PaintScreen(
        windows, columns, rows, terminal::CellSize{options.charWidth, options.fontHeight});
    // The rows without their trailing blanks, up to the last that shows anything.
    std::string picture;
    std::size_t shown = 0;
    for (int row = 0; row < screen.grid.rows(); ++row) {
        std::string line = screen.grid.RowText(row);
        line.erase(line.find_last_not_of(' ') + 1);
        picture += line;
        picture += '\n';
        if (!line.empty()) shown = picture.size();
    }
    picture.resize(shown);
    return picture;
}

std::string DescribeWindows(const std::vector<WindowView>& windows) {
    std::string out;
    // Top of the z-order first.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) Describe(*it, 0, true, out);
    return out;
}

}  // namespace win32::headless
