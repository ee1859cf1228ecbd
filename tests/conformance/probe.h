// SPDX-License-Identifier: MIT
// What every conformance probe shares. A probe is a Win32 program that runs the same on Windows
// (Wine) and on this platform, and prints one line per observation, "name = value", with nothing
// in it that differs from run to run (no handles, pointers or times).
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#ifdef _WIN32
#define W(text) L##text
#else
#define W(text) u##text
#endif

namespace probe {

inline void Line(const std::string& name, const std::string& value) {
    std::printf("%s = %s\n", name.c_str(), value.c_str());
    std::fflush(stdout);
}

inline void Number(const std::string& name, long long value) { Line(name, std::to_string(value)); }

inline std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lx", value);
    return text;
}

// Wide text as printable ASCII: other characters as \uXXXX.
inline std::string Text(const WCHAR* text, int length = -1) {
    std::string out = "\"";
    for (int i = 0; length < 0 ? text[i] != 0 : i < length; ++i) {
        const unsigned c = static_cast<unsigned>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        }
    }
    return out + "\"";
}

inline std::string WindowText(HWND window) {
    WCHAR buffer[256];
    const int length = GetWindowTextW(window, buffer, 256);
    return Text(buffer, length);
}

// The control id of a window, or "none" (or "other") for no window or one without an id.
inline std::string Id(HWND window, HWND dialog) {
    if (window == nullptr) return "none";
    if (window == dialog) return "dialog";
    if (GetParent(window) != dialog) return "other";
    return std::to_string(GetDlgCtrlID(window));
}

// Names for the messages and notifications a probe records.
inline std::string Notification(UINT code) {
    switch (code) {
        case EN_SETFOCUS:
            return "EN_SETFOCUS";
        case EN_KILLFOCUS:
            return "EN_KILLFOCUS";
        case EN_CHANGE:
            return "EN_CHANGE";
        case EN_UPDATE:
            return "EN_UPDATE";
        case EN_MAXTEXT:
            return "EN_MAXTEXT";
        default:
            return std::to_string(code);
    }
}

// A log that dialog procedures append to and a probe prints and clears.
inline std::string& Log() {
    static std::string log;
    return log;
}

inline void Append(const std::string& entry) {
    if (!Log().empty()) Log() += ' ';
    Log() += entry;
}

inline void PrintLog(const std::string& name) {
    Line(name, Log().empty() ? "-" : Log());
    Log().clear();
}

// Delivers everything posted so far, through IsDialogMessageW for `dialog` when it is given.
inline void Pump(HWND dialog = nullptr) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// One key press as the keyboard sends it: down, then up, through the dialog manager.
inline void Key(HWND dialog, UINT key) {
    HWND target = GetFocus() != nullptr ? GetFocus() : dialog;
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
        MSG msg{};
        msg.hwnd = target;
        msg.message = message;
        msg.wParam = key;
        msg.lParam = message == WM_KEYUP ? LPARAM(0xC0000001) : 1;
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Pump(dialog);
        if (!IsWindow(target)) return;
    }
}

}  // namespace probe
