// The two services of the window system that controls use besides the Win32 API: the width of
// text in the display's dialog font, and the bell.
#pragma once

#include <string_view>

namespace win32 {

// Width in pixels of `text` in the current display's dialog font (CJK wide characters count
// double); 0 without a display. For the edit control's caret, scrolling and click-to-caret.
int MeasureText(std::u16string_view text);

// MessageBeep: the display may ring its bell.
void Beep();

}  // namespace win32
