// SPDX-License-Identifier: MIT
// The resource tests' image: tests/platform/resources_data/test.rc as windres compiled it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <span>
#include <vector>

#include "resources/name_or_ordinal.h"

std::span<const std::uint8_t> TestResources();

// A copy in a heap block of exactly its size, so that AddressSanitizer reports any read past
// the end.
inline std::vector<std::uint8_t> ExactCopy(std::span<const std::uint8_t> bytes) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

namespace win32::resources {

// Readable failure messages: #129, or the name with non-ASCII units as \uXXXX.
inline void PrintTo(const NameOrOrdinal& value, std::ostream* out) {
    if (value.IsOrdinal()) {
        *out << '#' << value.ordinal();
        return;
    }
    *out << '"';
    for (char16_t unit : value.name()) {
        if (unit >= 0x20 && unit < 0x7F) {
            *out << static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(unit));
            *out << escaped;
        }
    }
    *out << '"';
}

}  // namespace win32::resources
