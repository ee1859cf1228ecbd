// SPDX-License-Identifier: MIT
// The services of the window system that controls use besides the Win32 API: the width of text
// in the display's dialog font, the bell, and the user's clipboard.
#pragma once

#include <optional>
#include <string_view>

namespace win32 {

// Width in pixels of `text` in the current display's dialog font (CJK wide characters count
// double); 0 without a display. For the edit control's caret, scrolling and click-to-caret.
int MeasureText(std::u16string_view text);

// The dialog font as an edit lays out its text: the height of a line, the average character
// width, and the margins Windows gives an edit for the font (WM_SETFONT, EC_USEFONTINFO): half
// the average width on each side; under an East Asian code page, how far the font's characters
// overhang their cells (none: the margins stay as they are).
struct EditMargins {
    int left;
    int right;
};
struct EditFont {
    int lineHeight;
    int averageWidth;
    std::optional<EditMargins> margins;
};
EditFont EditFontMetrics();

// MessageBeep: the display may ring its bell.
void Beep();

// Text a control copied or cut: the display may put it on the user's own clipboard too.
void PublishClipboardText(std::u16string_view text);
// Has the display fetch another program's text from the user's clipboard, which comes later as
// a paste into the focused control; false when the display has none to fetch.
bool RequestClipboardPaste();

// While the WM_PASTE that a display's paste became is handled: the text the display pasted
// (the user's clipboard or selection), which the control takes instead of its own clipboard's.
std::optional<std::u16string_view> TextBeingPasted();

}  // namespace win32
