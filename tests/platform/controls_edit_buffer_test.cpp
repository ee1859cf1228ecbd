// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "controls/edit_buffer.h"

namespace {

using win32::controls::EditBuffer;

EditBuffer With(std::u16string_view text, std::size_t anchor, std::size_t caret) {
    EditBuffer buffer;
    buffer.SetText(text);
    buffer.Select(anchor, caret);
    return buffer;
}

TEST(EditBuffer, CaretMovesByCharacterAndWord) {
    struct Case {
        const char* what;
        std::u16string text;
        std::size_t from;
        std::size_t (EditBuffer::*step)(std::size_t) const;
        std::size_t expected;
    };
    const std::u16string pair = u"a\U0001F600b";  // a, a surrogate pair, b
    const Case cases[] = {
        {"next char", u"abc", 1, &EditBuffer::NextChar, 2},
        {"next char at the end", u"abc", 3, &EditBuffer::NextChar, 3},
        {"previous char at the start", u"abc", 0, &EditBuffer::PreviousChar, 0},
        {"next over a surrogate pair", pair, 1, &EditBuffer::NextChar, 3},
        {"previous over a surrogate pair", pair, 3, &EditBuffer::PreviousChar, 1},
        {"next word from inside a word", u"one two  three", 1, &EditBuffer::NextWord, 4},
        {"next word from a space", u"one two  three", 7, &EditBuffer::NextWord, 9},
        {"next word from the last word", u"one two", 5, &EditBuffer::NextWord, 7},
        {"previous word from inside a word", u"one two", 6, &EditBuffer::PreviousWord, 4},
        {"previous word from a word start", u"one two", 4, &EditBuffer::PreviousWord, 0},
        {"previous word over spaces", u"one   two", 6, &EditBuffer::PreviousWord, 0},
        {"tabs separate words", u"a\tb", 0, &EditBuffer::NextWord, 2},
    };
    for (const Case& c : cases) {
        const EditBuffer buffer = With(c.text, 0, 0);
        EXPECT_EQ((buffer.*c.step)(c.from), c.expected) << c.what;
    }
}

TEST(EditBuffer, SelectionNeverSplitsASurrogatePair) {
    EditBuffer buffer = With(u"a\U0001F600b", 2, 2);
    EXPECT_EQ(buffer.caret(), 1u);
    buffer.Select(0, 99);
    EXPECT_EQ(buffer.caret(), 4u);
    EXPECT_EQ(buffer.SelectedText(), u"a\U0001F600b");
}

TEST(EditBuffer, ReplaceSelectionHonoursTheLimit) {
    struct Case {
        const char* what;
        std::u16string text;
        std::size_t anchor, caret, limit;
        std::u16string insertion;
        std::u16string expected;
        bool truncated;
    };
    const Case cases[] = {
        {"cut to the room left", u"abc", 3, 3, 5, u"defg", u"abcde", true},
        {"no room at all", u"abcde", 5, 5, 5, u"f", u"abcde", true},
        {"the selection goes even when nothing fits", u"abcde", 0, 2, 3, u"XYZW", u"cde", true},
        {"a limit below the text", u"abcdef", 6, 6, 3, u"g", u"abcdef", true},
        {"a pair is not cut in half", u"ab", 2, 2, 3, u"\U0001F600", u"ab", true},
    };
    for (const Case& c : cases) {
        EditBuffer buffer = With(c.text, c.anchor, c.caret);
        buffer.SetLimit(c.limit);
        const auto change = buffer.ReplaceSelection(c.insertion, true);
        EXPECT_EQ(buffer.text(), c.expected) << c.what;
        EXPECT_EQ(change.truncated, c.truncated) << c.what;
        EXPECT_EQ(change.changed, buffer.text() != c.text || c.anchor != c.caret) << c.what;
        EXPECT_FALSE(buffer.HasSelection()) << c.what;
    }

    // Without the limit (WM_SETTEXT-like callers) nothing is cut.
    EditBuffer buffer = With(u"abc", 3, 3);
    buffer.SetLimit(3);
    EXPECT_FALSE(buffer.ReplaceSelection(u"def", false).truncated);
    EXPECT_EQ(buffer.text(), u"abcdef");
}

// Insertions one after another form one undo step; an insertion elsewhere starts a new one.
// Undo selects the text it puts back, and undoing the undo redoes.
TEST(EditBuffer, UndoStepsAndSelection) {
    EditBuffer buffer = With(u"", 0, 0);
    for (char16_t c : std::u16string(u"abc")) buffer.ReplaceSelection({&c, 1}, true);
    buffer.MoveCaret(1, false);
    buffer.ReplaceSelection(u"Z", true);
    ASSERT_TRUE(buffer.Undo());
    EXPECT_EQ(buffer.text(), u"abc");
    buffer.Select(0, 1);
    buffer.ReplaceSelection(u"X", true);
    buffer.ReplaceSelection(u"Y", true);
    ASSERT_TRUE(buffer.Undo());
    EXPECT_EQ(buffer.text(), u"abc");
    EXPECT_EQ(buffer.SelectedText(), u"a");
    ASSERT_TRUE(buffer.Undo());
    EXPECT_EQ(buffer.text(), u"XYbc");
    EXPECT_EQ(buffer.SelectedText(), u"XY");
    buffer.EmptyUndo();
    EXPECT_FALSE(buffer.CanUndo());
    EXPECT_FALSE(buffer.Undo());
}

TEST(EditBuffer, WordAtAPosition) {
    const EditBuffer buffer = With(u"one  two", 0, 0);
    EXPECT_EQ(buffer.WordAt(1), std::make_pair(std::size_t{0}, std::size_t{3}));
    EXPECT_EQ(buffer.WordAt(3), std::make_pair(std::size_t{3}, std::size_t{5}));
    EXPECT_EQ(buffer.WordAt(8), std::make_pair(std::size_t{5}, std::size_t{8}));
}

}  // namespace
