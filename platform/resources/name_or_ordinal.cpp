// SPDX-License-Identifier: MIT
#include "resources/name_or_ordinal.h"

#include <algorithm>
#include <cstdint>

namespace win32::resources {

namespace {

char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c; }

}  // namespace

NameOrOrdinal NameOrOrdinal::FromWin32(const char16_t* name) {
    const auto value = reinterpret_cast<std::uintptr_t>(name);
    if (value <= 0xFFFF) {
        if (value == 0) return NameOrOrdinal();
        return NameOrOrdinal(static_cast<std::uint16_t>(value));
    }
    std::u16string text(name);
    if (text.size() > 1 && text[0] == u'#') {
        // "#258" is ordinal 258; digits only, and the value must fit an ordinal.
        std::uint32_t number = 0;
        const bool digits = std::all_of(text.begin() + 1, text.end(), [&](char16_t c) {
            if (c < u'0' || c > u'9' || number > 0xFFFF) return false;
            number = number * 10 + (c - u'0');
            return true;
        });
        if (digits && number <= 0xFFFF) return NameOrOrdinal(static_cast<std::uint16_t>(number));
    }
    return NameOrOrdinal(std::move(text));
}

bool NameOrOrdinal::Matches(const NameOrOrdinal& other) const {
    if (is_ordinal_ || other.is_ordinal_)
        return is_ordinal_ == other.is_ordinal_ && ordinal_ == other.ordinal_;
    return std::equal(name_.begin(), name_.end(), other.name_.begin(), other.name_.end(),
                      [](char16_t a, char16_t b) { return AsciiUpper(a) == AsciiUpper(b); });
}

}  // namespace win32::resources
