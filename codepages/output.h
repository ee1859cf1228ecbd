// SPDX-License-Identifier: MIT
// The pieces behind WideCharToMultiByte and MultiByteToWideChar: a bounded output that counts
// what a conversion produces, and the UTF-8 converters.
#pragma once

#include <climits>
#include <span>

namespace codepages {

// Where a conversion writes: a caller's buffer of a given capacity, or nowhere (a size query,
// which only counts). Never writes past the capacity; a size query fails past INT_MAX units.
template <typename Unit>
class Output {
public:
    Output(Unit* buffer, int capacity)
        : buffer_(buffer), limit_(buffer != nullptr ? capacity : INT_MAX) {}

    // Appends one unit; false once the output is full (the conversion then fails).
    bool Put(Unit unit) {
        if (count_ == limit_) {
            full_ = true;
            return false;
        }
        if (buffer_ != nullptr) buffer_[count_] = unit;
        ++count_;
        return true;
    }

    // What the Win32 functions return: the count, or 0 when the output did not fit.
    int Result() const { return full_ ? 0 : count_; }

private:
    Unit* buffer_;
    int limit_;
    int count_ = 0;
    bool full_ = false;
};

// UTF-16 to UTF-8 and back as codepages/utf.h converts. False when the output is full.
bool Utf16ToUtf8(std::span<const char16_t> text, Output<char>& out);

bool Utf8ToUtf16(std::span<const unsigned char> text, Output<char16_t>& out);

}  // namespace codepages
