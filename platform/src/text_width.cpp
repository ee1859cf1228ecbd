#include "src/text_width.h"

namespace win32 {

bool IsWideCharacter(char32_t c) {
    struct Range {
        char32_t first, last;
    };
    static constexpr Range kWide[] = {
        {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF}, {0x3400, 0x4DBF},
        {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
        {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
    };
    for (const Range& range : kWide) {
        if (c >= range.first && c <= range.last) return true;
    }
    return false;
}

int TextCells(std::u16string_view text) {
    int cells = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        cells += IsWideCharacter(c) ? 2 : 1;
    }
    return cells;
}

}  // namespace win32
