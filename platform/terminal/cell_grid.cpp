// SPDX-License-Identifier: MIT
#include "terminal/cell_grid.h"

#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace win32::terminal {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

bool Utf8Locale() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr &&
           (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// A character the locale's encoding lacks, where that is not UTF-8.
bool NeedsReplacement(char32_t c) {
    if (Utf8Locale() || LineDrawingCode(c) != 0) return false;
    return IsControl(c) || wcwidth(static_cast<wchar_t>(c)) < 0;
}

}  // namespace

char LineDrawingCode(char32_t c) {
    static constexpr struct {
        char32_t glyph;
        char code;
    } kCodes[] = {{U'─', 'q'}, {U'│', 'x'}, {U'┌', 'l'}, {U'┐', 'k'}, {U'└', 'm'}, {U'┘', 'j'},
                  {U'═', 'q'}, {U'║', 'x'}, {U'╔', 'l'}, {U'╗', 'k'}, {U'╚', 'm'}, {U'╝', 'j'},
                  {U'◀', ','}, {U'▶', '+'}, {U'▲', '-'}, {U'▼', '.'}};
    if (c < 0x2500 || c > 0x25FF || Utf8Locale()) return 0;
    for (const auto& entry : kCodes) {
        if (entry.glyph == c) return entry.code;
    }
    return 0;
}

int CellWidth(char32_t c) {
    if (NeedsReplacement(c)) return static_cast<int>(ShownAs(c).size());
    if (IsControl(c) || LineDrawingCode(c) != 0) return 1;
    const int width = wcwidth(static_cast<wchar_t>(c));
    return width < 0 ? 1 : width;
}

char32_t Printable(char32_t c) {
    if (LineDrawingCode(c) != 0) return c;
    if (IsControl(c) || wcwidth(static_cast<wchar_t>(c)) < 0) return kReplacement;
    return c;
}

std::u32string ShownAs(char32_t c) {
    if (!NeedsReplacement(c)) return std::u32string(1, Printable(c));
    if (IsControl(c) || c == kReplacement) return U"?";
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return std::u32string(hex, hex + std::strlen(hex));
}

void UseUtf8CharacterHandling() {
    if (Utf8Locale()) return;
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype == nullptr || std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0)
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

int TextCells(std::u16string_view text) {
    int cells = 0;
    for (const CodePoint& point : DecodeUtf16(text)) cells += CellWidth(point.value);
    return cells;
}

Grid::Grid(int columns, int rows)
    : columns_(columns > 0 ? columns : 0),
      rows_(rows > 0 ? rows : 0),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_)) {}

bool Grid::Inside(int column, int row) const {
    return column >= 0 && column < columns_ && row >= 0 && row < rows_;
}

Cell& Grid::cell(int column, int row) {
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

const Cell& Grid::at(int column, int row) const {
    static const Cell kOutside;
    if (!Inside(column, row)) return kOutside;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                  static_cast<std::size_t>(column)];
}

void Grid::Clear(int column, int row) {
    Cell& target = cell(column, row);
    if (target.tail && column > 0) {
        Cell& head = cell(column - 1, row);
        head = Cell{U' ', 0, head.attributes, false};
    } else if (column + 1 < columns_ && cell(column + 1, row).tail) {
        Cell& tail = cell(column + 1, row);
        tail = Cell{U' ', 0, tail.attributes, false};
    }
    target = Cell{U' ', 0, target.attributes, false};
}

int Grid::Put(int column, int row, char32_t c, std::uint8_t attributes, int limit) {
    if (NeedsReplacement(c)) {
        for (char32_t shown : ShownAs(c)) column = Put(column, row, shown, attributes, limit);
        return column;
    }
    const int width = CellWidth(c);
    if (width == 0) {
        // A combining mark belongs to the character before it.
        int base = column - 1;
        if (Inside(base, row) && at(base, row).tail) --base;
        if (Inside(base, row) && base < limit && cell(base, row).combining == 0)
            cell(base, row).combining = c;
        return column;
    }
    if (limit > columns_) limit = columns_;
    if (column + width > limit) {
        for (int x = column; x < limit; ++x) {
            if (!Inside(x, row)) continue;
            Clear(x, row);
            cell(x, row).attributes = attributes;
        }
        return column + width;
    }
    for (int x = column; x < column + width; ++x) {
        if (Inside(x, row)) Clear(x, row);
    }
    if (Inside(column, row)) cell(column, row) = Cell{Printable(c), 0, attributes, false};
    if (width == 2 && Inside(column + 1, row)) {
        if (Inside(column, row)) {
            cell(column + 1, row) = Cell{U' ', 0, attributes, true};
        } else {
            cell(column + 1, row) = Cell{U' ', 0, attributes, false};
        }
    }
    return column + width;
}

int Grid::PutText(int column, int row, std::u16string_view text, std::uint8_t attributes,
                  int limit) {
    for (const CodePoint& point : DecodeUtf16(text)) {
        if (column >= limit) break;
        column = Put(column, row, point.value, attributes, limit);
    }
    return column;
}

void Grid::Fill(int left, int top, int right, int bottom, std::uint8_t attributes) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (!Inside(x, y)) continue;
            Clear(x, y);
            cell(x, y).attributes = attributes;
        }
    }
}

void Grid::AddAttributes(int left, int top, int right, int bottom, std::uint8_t attributes) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            if (Inside(x, y)) cell(x, y).attributes |= attributes;
        }
    }
}

std::string Grid::RowText(int row) const {
    std::string text;
    for (int x = 0; x < columns_; ++x) {
        const Cell& c = at(x, row);
        if (c.tail) continue;
        AppendUtf8(text, c.character);
        if (c.combining) AppendUtf8(text, c.combining);
    }
    return text;
}

std::string Grid::Text() const {
    std::string text;
    for (int y = 0; y < rows_; ++y) {
        text += RowText(y);
        text += '\n';
    }
    return text;
}

}  // namespace win32::terminal
