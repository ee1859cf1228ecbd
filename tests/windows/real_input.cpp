// SPDX-License-Identifier: MIT
#include "real_input.h"

#include <vector>

#include "ui_session.h"

namespace ui {

namespace {

INPUT Key(WORD virtualKey, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

bool BringToFront(HWND window) {
    SetForegroundWindow(window);
    return WaitFor([&] { return GetForegroundWindow() == window; }, 5000);
}

void PressKey(WORD virtualKey) { Send({Key(virtualKey, false), Key(virtualKey, true)}); }

bool TypeText(std::wstring_view text) {
    for (const wchar_t c : text) {
        const SHORT key = VkKeyScanW(c);
        if (key == -1) return false;
        const WORD virtualKey = LOBYTE(key);
        if (HIBYTE(key) & 1)
            Send({Key(VK_SHIFT, false), Key(virtualKey, false), Key(virtualKey, true),
                  Key(VK_SHIFT, true)});
        else
            PressKey(virtualKey);
    }
    return true;
}

void ClickMiddle(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int x = (rect.left + rect.right) / 2;
    const int y = (rect.top + rect.bottom) / 2;
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN));
    move.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    INPUT down = move;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    INPUT up = move;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    Send({move, down, up});
}

}  // namespace ui
