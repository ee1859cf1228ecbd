// SPDX-License-Identifier: MIT
// UTF-8 <-> UTF-16 for the platform's own needs (command line, displays, scripts), and UTF-16
// decoded to code points. Malformed input becomes U+FFFD; nothing fails.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace win32 {

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Code points of UTF-16 text, with the UTF-16 index each starts at. A lone surrogate is U+FFFD.
struct CodePoint {
    char32_t value;
    std::size_t index;
};
std::vector<CodePoint> DecodeUtf16(std::u16string_view text);
void AppendUtf8(std::string& out, char32_t code);

}  // namespace win32
