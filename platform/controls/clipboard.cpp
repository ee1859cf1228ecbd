// SPDX-License-Identifier: MIT
#include "controls/clipboard.h"

#include "src/window_system.h"

namespace win32::controls {

namespace {

std::optional<std::u16string>& Clipboard() {
    static std::optional<std::u16string> text;
    return text;
}

}  // namespace

void SetClipboardText(std::u16string text) {
    PublishClipboardText(text);
    Clipboard() = std::move(text);
}

std::optional<std::u16string> ClipboardText() { return Clipboard(); }

void ClearClipboard() { Clipboard().reset(); }

}  // namespace win32::controls
