// SPDX-License-Identifier: MIT
// The terminal's input decoder on arbitrary bytes: whatever comes before it, valid UTF-8 text
// comes out whole (an invalid byte never swallows what follows), and no byte becomes more than
// one character.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "terminal/input_decoder.h"

using win32::terminal::DecodeUtf8Input;

namespace {

// Valid text made of the fuzzer's bytes: each pair of bytes one code point, no surrogates.
std::string ValidText(const std::uint8_t* data, std::size_t size, std::u32string& points) {
    std::string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char32_t c = (char32_t{data[i]} << 9 | char32_t{data[i + 1]} << 1) % 0x110000;
        if (c >= 0xD800 && c < 0xE000) c -= 0x800;
        points += c;
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t split = data[0] % (size);  // the arbitrary part, then the valid text
    const std::string_view noise(reinterpret_cast<const char*>(data + 1), split);
    std::u32string points;
    const std::string valid = ValidText(data + 1 + split, size - 1 - split, points);
    const std::string input = std::string(noise) + valid;

    const std::u32string whole = DecodeUtf8Input(input);
    if (whole.size() < points.size() ||
        whole.compare(whole.size() - points.size(), points.size(), points) != 0) {
        std::abort();  // valid text after the noise was lost or changed
    }
    if (whole.size() > input.size()) std::abort();  // at most one character per byte

    return 0;
}
