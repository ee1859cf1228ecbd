// SPDX-License-Identifier: MIT
// The in-process clipboard that edit controls cut, copy and paste through, and that the
// clipboard API (OpenClipboard, SetClipboardData, ...) reaches. It holds text only and lives as
// long as the process; what is copied is also offered to the display, which may put it on the
// user's clipboard, but pasting always comes from here.
#pragma once

#include <optional>
#include <string>

namespace win32::controls {

void SetClipboardText(std::u16string text);
// nullopt when nothing was ever copied (or after ClearClipboard).
std::optional<std::u16string> ClipboardText();
void ClearClipboard();
// Another program took the user's clipboard: what was copied here is no longer what a paste
// should give. Kept while the clipboard is open, since a program may still hold its blocks.
void ClipboardTakenElsewhere();
// Whether another program's copy on the user's clipboard is text, as the display says.
void SetTextElsewhere(bool offered);
// There is text to paste: copied here, or by another program.
bool ClipboardHoldsText();
// With nothing copied here, another program's text is asked of the display; it comes later as
// the display's paste. False when there is none.
bool PasteFromElsewhere();
// Empty and closed, as at start.
void ResetClipboard();

}  // namespace win32::controls
