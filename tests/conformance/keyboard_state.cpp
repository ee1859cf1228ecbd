// SPDX-License-Identifier: MIT
// The keyboard state as a program sets and reads it, and the input it synthesises.
#include "probe.h"
#include "probes.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

INPUT KeyInput(WORD key, DWORD flags, WORD scan = 0) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    return input;
}

// The character TranslateMessage makes of a posted key press with the current key state.
std::string CharacterOf(HWND target, UINT key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    MSG msg;
    std::string result = "none";
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
            result =
                (msg.message == WM_CHAR ? "WM_CHAR " : "WM_SYSCHAR ") + std::to_string(msg.wParam);
            continue;
        }
        TranslateMessage(&msg);
    }
    return result;
}

void SetModifiers(bool control, bool shift, bool alt) {
    BYTE state[256] = {};
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(state);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_KEYS), nullptr, Quiet, 0);
    ShowWindow(dialog, SW_SHOW);
    HWND edit = GetDlgItem(dialog, IDC_EDIT);
    SetFocus(edit);
    probe::Pump(dialog);

    // SetKeyboardState replaces the thread's state, which GetKeyState and GetKeyboardState read
    // and TranslateMessage uses.
    struct Modifiers {
        const char* name;
        bool control, shift, alt;
    };
    const Modifiers modifiers[] = {{"none", false, false, false},
                                   {"ctrl", true, false, false},
                                   {"shift", false, true, false},
                                   {"alt", false, false, true},
                                   {"ctrl+shift", true, true, false}};
    for (const Modifiers& m : modifiers) {
        SetModifiers(m.control, m.shift, m.alt);
        const std::string name = std::string("set ") + m.name;
        probe::Number(name + ": GetKeyState(VK_CONTROL)", GetKeyState(VK_CONTROL));
        probe::Number(name + ": GetKeyState(VK_SHIFT)", GetKeyState(VK_SHIFT));
        BYTE read[256] = {};
        GetKeyboardState(read);
        probe::Number(name + ": GetKeyboardState(VK_MENU)", read[VK_MENU]);
        probe::Line(name + ": key A", CharacterOf(edit, 'A'));
    }
    SetModifiers(false, false, false);
    BYTE toggled[256] = {};
    toggled[VK_CAPITAL] = 0x01;
    SetKeyboardState(toggled);
    probe::Number("set caps lock toggled: GetKeyState(VK_CAPITAL)", GetKeyState(VK_CAPITAL));
    probe::Line("set caps lock toggled: key A", CharacterOf(edit, 'A'));
    SetModifiers(false, false, false);

    // SendInput: the thread's state changes when the key message is retrieved.
    INPUT shift_down = KeyInput(VK_SHIFT, 0);
    probe::Number("SendInput shift down: result", SendInput(1, &shift_down, sizeof(INPUT)));
    probe::Number("SendInput shift down, before retrieval: GetKeyState(VK_SHIFT)",
                  GetKeyState(VK_SHIFT) < 0);
    probe::Pump(dialog);
    probe::Number("SendInput shift down, retrieved: GetKeyState(VK_SHIFT)",
                  GetKeyState(VK_SHIFT) < 0);
    probe::Number("SendInput shift down, retrieved: GetKeyState(VK_LSHIFT)",
                  GetKeyState(VK_LSHIFT) < 0);
    probe::Number("SendInput shift down: GetAsyncKeyState(VK_SHIFT)",
                  GetAsyncKeyState(VK_SHIFT) < 0);
    INPUT typed[] = {KeyInput('X', 0), KeyInput('X', KEYEVENTF_KEYUP),
                     KeyInput(VK_SHIFT, KEYEVENTF_KEYUP)};
    probe::Number("SendInput X then shift up: result", SendInput(3, typed, sizeof(INPUT)));
    probe::Pump(dialog);
    probe::Number("shift released: GetKeyState(VK_SHIFT)", GetKeyState(VK_SHIFT) < 0);
    probe::Number("shift released: GetAsyncKeyState(VK_SHIFT)", GetAsyncKeyState(VK_SHIFT) < 0);

    keybd_event('B', 0, 0, 0);
    keybd_event('B', 0, KEYEVENTF_KEYUP, 0);
    INPUT unicode[] = {KeyInput(0, KEYEVENTF_UNICODE, 0x00E9),
                       KeyInput(0, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP, 0x00E9)};
    SendInput(2, unicode, sizeof(INPUT));
    probe::Pump(dialog);
    probe::Line("edit text after typed input", probe::WindowText(edit));

    SetLastError(0);
    probe::Number("SendInput with a wrong size: result", SendInput(1, unicode, sizeof(INPUT) - 1));
    probe::Number("SendInput with a wrong size: last error", GetLastError());

    DestroyWindow(dialog);
    return 0;
}
