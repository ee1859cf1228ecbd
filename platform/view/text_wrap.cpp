// SPDX-License-Identifier: MIT
#include <vector>

#include "src/utf.h"
#include "view/window_view.h"

namespace win32 {

namespace {

// Scripts written without spaces between words (UAX #14's ideographic class): a line may end
// after any of their characters.
bool IsIdeographic(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr Range kRanges[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
    };
    for (const Range& range : kRanges) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

}  // namespace

std::vector<std::u16string> WrapText(std::u16string_view text, int width,
                                     const std::function<int(std::u16string_view)>& measure) {
    std::vector<std::u16string> lines;
    if (width <= 0) return lines;
    auto finish = [&lines](std::u16string line) {
        while (!line.empty() && line.back() == u' ') line.pop_back();
        lines.push_back(std::move(line));
    };
    const int spaceWidth = measure(u" ");
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == u'\r') paragraph.remove_suffix(1);

        std::u16string line;
        int used = 0;
        bool wrapped = false;
        std::size_t breakAt = std::u16string::npos;  // the line may end before this index
        for (const CodePoint& point : DecodeUtf16(paragraph)) {
            if (point.value == U' ') {
                if (line.empty() && wrapped) continue;  // no space opens a wrapped line
                if (spaceWidth > width - used) {
                    finish(std::move(line));
                    line.clear();
                    used = 0;
                    wrapped = true;
                    breakAt = std::u16string::npos;
                    continue;
                }
                line += u' ';
                used += spaceWidth;
                breakAt = line.size();
                continue;
            }
            const std::u16string_view unit =
                paragraph.substr(point.index, point.value > 0xFFFF ? 2 : 1);
            const int unitWidth = measure(unit);
            if (unitWidth > width - used && !line.empty()) {
                if (breakAt != std::u16string::npos && breakAt > 0 && breakAt < line.size()) {
                    finish(line.substr(0, breakAt));
                    line.erase(0, breakAt);
                } else {
                    finish(std::move(line));
                    line.clear();
                }
                used = measure(line);
                wrapped = true;
                breakAt = std::u16string::npos;
            }
            line += unit;
            used += unitWidth;
            if (IsIdeographic(point.value)) breakAt = line.size();
        }
        finish(std::move(line));
        start = end + 1;
    }
    return lines;
}

}  // namespace win32
