// SPDX-License-Identifier: MIT
// Bounds-checked little-endian reading of untrusted resource bytes. A read past the end
// fails and makes every later read fail too, so a parser checks ok() once at the end of
// a unit instead of after every field.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "resources/name_or_ordinal.h"

namespace win32::resources {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return ok_ ? bytes_.size() - offset_ : 0; }

    std::uint8_t U8() {
        auto b = Take(1);
        return b.empty() ? 0 : b[0];
    }
    std::uint16_t U16() {
        auto b = Take(2);
        return b.empty() ? 0 : static_cast<std::uint16_t>(b[0] | b[1] << 8);
    }
    std::uint32_t U32() {
        auto b = Take(4);
        return b.empty()
                   ? 0
                   : static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                         static_cast<std::uint32_t>(b[2]) << 16 |
                         static_cast<std::uint32_t>(b[3]) << 24;
    }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }

    std::span<const std::uint8_t> Bytes(std::size_t count) { return Take(count); }

    // A NUL-terminated UTF-16 string; the terminator is consumed, not returned.
    std::u16string String() {
        std::u16string text;
        while (ok_) {
            const std::uint16_t unit = U16();
            if (!ok_ || unit == 0) break;
            text.push_back(static_cast<char16_t>(unit));
        }
        return text;
    }

    // The sz_Or_Ord field of templates and .res headers: 0xFFFF then an ordinal, or a string
    // (an empty string meaning "none").
    NameOrOrdinal NameOrOrd() {
        if (remaining() >= 2 && bytes_[offset_] == 0xFF && bytes_[offset_ + 1] == 0xFF) {
            offset_ += 2;
            return NameOrOrdinal(U16());
        }
        return NameOrOrdinal(String());
    }

    // Skips to the next multiple of four from the start of the bytes. Running out of bytes
    // while aligning is not an error: the last record of a unit may lack its padding.
    void AlignTo4() {
        if (!ok_) return;
        offset_ = std::min(bytes_.size(), (offset_ + 3) & ~std::size_t{3});
    }

private:
    std::span<const std::uint8_t> Take(std::size_t count) {
        if (!ok_ || count > bytes_.size() - offset_) {
            ok_ = false;
            return {};
        }
        auto taken = bytes_.subspan(offset_, count);
        offset_ += count;
        return taken;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    bool ok_ = true;
};

}  // namespace win32::resources
