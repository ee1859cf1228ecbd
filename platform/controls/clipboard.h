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
// Empty and closed, as at start.
void ResetClipboard();

}  // namespace win32::controls
