// SPDX-License-Identifier: MIT
#include "cipher/base64.h"

#include <array>
#include <cstdint>

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

}  // namespace

std::string Base64::Encode(const unsigned char* data, int length) {
    if (length <= 0) return {};
    const int full = length / 3;
    const int rest = length % 3;
    const std::size_t groups = static_cast<std::size_t>(full) + (rest != 0 ? 1 : 0);
    // A break follows every kLineLength / 4 full groups.
    std::string text(groups * 4 + static_cast<std::size_t>(full / (kLineLength / 4)) * 2, '\0');
    char* out = text.data();

    int line = 0;
    for (int group = 0; group < full; ++group) {
        const unsigned int b0 = data[3 * group];
        const unsigned int b1 = data[3 * group + 1];
        const unsigned int b2 = data[3 * group + 2];
        *out++ = kAlphabet[b0 >> 2];
        *out++ = kAlphabet[((b0 << 4) | (b1 >> 4)) & 63];
        *out++ = kAlphabet[((b1 << 2) | (b2 >> 6)) & 63];
        *out++ = kAlphabet[b2 & 63];
        line += 4;
        if (line == kLineLength) {
            *out++ = '\r';
            *out++ = '\n';
            line = 0;
        }
    }
    // The tail neither counts towards the line nor breaks it.
    if (rest != 0) {
        const unsigned int b0 = data[3 * full];
        const unsigned int b1 = rest == 2 ? data[3 * full + 1] : 0;
        *out++ = kAlphabet[b0 >> 2];
        *out++ = kAlphabet[((b0 << 4) | (b1 >> 4)) & 63];
        *out++ = rest == 2 ? kAlphabet[(b1 << 2) & 63] : kPad;
        *out++ = kPad;
    }
    return text;
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
    DecodeEach(text, length, [out, capacity, &count](unsigned char byte) {
        out[count++] = byte;
        return count < capacity;
    });
    return count;
}

}  // namespace Molvan::System
