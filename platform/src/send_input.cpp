// SPDX-License-Identifier: MIT
// SendInput and keybd_event: synthesised keyboard and mouse input joins the thread's input queue
// as the display's does, so it reaches the focus (or the window under the cursor) in order.
#include <windows.h>

#include "src/display_manager.h"
#include "src/message_queue.h"

namespace win32 {
namespace {

void QueueKey(const KEYBDINPUT& key) {
    const bool up = (key.dwFlags & KEYEVENTF_KEYUP) != 0;
    if (key.dwFlags & KEYEVENTF_UNICODE) {
        // A character without a key: it arrives as typed text, once, on the press.
        if (!up) QueueInput({InputEvent::Type::kCharacter, 0, key.wScan});
        return;
    }
    QueueInput({up ? InputEvent::Type::kKeyUp : InputEvent::Type::kKeyDown, key.wVk});
}

// Absolute coordinates are 0..65535 across the primary monitor; relative ones are pixels.
void QueueMouse(const MOUSEINPUT& mouse, POINT& cursor) {
    if (mouse.dwFlags & MOUSEEVENTF_MOVE) {
        if (mouse.dwFlags & MOUSEEVENTF_ABSOLUTE) {
            std::vector<MonitorArea> monitors = CurrentMonitors();
            const RECT screen = monitors.empty() ? RECT{} : monitors[0].monitor;
            cursor.x = static_cast<LONG>(static_cast<long long>(mouse.dx) *
                                         (screen.right - screen.left) / 65536);
            cursor.y = static_cast<LONG>(static_cast<long long>(mouse.dy) *
                                         (screen.bottom - screen.top) / 65536);
        } else {
            cursor.x += mouse.dx;
            cursor.y += mouse.dy;
        }
        QueueInput({InputEvent::Type::kMouseMove, 0, 0, cursor});
    }
    const struct {
        DWORD flag;
        UINT button;
        bool down;
    } buttons[] = {{MOUSEEVENTF_LEFTDOWN, VK_LBUTTON, true},
                   {MOUSEEVENTF_LEFTUP, VK_LBUTTON, false},
                   {MOUSEEVENTF_RIGHTDOWN, VK_RBUTTON, true},
                   {MOUSEEVENTF_RIGHTUP, VK_RBUTTON, false}};
    for (const auto& button : buttons) {
        if (mouse.dwFlags & button.flag)
            QueueInput({InputEvent::Type::kMouseButton, button.button, 0, cursor, button.down});
    }
}

}  // namespace
}  // namespace win32

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) {
    if (cbSize != static_cast<int>(sizeof(INPUT)) || (pInputs == nullptr && cInputs != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    POINT cursor = win32::CursorPosition();
    for (UINT i = 0; i < cInputs; ++i) {
        const INPUT& input = pInputs[i];
        if (input.type == INPUT_KEYBOARD) {
            win32::QueueKey(input.ki);
        } else if (input.type == INPUT_MOUSE) {
            win32::QueueMouse(input.mi, cursor);
        }
    }
    return cInputs;
}

void WINAPI keybd_event(BYTE bVk, BYTE bScan, DWORD dwFlags, ULONG_PTR dwExtraInfo) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki = {bVk, bScan, dwFlags, 0, dwExtraInfo};
    SendInput(1, &input, sizeof input);
}
