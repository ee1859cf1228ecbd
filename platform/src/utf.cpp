// SPDX-License-Identifier: MIT
#include "src/utf.h"

namespace win32 {

std::vector<CodePoint> DecodeUtf16(std::u16string_view text) {
    std::vector<CodePoint> points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const codepages::utf::Decoded decoded = codepages::utf::DecodeUtf16(text.substr(i));
        points.push_back({decoded.code, i});
        i += decoded.length;
    }
    return points;
}

}  // namespace win32
