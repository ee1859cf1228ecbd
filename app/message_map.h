// SPDX-License-Identifier: MIT
// A message map as an ordered table of (message, condition, handler). The first entry whose
// message and command id match calls its handler; a handler that clears bHandled lets the
// search go on.
#pragma once

#include <windows.h>

#include <cstddef>

template <class T>
struct MessageMapEntry {
    using MessageHandler = LRESULT (T::*)(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    using CommandHandler = LRESULT (T::*)(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

    UINT message;
    int commandId;  // LOWORD(wParam) of a WM_COMMAND entry; kAnyCommand for other entries
    MessageHandler onMessage;
    CommandHandler onCommand;

    static constexpr int kAnyCommand = -1;

    static constexpr MessageMapEntry Message(UINT message, MessageHandler handler) {
        return {message, kAnyCommand, handler, nullptr};
    }
    static constexpr MessageMapEntry Command(WORD id, CommandHandler handler) {
        return {WM_COMMAND, id, nullptr, handler};
    }
};

template <class T, std::size_t N>
BOOL DispatchToMessageMap(T& target, const MessageMapEntry<T> (&map)[N], UINT uMsg, WPARAM wParam,
                          LPARAM lParam, LRESULT& lResult) {
    for (const MessageMapEntry<T>& entry : map) {
        if (entry.message != uMsg) continue;
        BOOL bHandled = TRUE;
        if (entry.onCommand != nullptr) {
            if (entry.commandId != LOWORD(wParam)) continue;
            lResult = (target.*entry.onCommand)(HIWORD(wParam), LOWORD(wParam),
                                                reinterpret_cast<HWND>(lParam), bHandled);
        } else {
            lResult = (target.*entry.onMessage)(uMsg, wParam, lParam, bHandled);
        }
        if (bHandled) return TRUE;
    }
    return FALSE;
}
