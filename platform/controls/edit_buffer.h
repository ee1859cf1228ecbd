// SPDX-License-Identifier: MIT
// EditBuffer: the text of a single-line edit control with its selection, and the editing done
// on them, apart from any window: caret movement by character and by word, replacing the
// selection within the text limit, and one level of undo (the text an edit last inserted and
// the text it replaced, which undo swaps back). Positions are UTF-16 indexes; the
// caret and the selection ends never split a surrogate pair.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace win32::controls {

class EditBuffer {
public:
    static constexpr std::size_t kDefaultLimit = 30000;

    const std::u16string& text() const { return text_; }
    // The selection runs between the anchor and the caret (its active end), either way round.
    std::size_t anchor() const { return anchor_; }
    std::size_t caret() const { return caret_; }
    std::size_t selectionStart() const { return std::min(anchor_, caret_); }
    std::size_t selectionEnd() const { return std::max(anchor_, caret_); }
    bool HasSelection() const { return anchor_ != caret_; }
    std::u16string_view SelectedText() const;

    std::size_t limit() const { return limit_; }
    void SetLimit(std::size_t limit) { limit_ = limit; }

    // Replaces the whole text, ignoring the limit; caret at the start, undo emptied.
    void SetText(std::u16string_view text);

    // Positions beyond the text mean its end.
    void Select(std::size_t anchor, std::size_t caret);
    // Moves the caret; `extend` keeps the anchor, otherwise the selection collapses there.
    void MoveCaret(std::size_t position, bool extend);

    std::size_t PreviousChar(std::size_t position) const;
    std::size_t NextChar(std::size_t position) const;
    // Word starts, words being runs of characters other than spaces and tabs.
    std::size_t PreviousWord(std::size_t position) const;
    std::size_t NextWord(std::size_t position) const;
    // The word around a position (for a double click): [first, second).
    std::pair<std::size_t, std::size_t> WordAt(std::size_t position) const;

    struct Change {
        bool changed = false;    // the text changed
        bool truncated = false;  // the insertion was cut by the limit or by `fits`
    };
    // Replaces the selection with `insertion`, leaving the caret after it. With `honorLimit`
    // the insertion is cut to what the limit leaves room for; `fits`, when given, may cut it
    // further (a control that cannot scroll checks its width). An insertion right after the
    // previous one that replaces nothing extends its undo step.
    Change ReplaceSelection(std::u16string_view insertion, bool honorLimit,
                            const std::function<bool(const std::u16string&)>& fits = {});

    bool CanUndo() const { return undoInserted_ > 0 || !undoDeleted_.empty(); }
    // Puts back the text the last step replaced, selected, and keeps what it took out as the
    // next step (so a second undo redoes). True when the text changed.
    bool Undo();
    void EmptyUndo();

private:
    std::size_t Clamp(std::size_t position) const;

    std::u16string text_;
    std::size_t anchor_ = 0;
    std::size_t caret_ = 0;
    std::size_t limit_ = kDefaultLimit;

    std::size_t undoPosition_ = 0;  // where the last step inserted
    std::size_t undoInserted_ = 0;  // how much it inserted
    std::u16string undoDeleted_;    // what it replaced
};

}  // namespace win32::controls
