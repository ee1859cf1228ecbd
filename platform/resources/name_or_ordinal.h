// SPDX-License-Identifier: MIT
// NameOrOrdinal: how resources name things (resource types and names, window classes and
// control texts in dialog templates): either a 16-bit ordinal or a UTF-16 string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace win32::resources {

class NameOrOrdinal {
public:
    // The empty name, which templates use for "none".
    NameOrOrdinal() = default;
    NameOrOrdinal(std::uint16_t ordinal) : ordinal_(ordinal), is_ordinal_(true) {}
    NameOrOrdinal(std::u16string name) : name_(std::move(name)) {}

    // Reads a Win32 resource-name argument: MAKEINTRESOURCE(n) (a pointer value below
    // 0x10000), "#n" (decimal ordinal n, as FindResource accepts it) or a name.
    // A null pointer is the empty name.
    static NameOrOrdinal FromWin32(const char16_t* name);

    bool IsOrdinal() const { return is_ordinal_; }
    bool IsNone() const { return !is_ordinal_ && name_.empty(); }
    std::uint16_t ordinal() const { return ordinal_; }
    const std::u16string& name() const { return name_; }

    // Resource lookup equality: ordinals by value, names without regard to ASCII case
    // (resource compilers store names upper-cased).
    bool Matches(const NameOrOrdinal& other) const;

    friend bool operator==(const NameOrOrdinal&, const NameOrOrdinal&) = default;

private:
    std::u16string name_;
    std::uint16_t ordinal_ = 0;
    bool is_ordinal_ = false;
};

}  // namespace win32::resources
