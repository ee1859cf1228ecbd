// SPDX-License-Identifier: MIT
#include <string>
#include <vector>

#include <windowsx.h>

#include "controls/clipboard.h"
#include "controls_test_support.h"
#include "src/message_queue.h"

namespace {

using win32::headless::kControl;
using win32::headless::kShift;

class EditTest : public ControlsTest {
protected:
    HWND CreateEdit(const char16_t* text = u"", DWORD style = ES_AUTOHSCROLL, int id = 100,
                    RECT at = {10, 10, 70, 30}) {
        HWND edit = Create(u"Edit", text, style, id, at);
        EXPECT_NE(edit, nullptr);
        return edit;
    }

    static std::pair<DWORD, DWORD> Selection(HWND edit) {
        DWORD start = 0xDEAD, end = 0xBEEF;
        const LRESULT packed = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                            reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(packed, MAKELRESULT(start, end));
        return {start, end};
    }
    static std::size_t Caret(HWND edit) {
        return static_cast<std::size_t>(SendMessageW(edit, EM_GETCARETINDEX, 0, 0));
    }
    static void Select(HWND edit, int anchor, int caret) {
        SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(anchor), caret);
    }
};

constexpr int kChangeCodes[] = {EN_UPDATE, EN_CHANGE};

TEST_F(EditTest, TypingReplacesTheSelectionAndNotifiesEachChange) {
    HWND edit = CreateEdit(u"hello world", ES_AUTOHSCROLL, 1001);
    EXPECT_TRUE(TakeNotifications().empty()) << "creation with text notifies nothing";
    SetFocus(edit);
    Select(edit, 0, 5);
    Type(u"你好");  // one character each
    EXPECT_EQ(TextOf(edit), u"你好 world");
    const std::vector<Notification> expected = {
        {1001, EN_SETFOCUS, edit}, {1001, EN_UPDATE, edit}, {1001, EN_CHANGE, edit},
        {1001, EN_UPDATE, edit},   {1001, EN_CHANGE, edit},
    };
    EXPECT_EQ(TakeNotifications(), expected);
    EXPECT_EQ(Caret(edit), 2u);
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditTest, CaretAndSelectionKeys) {
    struct Case {
        const char* what;
        int anchor, caret;  // before, by EM_SETSEL
        UINT key;
        unsigned modifiers;
        DWORD start, end;
        std::size_t caretAfter;
    };
    // "one two three": words start at 0, 4 and 8; 13 characters. Word steps in all their cases
    // are the edit buffer suite's.
    const Case cases[] = {
        {"End", 0, 0, VK_END, 0, 13, 13, 13},
        {"Home", 5, 5, VK_HOME, 0, 0, 0, 0},
        {"Left", 5, 5, VK_LEFT, 0, 4, 4, 4},
        {"Right", 5, 5, VK_RIGHT, 0, 6, 6, 6},
        {"Left at the start", 0, 0, VK_LEFT, 0, 0, 0, 0},
        {"Right at the end", 13, 13, VK_RIGHT, 0, 13, 13, 13},
        {"Up moves like Left", 5, 5, VK_UP, 0, 4, 4, 4},
        {"Down moves like Right", 5, 5, VK_DOWN, 0, 6, 6, 6},
        {"Left collapses a selection from its caret", 0, 13, VK_LEFT, 0, 12, 12, 12},
        {"Shift+End extends", 4, 4, VK_END, kShift, 4, 13, 13},
        {"Shift+Home extends backwards", 4, 4, VK_HOME, kShift, 0, 4, 0},
        {"Shift+Left shrinks from the caret", 4, 8, VK_LEFT, kShift, 4, 7, 7},
        {"Shift+Left passes the anchor", 4, 4, VK_LEFT, kShift, 3, 4, 3},
        {"Ctrl+Right to the next word", 0, 0, VK_RIGHT, kControl, 4, 4, 4},
        {"Ctrl+Left to the word start", 6, 6, VK_LEFT, kControl, 4, 4, 4},
        {"Ctrl+Shift+Left selects a word", 13, 13, VK_LEFT, kControl | kShift, 8, 13, 8},
    };
    HWND edit = CreateEdit(u"one two three");
    SetFocus(edit);
    for (const Case& c : cases) {
        Select(edit, c.anchor, c.caret);
        TakeNotifications();
        Press(c.key, c.modifiers);
        EXPECT_EQ(Selection(edit), std::make_pair(c.start, c.end)) << c.what;
        EXPECT_EQ(Caret(edit), c.caretAfter) << c.what;
        EXPECT_EQ(TextOf(edit), u"one two three") << c.what;
        EXPECT_TRUE(TakeNotifications().empty()) << c.what;
    }
}

TEST_F(EditTest, DeletionKeys) {
    struct Case {
        const char* what;
        int anchor, caret;
        UINT key;
        unsigned modifiers;
        std::u16string text;
        std::size_t caretAfter;
    };
    const Case cases[] = {
        {"Backspace", 3, 3, VK_BACK, 0, u"abdef", 2},
        {"Backspace at the start", 0, 0, VK_BACK, 0, u"abcdef", 0},
        {"Backspace deletes the selection", 2, 4, VK_BACK, 0, u"abef", 2},
        {"Delete", 3, 3, VK_DELETE, 0, u"abcef", 3},
        {"Delete at the end", 6, 6, VK_DELETE, 0, u"abcdef", 6},
        {"Delete deletes the selection", 4, 1, VK_DELETE, 0, u"aef", 1},
        {"Ctrl+Delete deletes to the end", 2, 2, VK_DELETE, kControl, u"ab", 2},
        {"Ctrl+Delete with a selection deletes it", 1, 2, VK_DELETE, kControl, u"acdef", 1},
    };
    HWND edit = CreateEdit();
    SetFocus(edit);
    for (const Case& c : cases) {
        SetWindowTextW(edit, u"abcdef");
        Select(edit, c.anchor, c.caret);
        TakeNotifications();
        Press(c.key, c.modifiers);
        EXPECT_EQ(TextOf(edit), c.text) << c.what;
        EXPECT_EQ(Caret(edit), c.caretAfter) << c.what;
        const bool changed = c.text != u"abcdef";
        EXPECT_EQ(TakeCodes(),
                  changed ? std::vector<int>(std::begin(kChangeCodes), std::end(kChangeCodes))
                          : std::vector<int>())
            << c.what;
    }
}

TEST_F(EditTest, TextLimitHoldsForTypingAndPastingButNotForSetText) {
    HWND edit = CreateEdit();
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageW(edit, EM_SETLIMITTEXT, 5, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 5);
    SetFocus(edit);
    TakeNotifications();

    Type(u"abcdefg");
    EXPECT_EQ(TextOf(edit), u"abcde");
    EXPECT_EQ(TakeCodes(),
              std::vector<int>({EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE,
                                EN_UPDATE, EN_CHANGE, EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_UPDATE,
                                EN_CHANGE, EN_MAXTEXT, EN_UPDATE, EN_CHANGE}))
        << "refused input still counts as a change";

    // Replacing a selection makes room.
    Select(edit, 0, 2);
    Type(u"XYZ");
    EXPECT_EQ(TextOf(edit), u"XYcde");

    // A paste is cut to the room left, and says so.
    win32::controls::SetClipboardText(u"1234");
    Select(edit, 4, 5);
    TakeNotifications();
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(TextOf(edit), u"XYcd1");
    EXPECT_EQ(TakeCodes(), std::vector<int>({EN_MAXTEXT, EN_UPDATE, EN_CHANGE}));

    EXPECT_TRUE(SetWindowTextW(edit, u"0123456789"));
    EXPECT_EQ(TextOf(edit), u"0123456789");

    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditTest, SetTextResetsTheCaretAndNotifies) {
    HWND edit = CreateEdit(u"old text");
    Select(edit, 2, 5);
    TakeNotifications();
    EXPECT_EQ(SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"new")), TRUE);
    EXPECT_EQ(TakeCodes(), std::vector<int>(std::begin(kChangeCodes), std::end(kChangeCodes)));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD{0}, DWORD{0}));
    EXPECT_FALSE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
}

TEST_F(EditTest, SetSelectionAnchorCaretAndMinusOne) {
    struct Case {
        int start, end;
        DWORD selStart, selEnd;
        std::size_t caret;
    };
    // "0123456789"; each case starts from the selection 2..5 with the caret at 5.
    const Case cases[] = {
        {3, 7, 3, 7, 7},     // start is the anchor, end the caret
        {7, 3, 3, 7, 3},     // either way round
        {0, -1, 0, 10, 10},  // all
        {-1, 0, 5, 5, 5},    // -1 drops the selection, the caret stays
        {4, 99, 4, 10, 10},  // beyond the text means its end
        {99, 1, 1, 10, 1},   //
        {6, 6, 6, 6, 6},     //
    };
    HWND edit = CreateEdit(u"0123456789");
    for (const Case& c : cases) {
        Select(edit, 2, 5);
        Select(edit, c.start, c.end);
        EXPECT_EQ(Selection(edit), std::make_pair(c.selStart, c.selEnd)) << c.start << "," << c.end;
        EXPECT_EQ(Caret(edit), c.caret) << c.start << "," << c.end;
    }
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(6, 6)) << "null pointers are fine";
}

TEST_F(EditTest, ClipboardKeysAndMessages) {
    HWND source = CreateEdit(u"copy me", ES_AUTOHSCROLL, 1);
    HWND target = CreateEdit(u"", ES_AUTOHSCROLL, 2, {10, 40, 200, 60});
    struct Step {
        const char* what;
        HWND edit;
        int anchor, caret;
        UINT key;
        unsigned modifiers;
        std::u16string sourceAfter, targetAfter;
    };
    const Step steps[] = {
        {"Ctrl+C copies", source, 0, 4, 'C', kControl, u"copy me", u""},
        {"Ctrl+V pastes", target, 0, 0, 'V', kControl, u"copy me", u"copy"},
        {"Shift+Insert pastes", target, 4, 4, VK_INSERT, kShift, u"copy me", u"copycopy"},
        {"Ctrl+X cuts", source, 4, 7, 'X', kControl, u"copy", u"copycopy"},
        {"Ctrl+V replaces a selection", target, 0, 4, 'V', kControl, u"copy", u" mecopy"},
        {"Ctrl+Insert copies", target, 3, 7, VK_INSERT, kControl, u"copy", u" mecopy"},
        {"Shift+Delete cuts", source, 0, 1, VK_DELETE, kShift, u"opy", u" mecopy"},
        {"the cut text is on the clipboard", source, 3, 3, 'V', kControl, u"opyc", u" mecopy"},
        {"Ctrl+A selects all", target, 1, 1, 'A', kControl, u"opyc", u" mecopy"},
    };
    for (const Step& s : steps) {
        SetFocus(s.edit);
        Select(s.edit, s.anchor, s.caret);
        Press(s.key, s.modifiers);
        EXPECT_EQ(TextOf(source), s.sourceAfter) << s.what;
        EXPECT_EQ(TextOf(target), s.targetAfter) << s.what;
    }
    EXPECT_EQ(Selection(target), std::make_pair(DWORD{0}, DWORD{7}));

    // Clear deletes without copying.
    Select(target, 0, 3);
    SendMessageW(target, WM_CLEAR, 0, 0);
    EXPECT_EQ(TextOf(target), u"copy");
    EXPECT_EQ(win32::controls::ClipboardText(), u"c");
}

TEST_F(EditTest, PasteKeepsTheFirstLineOfASingleLineEditAndAllOfAMultiLineOne) {
    struct Case {
        DWORD style;
        const char16_t* clip;
        const char16_t* expected;
    };
    constexpr DWORD kMultiLine = ES_AUTOHSCROLL | ES_MULTILINE;
    const Case cases[] = {
        {ES_AUTOHSCROLL, u"line one\r\nline two", u"[line one]"},
        {ES_AUTOHSCROLL, u"line one\nline two", u"[line one]"},
        {ES_AUTOHSCROLL, u"line one\rline two", u"[line one]"},
        {kMultiLine, u"line one\r\nline two", u"[line one\r\nline two]"},
        {kMultiLine, u"line one\nline two\n", u"[line one\nline two\n]"},
    };
    for (const Case& c : cases) {
        HWND edit = CreateEdit(u"[]", c.style);
        Select(edit, 1, 1);
        win32::controls::SetClipboardText(c.clip);
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(TextOf(edit), c.expected) << (c.style & ES_MULTILINE ? "multi-line" : "single");
        win32::controls::ClearClipboard();
        SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(TextOf(edit), c.expected) << "nothing to paste";
        DestroyWindow(edit);
    }
}

// A paste with the pointer (X11's middle button) goes into the edit under it, which takes the
// focus as a click gives it, and keeps its first line as any paste; over a read-only edit only
// the focus moves, and over a disabled edit or a button nothing happens.
TEST_F(EditTest, PointerPasteGoesIntoTheEditUnderIt) {
    HWND focused = CreateEdit(u"", ES_AUTOHSCROLL, 1);
    HWND other = CreateEdit(u"", ES_AUTOHSCROLL, 2, {10, 40, 70, 60});
    HWND readOnly = CreateEdit(u"fixed", ES_AUTOHSCROLL | ES_READONLY, 3, {10, 70, 70, 90});
    HWND disabled = CreateEdit(u"", ES_AUTOHSCROLL | WS_DISABLED, 4, {10, 100, 70, 120});
    HWND button = Create(u"Button", u"OK", BS_PUSHBUTTON, 5, {100, 10, 150, 30});
    const struct {
        const char* what;
        HWND under, focus;
        std::u16string texts;  // of the four edits, '|' between
    } cases[] = {
        {"another edit", other, other, u"|pasted|fixed|"},
        {"a read-only edit", readOnly, readOnly, u"||fixed|"},
        {"a disabled edit", disabled, focused, u"||fixed|"},
        {"a button", button, focused, u"||fixed|"},
    };
    for (const auto& c : cases) {
        SetWindowTextW(focused, u"");
        SetWindowTextW(other, u"");
        SetFocus(focused);
        RECT rect{};
        GetWindowRect(c.under, &rect);
        win32::SystemInputSink().PasteAt(
            POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, u"pasted\nmore");
        test::Pump();
        EXPECT_EQ(GetFocus(), c.focus) << c.what;
        EXPECT_EQ(TextOf(focused) + u"|" + TextOf(other) + u"|" + TextOf(readOnly) + u"|" +
                      TextOf(disabled),
                  c.texts)
            << c.what;
    }
}

TEST_F(EditTest, PasswordAndReadOnlyEditsGuardTheirText) {
    HWND password = CreateEdit(u"secret", ES_AUTOHSCROLL | ES_PASSWORD, 1);
    HWND readOnly = CreateEdit(u"fixed", ES_AUTOHSCROLL | ES_READONLY, 2, {10, 40, 200, 60});
    win32::controls::SetClipboardText(u"before");

    Select(password, 0, -1);
    SendMessageW(password, WM_COPY, 0, 0);
    SendMessageW(password, WM_CUT, 0, 0);
    EXPECT_EQ(win32::controls::ClipboardText(), u"before");
    EXPECT_EQ(TextOf(password), u"secret");

    SetFocus(readOnly);
    Select(readOnly, 0, -1);
    TakeNotifications();
    const int beeps = win32::headless::BeepCount();
    Type(u"x");
    Press(VK_BACK);
    Press(VK_DELETE);
    SendMessageW(readOnly, WM_PASTE, 0, 0);
    SendMessageW(readOnly, WM_CUT, 0, 0);
    SendMessageW(readOnly, WM_CLEAR, 0, 0);
    EXPECT_EQ(TextOf(readOnly), u"fixed");
    EXPECT_EQ(win32::headless::BeepCount(), beeps + 3);
    EXPECT_TRUE(TakeNotifications().empty());
    SendMessageW(readOnly, WM_COPY, 0, 0);  // copying is fine
    EXPECT_EQ(win32::controls::ClipboardText(), u"fixed");
}

// The caret and the scrolled-out text are measured in the mask the field shows: a fullwidth
// one takes two cells a character, as the display draws it.
TEST_F(EditTest, PasswordEditMeasuresItsOwnMaskCharacter) {
    const struct {
        char16_t mask;  // 0: the default
        int cells;      // of one character shown
    } cases[] = {{0, 1}, {u'#', 1}, {u'\uFF0A', 2}};
    for (const auto& c : cases) {
        // Ten cells wide; the text shown stays narrower.
        HWND edit = CreateEdit(u"abcdefghijkl", ES_AUTOHSCROLL | ES_PASSWORD, 1, {10, 10, 70, 30});
        if (c.mask != 0) SendMessageW(edit, EM_SETPASSWORDCHAR, c.mask, 0);
        const auto x = [edit](int index) {
            return GET_X_LPARAM(SendMessageW(edit, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
        };
        EXPECT_EQ(x(3) - x(0), 3 * c.cells * 6) << "mask " << int{c.mask};
        SetFocus(edit);
        Press(VK_END);
        POINT caret{};
        GetCaretPos(&caret);
        // Scrolled so that the caret stays inside: the text from the first visible character to
        // the end fits, and one more does not.
        const int first = static_cast<int>(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_EQ(first, c.cells == 1 ? 3 : 8) << "mask " << int{c.mask};
        EXPECT_EQ(caret.x, x(first) + (12 - first) * c.cells * 6) << "mask " << int{c.mask};
        DestroyWindow(edit);
    }
}

TEST_F(EditTest, UndoAndRedo) {
    HWND edit = CreateEdit();
    SetFocus(edit);
    Type(u"abc");
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    TakeNotifications();
    Press('Z', kControl);
    EXPECT_EQ(TextOf(edit), u"");
    EXPECT_EQ(TakeCodes(), std::vector<int>({EN_UPDATE, EN_CHANGE, EN_CHANGE}));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(TextOf(edit), u"abc");
    Press(VK_BACK, win32::headless::kAlt);  // Alt+Backspace undoes too
    EXPECT_EQ(TextOf(edit), u"");
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0)) << "always TRUE for a single line";
    EXPECT_EQ(TextOf(edit), u"");
    // EM_REPLACESEL keeps an undo step only when asked to.
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"XYZ"));
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u""));
    EXPECT_FALSE(SendMessageW(edit, EM_CANUNDO, 0, 0));
}

TEST_F(EditTest, ScrollsToKeepTheCaretVisible) {
    // 60 pixels: ten cells, the last of them kept for the caret after the text.
    HWND edit = CreateEdit(u"", ES_AUTOHSCROLL, 1, {10, 10, 70, 30});
    SetFocus(edit);
    Type(u"abcdefghijklmno");
    EXPECT_EQ(TextOf(edit), u"abcdefghijklmno");
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 6);
    POINT caret{};
    EXPECT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 9 * 6) << "the system caret is after the nine characters shown";
    Press(VK_HOME);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 0);
    Press(VK_END);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 6);
    // Deleting at the end brings hidden text back into view.
    Press(VK_BACK);
    Press(VK_BACK);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
    SetWindowTextW(edit, u"short");
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditTest, OwnsTheThreadsCaretWhileFocused) {
    HWND edit = CreateEdit(u"abc");
    HWND other = CreateEdit(u"", ES_AUTOHSCROLL, 101, {10, 40, 70, 60});
    POINT caret{};
    EXPECT_FALSE(GetCaretPos(&caret)) << "no caret before the focus";
    SetFocus(edit);
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, 0);
    SetFocus(other);
    EXPECT_TRUE(HideCaret(other)) << "the focused edit owns it";
    SetFocus(parent);
    EXPECT_FALSE(GetCaretPos(&caret)) << "gone with the focus";
    // Losing the focus takes only the edit's own caret.
    SetFocus(edit);
    ASSERT_TRUE(CreateCaret(parent, nullptr, 1, 1));
    SetFocus(parent);
    EXPECT_TRUE(HideCaret(parent));
}

int CALLBACK TwoOnOrToTheStart(LPWSTR text, int current, int, int action) {
    text[0] = u'X';  // the edit's own text stays as it is
    return action == WB_RIGHT ? current + 2 : -1;
}

TEST_F(EditTest, ControlArrowsAskTheWordBreakProcedure) {
    HWND edit = CreateEdit(u"one two three");
    SetFocus(edit);
    EXPECT_EQ(
        SendMessageW(edit, EM_SETWORDBREAKPROC, 0, reinterpret_cast<LPARAM>(&TwoOnOrToTheStart)),
        TRUE);
    EXPECT_EQ(SendMessageW(edit, EM_GETWORDBREAKPROC, 0, 0),
              reinterpret_cast<LRESULT>(&TwoOnOrToTheStart));
    Select(edit, 5, 5);
    Press(VK_RIGHT, kControl);
    EXPECT_EQ(Caret(edit), 7u);
    Press(VK_LEFT, kControl);
    EXPECT_EQ(Caret(edit), 0u) << "an answer before the text means its start";
    EXPECT_EQ(TextOf(edit), u"one two three");
    SendMessageW(edit, EM_SETWORDBREAKPROC, 0, 0);
    Press(VK_RIGHT, kControl);
    EXPECT_EQ(Caret(edit), 4u) << "the edit's own word breaks again";
}

TEST_F(EditTest, WithoutAutoScrollInputStopsAtTheRightEdge) {
    HWND edit = CreateEdit(u"", 0, 1, {10, 10, 70, 30});
    SetFocus(edit);
    TakeNotifications();
    Type(u"abcdefghijk");
    EXPECT_EQ(TextOf(edit), u"abcdefghi");
    const auto codes = TakeCodes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_MAXTEXT), 2);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditTest, ClickPlacesTheCaretAtTheNearestBoundary) {
    HWND edit = CreateEdit(u"abcdefgh", ES_AUTOHSCROLL, 1, {10, 10, 70, 30});
    struct Case {
        int x;  // client x
        std::size_t caret;
    };
    // No two clicks in a row land within the double-click distance.
    for (const Case& c : {Case{0, 0}, Case{20, 3}, Case{2, 0}, Case{59, 8}, Case{3, 1}}) {
        Click({10 + c.x, 15});
        EXPECT_EQ(GetFocus(), edit);
        EXPECT_EQ(Caret(edit), c.caret) << "x " << c.x;
        EXPECT_EQ(Selection(edit), std::make_pair(DWORD(c.caret), DWORD(c.caret)));
    }
}

TEST_F(EditTest, ControlCharactersAreNotText) {
    HWND edit = CreateEdit(u"ab");
    SetFocus(edit);
    Select(edit, 2, 2);
    TakeNotifications();
    for (WPARAM c : {WPARAM{'\r'}, WPARAM{'\n'}, WPARAM{'\t'}, WPARAM{0x1B}, WPARAM{0x7F}})
        SendMessageW(edit, WM_CHAR, c, 0);
    EXPECT_EQ(TextOf(edit), u"ab");
    EXPECT_TRUE(TakeNotifications().empty());
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0),
              DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
}

// The parent may destroy the edit while it is told about a change; the edit must not touch
// its state afterwards (AddressSanitizer watches).
TEST_F(EditTest, ParentMayDestroyTheEditInANotification) {
    for (int code : {EN_UPDATE, EN_CHANGE, EN_MAXTEXT, EN_SETFOCUS}) {
        HWND edit = CreateEdit();
        SendMessageW(edit, EM_SETLIMITTEXT, 1, 0);
        onCommand() = [code](const Notification& n) {
            if (n.code == code) DestroyWindow(n.from);
        };
        SetFocus(edit);
        if (IsWindow(edit)) Type(u"xy");
        EXPECT_FALSE(IsWindow(edit)) << code;
        onCommand() = nullptr;
        TakeNotifications();
        win32::headless::ClearScript();
    }
}

// A multi-line edit's text lives in the block EM_GETHANDLE gives: the program's writes are the
// text, and a longer text grows the block under the same handle.
TEST_F(EditTest, TextHandleIsTheTextBothWays) {
    EXPECT_EQ(SendMessageW(CreateEdit(u"one"), EM_GETHANDLE, 0, 0), 0) << "single-line";
    HWND edit = CreateEdit(u"abc", ES_MULTILINE);
    auto handle = reinterpret_cast<HLOCAL>(SendMessageW(edit, EM_GETHANDLE, 0, 0));
    ASSERT_NE(handle, nullptr);
    auto* text = static_cast<char16_t*>(LocalLock(handle));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text), u"abc");
    text[0] = u'X';
    LocalUnlock(handle);
    EXPECT_EQ(test::TextOf(edit), u"Xbc");

    SetWindowTextW(edit, u"a longer text");
    EXPECT_EQ(SendMessageW(edit, EM_GETHANDLE, 0, 0), reinterpret_cast<LRESULT>(handle));
    EXPECT_EQ(std::u16string(static_cast<char16_t*>(LocalLock(handle))), u"a longer text");
    LocalUnlock(handle);
}

}  // namespace
