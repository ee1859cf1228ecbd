// SPDX-License-Identifier: MIT
#include "controls/clipboard.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "src/window_system.h"

namespace win32::controls {

namespace {

struct Clipboard {
    std::optional<std::u16string> text;
    bool textElsewhere = false;  // another program's copy on the user's clipboard is text
    bool open = false;
    HWND openedBy = nullptr;
    // What SetClipboardData was given, or GetClipboardData made, for the text as it is now; the
    // clipboard owns these blocks and frees them when the text changes.
    std::map<UINT, HGLOBAL> blocks;
};

Clipboard& TheClipboard() {
    static auto* clipboard = new Clipboard;
    return *clipboard;
}

void FreeBlocks(Clipboard& clipboard) {
    for (const auto& [format, block] : clipboard.blocks) GlobalFree(block);
    clipboard.blocks.clear();
}

bool IsTextFormat(UINT format) { return format == CF_UNICODETEXT || format == CF_TEXT; }

// The text of a block, up to its terminator or its end.
std::u16string TextOfBlock(UINT format, HGLOBAL block) {
    const auto* bytes = static_cast<const char*>(GlobalLock(block));
    if (bytes == nullptr) return {};
    const std::size_t size = GlobalSize(block);
    std::u16string text;
    if (format == CF_UNICODETEXT) {
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            char16_t unit;
            std::memcpy(&unit, bytes + i, sizeof unit);
            if (unit == 0) break;
            text.push_back(unit);
        }
    } else {
        const int length = static_cast<int>(strnlen(bytes, size));
        text.resize(static_cast<std::size_t>(length));
        text.resize(static_cast<std::size_t>(
            MultiByteToWideChar(CP_ACP, 0, bytes, length, text.data(), length)));
    }
    GlobalUnlock(block);
    return text;
}

HGLOBAL BlockOfText(UINT format, const std::u16string& text) {
    const int length = static_cast<int>(text.size());
    HGLOBAL block;
    if (format == CF_UNICODETEXT) {
        block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(char16_t));
        std::memcpy(GlobalLock(block), text.c_str(), (text.size() + 1) * sizeof(char16_t));
    } else {
        const int bytes =
            WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
        block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(bytes) + 1);
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, static_cast<char*>(GlobalLock(block)),
                            bytes, nullptr, nullptr);
    }
    GlobalUnlock(block);
    return block;
}

bool CheckOpen() {
    if (TheClipboard().open) return true;
    SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
    return false;
}

}  // namespace

void SetClipboardText(std::u16string text) {
    PublishClipboardText(text);
    Clipboard& clipboard = TheClipboard();
    FreeBlocks(clipboard);
    clipboard.text = std::move(text);
}

std::optional<std::u16string> ClipboardText() { return TheClipboard().text; }

void ClearClipboard() {
    FreeBlocks(TheClipboard());
    TheClipboard().text.reset();
}

void ClipboardTakenElsewhere() {
    if (!TheClipboard().open) ClearClipboard();
}

void SetTextElsewhere(bool offered) { TheClipboard().textElsewhere = offered; }

bool ClipboardHoldsText() {
    const Clipboard& clipboard = TheClipboard();
    return clipboard.text ? !clipboard.text->empty() : clipboard.textElsewhere;
}

bool PasteFromElsewhere() {
    const Clipboard& clipboard = TheClipboard();
    return !clipboard.text && clipboard.textElsewhere && RequestClipboardPaste();
}

void ResetClipboard() {
    FreeBlocks(TheClipboard());
    TheClipboard() = Clipboard{};
}

}  // namespace win32::controls

// The clipboard API holds text only: CF_UNICODETEXT, and CF_TEXT made from it in the ANSI code
// page (and the other way round). One thread opens it at a time.
BOOL WINAPI OpenClipboard(HWND hWndNewOwner) {
    auto& clipboard = win32::controls::TheClipboard();
    if (hWndNewOwner != nullptr && !IsWindow(hWndNewOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (clipboard.open && clipboard.openedBy != hWndNewOwner) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clipboard.open = true;
    clipboard.openedBy = hWndNewOwner;
    return TRUE;
}

BOOL WINAPI CloseClipboard() {
    if (!win32::controls::CheckOpen()) return FALSE;
    auto& clipboard = win32::controls::TheClipboard();
    clipboard.open = false;
    clipboard.openedBy = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard() {
    if (!win32::controls::CheckOpen()) return FALSE;
    win32::controls::ClearClipboard();
    return TRUE;
}

// The clipboard takes the block; data given later for the other text format replaces the text.
HANDLE WINAPI SetClipboardData(UINT uFormat, HANDLE hMem) {
    using namespace win32::controls;
    if (!CheckOpen()) return nullptr;
    if (!IsTextFormat(uFormat) || hMem == nullptr || GlobalSize(hMem) == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::erase_if(TheClipboard().blocks,
                  [hMem](const auto& entry) { return entry.second == hMem; });
    SetClipboardText(TextOfBlock(uFormat, hMem));
    TheClipboard().blocks[uFormat] = hMem;
    return hMem;
}

HANDLE WINAPI GetClipboardData(UINT uFormat) {
    using namespace win32::controls;
    if (!CheckOpen()) return nullptr;
    Clipboard& clipboard = TheClipboard();
    if (!IsTextFormat(uFormat) || !clipboard.text) return nullptr;
    HGLOBAL& block = clipboard.blocks[uFormat];
    if (block == nullptr) block = BlockOfText(uFormat, *clipboard.text);
    return block;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    using namespace win32::controls;
    return IsTextFormat(format) && TheClipboard().text.has_value();
}

HWND WINAPI GetOpenClipboardWindow() {
    const auto& clipboard = win32::controls::TheClipboard();
    return clipboard.open ? clipboard.openedBy : nullptr;
}
