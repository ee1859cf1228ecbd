// SPDX-License-Identifier: MIT
#include "src/utf.h"

#include <cstdint>

namespace win32 {

namespace {

void AppendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        auto byte = static_cast<std::uint8_t>(utf8[i]);
        int length = byte < 0x80                   ? 1
                     : byte >= 0xC2 && byte < 0xE0 ? 2
                     : byte >= 0xE0 && byte < 0xF0 ? 3
                     : byte >= 0xF0 && byte < 0xF5 ? 4
                                                   : 0;
        if (length == 0 || i + length > utf8.size()) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        char32_t code = length == 1 ? byte : byte & (0x7F >> length);
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            auto next = static_cast<std::uint8_t>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (!valid || code < kMinimum[length] || code > 0x10FFFF ||
            (code >= 0xD800 && code < 0xE000)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        AppendUtf16(out, code);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

std::vector<CodePoint> DecodeUtf16(std::u16string_view text) {
    std::vector<CodePoint> points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            points.push_back(
                {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[i + 1]} - 0xDC00),
                 i});
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            points.push_back({0xFFFD, i});
        } else {
            points.push_back({unit, i});
        }
    }
    return points;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    for (const CodePoint& point : DecodeUtf16(utf16)) AppendUtf8(out, point.value);
    return out;
}

}  // namespace win32
