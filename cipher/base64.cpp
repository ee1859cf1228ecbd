// SPDX-License-Identifier: MIT
#include "cipher/base64.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace Molvan::System {

namespace {

constexpr std::array<char, 64> kAlphabet = {
    'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P',
    'Q', 'R', 'S', 'T', 'U', 'V', 'W', 'X', 'Y', 'Z', 'a', 'b', 'c', 'd', 'e', 'f',
    'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v',
    'w', 'x', 'y', 'z', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', '+', '/'};
constexpr char kPad = '=';
constexpr int kLineLength = 76;

// One entry per character code 0 to 122 ('z'); everything outside the alphabet is 0.
constexpr std::array<unsigned char, 123> kValues = [] {
    std::array<unsigned char, 123> values{};
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<unsigned char>(i);
    }
    return values;
}();

// Codes outside the table, negative ones included, decode as 0 like any other stranger.
std::uint32_t Value(int code) {
    return code >= 0 && code < static_cast<int>(kValues.size()) ? kValues[code] : 0;
}

// The same values for every byte, so that a lookup needs no range check.
constexpr std::array<unsigned char, 256> kByteValues = [] {
    std::array<unsigned char, 256> values{};
    for (std::size_t i = 0; i < kValues.size(); ++i) values[i] = kValues[i];
    return values;
}();

std::uint32_t ByteValue(char c) { return kByteValues[static_cast<unsigned char>(c)]; }

// The characters that the rules treat apart: a line break is skipped where a group would
// start, and "=" ends a group in its third or fourth place.
constexpr unsigned int kStartsNoGroup = 1, kEndsAGroup = 2;
constexpr std::array<unsigned char, 256> kFlags = [] {
    std::array<unsigned char, 256> flags{};
    flags['\r'] = flags['\n'] = kStartsNoGroup;
    flags[static_cast<unsigned char>(kPad)] = kEndsAGroup;
    return flags;
}();

unsigned int Flags(char c) { return kFlags[static_cast<unsigned char>(c)]; }

// The two characters of each 12-bit value, so that a group of three bytes takes two lookups.
constexpr std::array<std::array<char, 2>, 4096> kPairs = [] {
    std::array<std::array<char, 2>, 4096> pairs{};
    for (std::size_t i = 0; i < pairs.size(); ++i)
        pairs[i] = {kAlphabet[i >> 6], kAlphabet[i & 63]};
    return pairs;
}();

// Encode's text, with its line breaks or (kBreakLines false) without. One named result on every
// path, so that it is built in the caller's place.
template <bool kBreakLines>
std::string EncodeText(const unsigned char* data, int length) {
    const int full = length > 0 ? length / 3 : 0;
    const int rest = length > 0 ? length % 3 : 0;
    const std::size_t groups = static_cast<std::size_t>(full) + (rest != 0 ? 1 : 0);
    // A break follows every kGroupsPerLine full groups.
    constexpr int kGroupsPerLine = kLineLength / 4;
    const std::size_t breaks = kBreakLines ? static_cast<std::size_t>(full / kGroupsPerLine) : 0;
    std::string text(groups * 4 + breaks * 2, '\0');
    char* out = text.data();

    // Whole lines of kGroupsPerLine groups, each followed by a break, then the last groups.
    const unsigned char* in = data;
    const auto encodeGroups = [&in, &out](int groups) {
        for (const unsigned char* end = in + 3 * groups; in != end; in += 3, out += 4) {
            const std::uint32_t v = std::uint32_t{in[0]} << 16 | std::uint32_t{in[1]} << 8 | in[2];
            std::memcpy(out, kPairs[v >> 12].data(), 2);
            std::memcpy(out + 2, kPairs[v & 4095].data(), 2);
        }
    };
    int left = full;
    if constexpr (kBreakLines) {
        for (; left >= kGroupsPerLine; left -= kGroupsPerLine) {
            encodeGroups(kGroupsPerLine);
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    encodeGroups(left);
    // The tail neither counts towards the line nor breaks it.
    if (rest != 0) {
        const std::uint32_t v = std::uint32_t{in[0]} << 16 | (rest == 2 ? in[1] << 8 : 0);
        std::memcpy(out, kPairs[v >> 12].data(), 2);
        out[2] = rest == 2 ? kAlphabet[(v >> 6) & 63] : kPad;
        out[3] = kPad;
    }
    return text;
}

}  // namespace

std::string Base64::Encode(const unsigned char* data, int length) {
    return EncodeText<true>(data, length);
}

std::string Base64::EncodeUnbroken(const unsigned char* data, int length) {
    return EncodeText<false>(data, length);
}

namespace {

// The lenient decoding rules, handing each byte produced to put, which returns false to stop.
template <typename Put>
void DecodeEach(const char* text, int length, Put put) {
    // A group may run past the end: those places read as value 0, never as "=".
    auto at = [text, length](std::int64_t position) -> int {
        return position < length ? static_cast<signed char>(text[position]) : 0;
    };
    // The read position never runs ahead of i, so a group always starts inside the text.
    std::int64_t i = 0;
    std::int64_t position = 0;
    while (i < length) {
        const int c0 = at(position);
        // Line breaks are skipped only where a group would begin.
        if (c0 == '\r' || c0 == '\n') {
            ++position;
            ++i;
            continue;
        }
        i += 4;
        std::uint32_t v = Value(c0) << 18 | Value(at(position + 1)) << 12;
        if (!put(static_cast<unsigned char>((v >> 16) & 255))) return;
        // "=" ends the group in the third or fourth place and is not consumed.
        const int c2 = at(position + 2);
        if (c2 == kPad) {
            position += 2;
            continue;
        }
        v |= Value(c2) << 6;
        if (!put(static_cast<unsigned char>((v >> 8) & 255))) return;
        const int c3 = at(position + 3);
        if (c3 == kPad) {
            position += 3;
            continue;
        }
        v |= Value(c3);
        if (!put(static_cast<unsigned char>(v & 255))) return;
        position += 4;
    }
}

}  // namespace

std::string Base64::Decode(const char* text, int length, int& outCount) {
    std::string bytes;
    if (length <= 0) return bytes;
    bytes.reserve((static_cast<std::size_t>(length) + 3) / 4 * 3);
    DecodeEach(text, length, [&bytes](unsigned char byte) {
        bytes.push_back(static_cast<char>(byte));
        return true;
    });
    // The caller's count only grows; wrapping is the caller's concern, never undefined behaviour.
    outCount = static_cast<int>(static_cast<unsigned int>(outCount) +
                                static_cast<unsigned int>(bytes.size()));
    return bytes;
}

int Base64::DecodePrefix(const char* text, int length, unsigned char* out, int capacity) {
    int count = 0;
    if (capacity <= 0) return count;
    // Plain groups, which start with no line break and have no "=" in their last two places,
    // give three bytes each, one lookup a character; five at a time while all five are plain,
    // then one at a time. The general rules take over where a group is not plain.
    const auto special = [text](int at) {
        return (Flags(text[at]) & kStartsNoGroup) |
               ((Flags(text[at + 2]) | Flags(text[at + 3])) & kEndsAGroup);
    };
    const auto decodeGroup = [text, out](int at, int to) {
        const std::uint32_t v = ByteValue(text[at]) << 18 | ByteValue(text[at + 1]) << 12 |
                                ByteValue(text[at + 2]) << 6 | ByteValue(text[at + 3]);
        out[to] = static_cast<unsigned char>(v >> 16);
        out[to + 1] = static_cast<unsigned char>(v >> 8);
        out[to + 2] = static_cast<unsigned char>(v);
    };
    constexpr int kRun = 5;
    int read = 0;
    while (capacity - count >= 3 * kRun && length - read >= 4 * kRun) {
        unsigned int any = 0;
        for (int g = 0; g < kRun; ++g) any |= special(read + 4 * g);
        if (any != 0) break;
        for (int g = 0; g < kRun; ++g) decodeGroup(read + 4 * g, count + 3 * g);
        count += 3 * kRun;
        read += 4 * kRun;
    }
    while (capacity - count >= 3 && length - read >= 4 && special(read) == 0) {
        decodeGroup(read, count);
        count += 3;
        read += 4;
    }
    // The first byte of a group needs only its first two characters.
    if (capacity - count == 1 && length - read >= 2 && text[read] != '\r' && text[read] != '\n') {
        out[count] =
            static_cast<unsigned char>(ByteValue(text[read]) << 2 | ByteValue(text[read + 1]) >> 4);
        return capacity;
    }
    if (count == capacity) return count;
    text += read;
    length -= read;
    out += count;
    capacity -= count;
    int rest = 0;
    DecodeEach(text, length, [out, capacity, &rest](unsigned char byte) {
        out[rest++] = byte;
        return rest < capacity;
    });
    return count + rest;
}

}  // namespace Molvan::System
