// SPDX-License-Identifier: MIT
// The generated tables of the code pages (code_page_tables.cpp in the build folder, made by
// codepages/generator from the recording in codepages/recording).
#pragma once

#include <cstddef>
#include <cstdint>

namespace codepages::tables {

// Encoding: what a UTF-16 unit becomes. A value up to 0xFF is one byte; a larger one is a lead
// and a trail byte (value >> 8, value & 0xFF).
inline constexpr std::uint16_t kNoBytes = 0xFFFF;  // the page lacks the unit: default character
// Decoding: a lead byte takes the byte after it unless that is 0 (then the lead stands alone).
// The pair is one unit, from the lead's row where the second byte is in 40..FE, and the page's
// badPair unit for any other second byte.
inline constexpr std::uint16_t kNotLead = 0xFFFF;
inline constexpr unsigned int kFirstTrail = 0x40;
inline constexpr unsigned int kLastTrail = 0xFE;

using Block = std::uint16_t[256];
using Row = char16_t[kLastTrail - kFirstTrail + 1];

struct Page {
    unsigned int number;
    unsigned char maxCharSize;
    unsigned char defaultChar;
    unsigned char leadBytes[12];  // as GetCPInfo gives them
    char16_t badPair;
    // Null for UTF-8, which converts by rule.
    const char16_t* singles;            // [256]: each byte alone
    const std::uint16_t* encodeBlocks;  // [256]: the kEncodeBlocks entry for units high << 8..
    const std::uint16_t* decodeRows;    // [256]: the kDecodeRows entry of a lead, or kNotLead
};

extern const Block kEncodeBlocks[];
extern const Row kDecodeRows[];
extern const Page kPages[];
extern const std::size_t kPageCount;

}  // namespace codepages::tables
