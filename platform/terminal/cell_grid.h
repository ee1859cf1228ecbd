// SPDX-License-Identifier: MIT
// A terminal screen as a grid of character cells: what the terminal display draws into before
// it hands the cells to the terminal, and what the tests read back. Wide (East Asian) characters
// take two cells; the second cell of such a pair is a tail that holds nothing of its own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "src/utf.h"

namespace win32::terminal {

// Cell attributes; the terminal layer maps them to video attributes.
enum Attribute : std::uint8_t {
    kPlain = 0,
    kBold = 1,
    kReverse = 2,
    kUnderline = 4,
    kDim = 8,
};

struct Cell {
    char32_t character = U' ';
    char32_t combining = 0;  // one combining mark shown over `character`, or 0
    std::uint8_t attributes = kPlain;
    bool tail = false;  // right half of a wide character
};

// Character handling for the width rules below: the locale's, in whatever encoding it has
// (UTF-8, ISO-8859-1, GBK, ...), as the terminal shows what the program writes in it; C and
// POSIX, which name no encoding, are taken as C.UTF-8.
void UseUtf8CharacterHandling();

// Where the locale's encoding is not UTF-8, the frames and arrows the painter draws are shown
// with the terminal's own line-drawing set (curses' alternate character set): the VT100 code
// of `c` in that set ('q' for a horizontal line), or 0 when `c` is shown as itself.
char LineDrawingCode(char32_t c);

// Columns a code point takes on the terminal (wcwidth in the current locale): 0 for combining
// marks, 2 for wide characters, 1 for the line-drawing set, 1 for controls and for what a
// UTF-8 locale cannot show (a replacement character), and in another encoding the columns of
// the replacement shown for a character it lacks (see ShownAs).
int CellWidth(char32_t c);
// The character shown for `c`: U+FFFD for controls and for what wcwidth does not know (in
// another encoding than UTF-8, see ShownAs).
char32_t Printable(char32_t c);
// What the terminal shows for `c`: `c` itself; in another encoding than UTF-8, "?" for U+FFFD
// and controls, and "U+52A0", its code point, for a character the encoding lacks, so that texts
// the terminal cannot show still differ where they differ.
std::u32string ShownAs(char32_t c);

// Columns the text takes.
int TextCells(std::u16string_view text);

class Grid {
public:
    Grid(int columns, int rows);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    const Cell& at(int column, int row) const;

    // Writes one character at (column, row), not past `limit` (exclusive); returns the column
    // after it. A wide character that does not fit before `limit` leaves a blank instead. A
    // combining mark joins the cell before `column`. Writing over half of a wide character
    // blanks the other half.
    int Put(int column, int row, char32_t c, std::uint8_t attributes, int limit);
    // Writes text from `column`, clipped to [column, limit); returns the column after it.
    int PutText(int column, int row, std::u16string_view text, std::uint8_t attributes, int limit);
    // Blanks the cells of the rectangle [left, right) x [top, bottom), clipped to the grid.
    void Fill(int left, int top, int right, int bottom, std::uint8_t attributes);
    // Adds attributes to the cells of the rectangle.
    void AddAttributes(int left, int top, int right, int bottom, std::uint8_t attributes);

    // A row as UTF-8 text, each wide character once (tails skipped).
    std::string RowText(int row) const;
    // All rows, each followed by a newline.
    std::string Text() const;

private:
    bool Inside(int column, int row) const;
    Cell& cell(int column, int row);
    void Clear(int column, int row);  // blanks a cell, and the other half of a wide pair

    int columns_;
    int rows_;
    std::vector<Cell> cells_;
};

}  // namespace win32::terminal
