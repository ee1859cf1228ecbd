// Character widths for displays that draw text in cells: wide (CJK) characters take two.
#pragma once

#include <string_view>

namespace win32 {

// East Asian wide and fullwidth characters.
bool IsWideCharacter(char32_t character);
// Cells the text takes: wide characters two, others one; a surrogate pair is one character.
int TextCells(std::u16string_view text);

}  // namespace win32
