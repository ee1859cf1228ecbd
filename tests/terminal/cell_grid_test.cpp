// SPDX-License-Identifier: MIT
#include "terminal/cell_grid.h"

#include <gtest/gtest.h>

#include "terminal/window_painter.h"
#include "utf8_locale.h"

namespace win32::terminal {
namespace {

TEST(CellWidth, NarrowWideCombiningAndUnprintable) {
    ASSERT_TRUE(kUtf8Locale);
    const struct {
        char32_t c;
        int width;
        char32_t shown;
    } cases[] = {
        {U'A', 1, U'A'},       {U'中', 2, U'中'},   {U'：', 2, U'：'},
        {0x1F511, 2, 0x1F511}, {0x0301, 0, 0x0301}, {U'\t', 1, 0xFFFD},
        {0x1B, 1, 0xFFFD},     {0x85, 1, 0xFFFD},   {0x10FFFF, 1, 0xFFFD},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CellWidth(c.c), c.width) << std::hex << static_cast<unsigned>(c.c);
        EXPECT_EQ(Printable(c.c), c.shown) << std::hex << static_cast<unsigned>(c.c);
    }
    EXPECT_EQ(TextCells(u"帐号：abc"), 9);
}

TEST(DecodeUtf16, PairsSurrogatesAndReplacesLoneOnes) {
    const std::u16string text =
        u"a\U0001F511b\xD800"
        u"c\xDC00";
    const auto points = DecodeUtf16(text);
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(points[1].value, char32_t{0x1F511});
    EXPECT_EQ(points[1].index, 1u);
    EXPECT_EQ(points[2].index, 3u);
    EXPECT_EQ(points[3].value, char32_t{0xFFFD});
    EXPECT_EQ(points[5].value, char32_t{0xFFFD});
}

TEST(Grid, WideCharactersTakeTwoCellsAndNeverSplit) {
    Grid grid(8, 1);
    EXPECT_EQ(grid.PutText(0, 0, u"a中b", kPlain, 8), 4);
    EXPECT_EQ(grid.RowText(0), "a中b    ");
    EXPECT_TRUE(grid.at(2, 0).tail);

    // Overwriting either half of a wide character blanks the other half.
    grid.Put(2, 0, U'x', kPlain, 8);
    EXPECT_EQ(grid.RowText(0), "a xb    ");
    grid.PutText(0, 0, u"中", kPlain, 8);
    grid.Put(0, 0, U'y', kPlain, 8);
    EXPECT_EQ(grid.RowText(0), "y xb    ");

    // A wide character that does not fit before the limit leaves a blank.
    Grid edge(4, 1);
    EXPECT_EQ(edge.PutText(0, 0, u"abc中", kUnderline, 4), 5);
    EXPECT_EQ(edge.RowText(0), "abc ");
    EXPECT_EQ(edge.at(3, 0).attributes, kUnderline);
    EXPECT_FALSE(edge.at(3, 0).tail);
}

TEST(Grid, CombiningMarksJoinTheCellBefore) {
    Grid grid(4, 1);
    grid.PutText(0, 0, u"e\u0301x", kPlain, 4);
    EXPECT_EQ(grid.RowText(0), "e\u0301x  ");
    EXPECT_EQ(grid.at(1, 0).character, U'x');
}

TEST(Grid, ClipsEverythingOutside) {
    Grid grid(3, 2);
    grid.PutText(-1, 0, u"中ab", kPlain, 3);
    grid.PutText(1, 5, u"zz", kPlain, 3);
    grid.Fill(-5, -5, 50, 1, kReverse);
    grid.AddAttributes(2, 1, 9, 9, kDim);
    EXPECT_EQ(grid.Text(), "   \n   \n");
    EXPECT_EQ(grid.at(0, 0).attributes, kReverse);
    EXPECT_EQ(grid.at(2, 1).attributes, kDim);
    EXPECT_EQ(grid.at(7, 7).character, U' ');
}

TEST(WrapText, BreaksAtSpacesAndAfterWideCharacters) {
    ASSERT_TRUE(kUtf8Locale);
    using Lines = std::vector<std::u16string>;
    const struct {
        std::u16string text;
        int width;
        Lines lines;
    } cases[] = {
        {u"credcipher Version 1.0", 18, {u"credcipher Version", u"1.0"}},
        {u"credcipher Version 1.0", 10, {u"credcipher", u"Version", u"1.0"}},
        {u"credcipher Version 1.0", 40, {u"credcipher Version 1.0"}},
        {u"abcdefgh", 3, {u"abc", u"def", u"gh"}},
        {u"帐号帐号", 5, {u"帐号", u"帐号"}},
        {u"ab 帐号", 4, {u"ab", u"帐号"}},
        {u"one\r\n  two", 10, {u"one", u"  two"}},
        {u"", 5, {u""}},
        {u"x", 0, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(WrapText(c.text, c.width), c.lines);
}

TEST(WithoutMnemonics, ShowsTheMarkedCharacterAndDoubledAmpersands) {
    EXPECT_EQ(WithoutMnemonics(u"&OK"), u"OK");
    EXPECT_EQ(WithoutMnemonics(u"Save && E&xit&"), u"Save & Exit&");  // a last "&" shows
    EXPECT_EQ(WithoutMnemonics(u"加密"), u"加密");
}

}  // namespace
}  // namespace win32::terminal
