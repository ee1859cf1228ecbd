// SPDX-License-Identifier: MIT
// The project's UTF-8 and UTF-16 codec (codepages/utf.h) for the platform, and UTF-16 decoded
// to code points with the index each starts at.
#pragma once

#include <vector>

#include "codepages/utf.h"

namespace win32 {

using codepages::utf::AppendUtf8;
using codepages::utf::Utf16ToUtf8;
using codepages::utf::Utf8ToUtf16;

// A lone surrogate is U+FFFD.
struct CodePoint {
    char32_t value;
    std::size_t index;
};
std::vector<CodePoint> DecodeUtf16(std::u16string_view text);

}  // namespace win32
