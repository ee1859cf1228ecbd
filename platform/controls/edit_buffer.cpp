// SPDX-License-Identifier: MIT
#include "controls/edit_buffer.h"

#include <algorithm>

namespace win32::controls {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string_view EditBuffer::SelectedText() const {
    return std::u16string_view(text_).substr(selectionStart(), selectionEnd() - selectionStart());
}

std::size_t EditBuffer::Clamp(std::size_t position) const {
    position = std::min(position, text_.size());
    // Never between the two halves of a surrogate pair.
    if (position > 0 && position < text_.size() && IsLowSurrogate(text_[position]) &&
        IsHighSurrogate(text_[position - 1]))
        --position;
    return position;
}

void EditBuffer::SetText(std::u16string_view text) {
    text_.assign(text);
    anchor_ = caret_ = 0;
    EmptyUndo();
}

void EditBuffer::Select(std::size_t anchor, std::size_t caret) {
    anchor_ = Clamp(anchor);
    caret_ = Clamp(caret);
}

void EditBuffer::MoveCaret(std::size_t position, bool extend) {
    caret_ = Clamp(position);
    if (!extend) anchor_ = caret_;
}

std::size_t EditBuffer::PreviousChar(std::size_t position) const {
    position = Clamp(position);
    if (position == 0) return 0;
    return Clamp(position - 1);
}

std::size_t EditBuffer::NextChar(std::size_t position) const {
    position = Clamp(position);
    if (position >= text_.size()) return text_.size();
    if (IsHighSurrogate(text_[position]) && position + 1 < text_.size() &&
        IsLowSurrogate(text_[position + 1]))
        return position + 2;
    return position + 1;
}

std::size_t EditBuffer::PreviousWord(std::size_t position) const {
    position = Clamp(position);
    while (position > 0 && IsBlank(text_[position - 1])) --position;
    while (position > 0 && !IsBlank(text_[position - 1])) --position;
    return position;
}

std::size_t EditBuffer::NextWord(std::size_t position) const {
    position = Clamp(position);
    while (position < text_.size() && !IsBlank(text_[position])) ++position;
    while (position < text_.size() && IsBlank(text_[position])) ++position;
    return position;
}

std::pair<std::size_t, std::size_t> EditBuffer::WordAt(std::size_t position) const {
    position = Clamp(position);
    std::size_t first = position;
    std::size_t last = position;
    const bool blank = position < text_.size() ? IsBlank(text_[position])
                                               : position > 0 && IsBlank(text_[position - 1]);
    while (first > 0 && IsBlank(text_[first - 1]) == blank) --first;
    while (last < text_.size() && IsBlank(text_[last]) == blank) ++last;
    return {first, last};
}

EditBuffer::Change EditBuffer::ReplaceSelection(
    std::u16string_view insertion, bool honorLimit,
    const std::function<bool(const std::u16string&)>& fits) {
    const std::size_t start = selectionStart();
    const std::size_t removed = selectionEnd() - start;
    Change change;

    auto cut = [&](std::size_t length) {
        // Never keep half of a surrogate pair.
        if (length > 0 && length < insertion.size() && IsHighSurrogate(insertion[length - 1]) &&
            IsLowSurrogate(insertion[length]))
            --length;
        insertion = insertion.substr(0, length);
        change.truncated = true;
    };
    if (honorLimit) {
        const std::size_t kept = text_.size() - removed;
        const std::size_t room = limit_ > kept ? limit_ - kept : 0;
        if (insertion.size() > room) cut(room);
    }
    auto withInsertion = [&](std::size_t length) {
        std::u16string result = text_;
        result.replace(start, removed, insertion.substr(0, length));
        return result;
    };
    if (fits && !insertion.empty() && !fits(withInsertion(insertion.size()))) {
        // The longest insertion that still fits; fitting only gets harder as it grows.
        std::size_t low = 0;
        std::size_t high = insertion.size() - 1;
        while (low < high) {
            const std::size_t middle = (low + high + 1) / 2;
            if (fits(withInsertion(middle)))
                low = middle;
            else
                high = middle - 1;
        }
        cut(low);
    }
    if (removed == 0 && insertion.empty()) return change;

    // An insertion right after the last one, replacing nothing, joins its undo step (a paste
    // and the typing after it go back together).
    const bool continues = removed == 0 && !insertion.empty() && undoInserted_ > 0 &&
                           start == undoPosition_ + undoInserted_;
    if (continues) {
        undoInserted_ += insertion.size();
    } else {
        undoPosition_ = start;
        undoInserted_ = insertion.size();
        undoDeleted_ = text_.substr(start, removed);
    }
    change.changed = true;
    text_.replace(start, removed, insertion);
    anchor_ = caret_ = start + insertion.size();
    return change;
}

bool EditBuffer::Undo() {
    const std::size_t position = std::min(undoPosition_, text_.size());
    const std::size_t inserted = std::min(undoInserted_, text_.size() - position);
    std::u16string removed = text_.substr(position, inserted);
    const bool changed = inserted > 0 || !undoDeleted_.empty();
    text_.replace(position, inserted, undoDeleted_);
    // The text put back is selected; undoing again takes it out once more.
    anchor_ = position;
    caret_ = position + undoDeleted_.size();
    undoInserted_ = undoDeleted_.size();
    undoDeleted_ = std::move(removed);
    return changed;
}

void EditBuffer::EmptyUndo() {
    undoInserted_ = 0;
    undoDeleted_.clear();
}

}  // namespace win32::controls
