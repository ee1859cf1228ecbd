// SPDX-License-Identifier: MIT
// Code page 936 as Windows has it maps every lead and trail pair that GBK leaves undefined to
// the private use area: three user-defined blocks by formula, then the remaining gaps one after
// another from U+E766, in the order listed here. glibc's GBK leaves all of them undefined.
#include <array>
#include <cstdint>
#include <optional>

#include "cipher/codepage_posix.h"

namespace Molvan::System::CodePage {

namespace {

struct PairRange {
    std::uint16_t first;
    std::uint16_t last;
};

constexpr std::array kGbkGaps = {
    PairRange{0xA2AB, 0xA2B0}, PairRange{0xA2E3, 0xA2E4}, PairRange{0xA2EF, 0xA2F0},
    PairRange{0xA2FD, 0xA2FE}, PairRange{0xA4F4, 0xA4FE}, PairRange{0xA5F7, 0xA5FE},
    PairRange{0xA6B9, 0xA6C0}, PairRange{0xA6D9, 0xA6DF}, PairRange{0xA6EC, 0xA6ED},
    PairRange{0xA6F3, 0xA6F3}, PairRange{0xA6F6, 0xA6FE}, PairRange{0xA7C2, 0xA7D0},
    PairRange{0xA7F2, 0xA7FE}, PairRange{0xA896, 0xA8A0}, PairRange{0xA8BC, 0xA8BC},
    PairRange{0xA8BF, 0xA8BF}, PairRange{0xA8C1, 0xA8C4}, PairRange{0xA8EA, 0xA8FE},
    PairRange{0xA958, 0xA958}, PairRange{0xA95B, 0xA95B}, PairRange{0xA95D, 0xA95F},
    PairRange{0xA989, 0xA995}, PairRange{0xA997, 0xA9A3}, PairRange{0xA9F0, 0xA9FE},
    PairRange{0xD7FA, 0xD7FE}, PairRange{0xFE50, 0xFE7E}, PairRange{0xFE80, 0xFEA0},
};

constexpr char16_t kUserBlock1 = 0xE000;  // AAA1..AFFE
constexpr char16_t kUserBlock2 = 0xE234;  // F8A1..FEFE
constexpr char16_t kUserBlock3 = 0xE4C6;  // A140..A7A0
constexpr char16_t kGapsStart = 0xE766;
constexpr int kTrailsHigh = 94;  // A1..FE
constexpr int kTrailsLow = 96;   // 40..7E, 80..A0

bool IsGbkTrail(unsigned int trail) { return trail >= 0x40 && trail <= 0xFE && trail != 0x7F; }

}  // namespace

std::optional<char16_t> Cp936PairToPrivateUse(unsigned int lead, unsigned int trail) {
    if (!IsGbkTrail(trail)) return std::nullopt;
    if (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) {
        return static_cast<char16_t>(kUserBlock1 + (lead - 0xAA) * kTrailsHigh + (trail - 0xA1));
    }
    if (lead >= 0xF8 && lead <= 0xFE && trail >= 0xA1) {
        return static_cast<char16_t>(kUserBlock2 + (lead - 0xF8) * kTrailsHigh + (trail - 0xA1));
    }
    if (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0) {
        const unsigned int index = trail < 0x7F ? trail - 0x40 : trail - 0x41;
        return static_cast<char16_t>(kUserBlock3 + (lead - 0xA1) * kTrailsLow + index);
    }
    const unsigned int pair = lead << 8 | trail;
    unsigned int offset = 0;
    for (const PairRange& gap : kGbkGaps) {
        if (pair >= gap.first && pair <= gap.last) {
            return static_cast<char16_t>(kGapsStart + offset + (pair - gap.first));
        }
        offset += gap.last - gap.first + 1;
    }
    return std::nullopt;
}

std::optional<std::uint16_t> Cp936PrivateUseToPair(char16_t unit) {
    if (unit >= kUserBlock1 && unit < kUserBlock2) {
        const unsigned int index = unit - kUserBlock1;
        return static_cast<std::uint16_t>((0xAA + index / kTrailsHigh) << 8 |
                                          (0xA1 + index % kTrailsHigh));
    }
    if (unit >= kUserBlock2 && unit < kUserBlock3) {
        const unsigned int index = unit - kUserBlock2;
        return static_cast<std::uint16_t>((0xF8 + index / kTrailsHigh) << 8 |
                                          (0xA1 + index % kTrailsHigh));
    }
    if (unit >= kUserBlock3 && unit < kGapsStart) {
        const unsigned int index = unit - kUserBlock3;
        const unsigned int column = index % kTrailsLow;
        const unsigned int trail = column < 0x3F ? 0x40 + column : 0x41 + column;
        return static_cast<std::uint16_t>((0xA1 + index / kTrailsLow) << 8 | trail);
    }
    unsigned int offset = kGapsStart;
    for (const PairRange& gap : kGbkGaps) {
        const unsigned int size = gap.last - gap.first + 1u;
        if (unit >= offset && unit < offset + size) {
            return static_cast<std::uint16_t>(gap.first + (unit - offset));
        }
        offset += size;
    }
    return std::nullopt;
}

}  // namespace Molvan::System::CodePage
