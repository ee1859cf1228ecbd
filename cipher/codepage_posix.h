// SPDX-License-Identifier: MIT
// The pieces behind the POSIX WideCharToMultiByte and MultiByteToWideChar: a bounded output
// that counts what a conversion produces, and the converters for UTF-8 and the ANSI pages.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace Molvan::System::CodePage {

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

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD. False when the output is full.
bool Utf16ToUtf8(std::span<const char16_t> text, Output<char>& out);

// UTF-8 to UTF-16; each maximal ill-formed subsequence (at least one byte) becomes one U+FFFD.
bool Utf8ToUtf16(std::span<const unsigned char> text, Output<char16_t>& out);

// An ANSI page to UTF-16, with Windows' mappings where glibc's tables lack them; bytes that the
// page does not define become the page's default character. False when the output is full or
// the page cannot be opened.
bool AnsiToUtf16(unsigned int page, std::span<const unsigned char> text, Output<char16_t>& out);

// UTF-16 to an ANSI page; each UTF-16 unit the page lacks becomes defaultChar, and usedDefault
// is then set. False when the output is full or the page cannot be opened.
bool Utf16ToAnsi(unsigned int page, std::span<const char16_t> text, Output<char>& out,
                 char defaultChar, bool& usedDefault);

// Code page 936's private use characters for the lead and trail pairs that GBK leaves
// undefined, both ways.
std::optional<char16_t> Cp936PairToPrivateUse(unsigned int lead, unsigned int trail);
std::optional<std::uint16_t> Cp936PrivateUseToPair(char16_t unit);

}  // namespace Molvan::System::CodePage
