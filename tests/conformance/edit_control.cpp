// SPDX-License-Identifier: MIT
// The single-line edit control: its limit, the notifications of refused input and of selection,
// undo, EM_REPLACESEL, password edits and the clipboard, control characters.
#include "probe.h"
#include "probes.h"

namespace {

INT_PTR CALLBACK Recorder(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) != IDOK) {
        probe::Append(std::to_string(LOWORD(wParam)) + ":" + probe::Notification(HIWORD(wParam)));
    }
    return message == WM_INITDIALOG;
}

std::string Selection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return std::to_string(start) + "-" + std::to_string(end);
}

void Type(HWND edit, const char* text) {
    for (const char* c = text; *c != 0; ++c) SendMessageW(edit, WM_CHAR, WPARAM(*c), 1);
}

// The text, the selection and the notifications since the last report.
void Report(HWND edit, const std::string& what) {
    probe::Line(what + ": text", probe::WindowText(edit));
    probe::Line(what + ": selection", Selection(edit));
    probe::PrintLog(what + ": notifications");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_EDITS), nullptr, Recorder, 0);
    ShowWindow(dialog, SW_SHOW);
    HWND edit = GetDlgItem(dialog, IDC_EDIT);
    HWND password = GetDlgItem(dialog, IDC_PASSWORD);
    SetFocus(edit);
    probe::Pump(dialog);
    probe::Log().clear();

    probe::Number("default limit", SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    SendMessageW(edit, EM_SETLIMITTEXT, 5, 0);
    Type(edit, "abcd");
    probe::Log().clear();
    Type(edit, "e");
    Report(edit, "typed up to the limit");
    Type(edit, "f");
    Report(edit, "typed past the limit");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Report(edit, "select all");
    SendMessageW(edit, EM_SETSEL, 5, 5);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W("xyz")));
    Report(edit, "EM_REPLACESEL at the limit");
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    probe::Number("limit set to 0", SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));

    // Undo: what one undo takes back after a paste and typing, and the redo after it.
    SetWindowTextW(edit, W("hello"));
    probe::Number("after WM_SETTEXT: EM_CANUNDO", SendMessageW(edit, EM_CANUNDO, 0, 0));
    probe::Log().clear();
    SendMessageW(edit, EM_SETSEL, 0, 2);
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(edit, EM_SETSEL, 5, 5);
    SendMessageW(edit, WM_PASTE, 0, 0);
    Type(edit, "!?");
    Report(edit, "paste and typing");
    probe::Number("EM_UNDO result", SendMessageW(edit, EM_UNDO, 0, 0));
    Report(edit, "one undo");
    probe::Number("EM_UNDO again (redo) result", SendMessageW(edit, EM_UNDO, 0, 0));
    Report(edit, "redo");
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    probe::Number("emptied: EM_CANUNDO", SendMessageW(edit, EM_CANUNDO, 0, 0));
    probe::Number("emptied: EM_UNDO result", SendMessageW(edit, EM_UNDO, 0, 0));
    Report(edit, "undo with nothing to undo");
    SendMessageW(edit, EM_SETSEL, 0, 1);
    probe::Number("EM_REPLACESEL result",
                  SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(W("J"))));
    Report(edit, "EM_REPLACESEL");
    Type(edit, "\b");
    Report(edit, "Backspace");
    probe::Number("EM_UNDO after Backspace", SendMessageW(edit, EM_UNDO, 0, 0));
    Report(edit, "undo of Backspace");

    // Password edits keep their text off the clipboard.
    probe::Number("password: EM_GETPASSWORDCHAR", SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0));
    probe::Number("plain: EM_GETPASSWORDCHAR", SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0));
    SetWindowTextW(password, W("secret"));
    SetWindowTextW(edit, W("plain"));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(password, EM_SETSEL, 0, -1);
    SendMessageW(password, WM_COPY, 0, 0);
    SendMessageW(password, WM_CUT, 0, 0);
    probe::Line("password after WM_CUT", probe::WindowText(password));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_PASTE, 0, 0);
    probe::Line("pasted after copying from the password edit", probe::WindowText(edit));
    SendMessageW(password, EM_SETPASSWORDCHAR, 0, 0);
    probe::Number("password char 0: ES_PASSWORD",
                  (GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD) != 0);
    SetWindowTextW(password, W("secret"));
    SendMessageW(password, EM_SETSEL, 0, 3);
    SendMessageW(password, WM_CUT, 0, 0);
    probe::Line("password char 0: after WM_CUT", probe::WindowText(password));
    SendMessageW(password, EM_SETPASSWORDCHAR, '#', 0);
    probe::Number("password char #: ES_PASSWORD",
                  (GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD) != 0);
    probe::Number("password char #: EM_GETPASSWORDCHAR",
                  SendMessageW(password, EM_GETPASSWORDCHAR, 0, 0));
    probe::Log().clear();

    // Control characters: set as text, and typed.
    SetWindowTextW(edit, W("a\tb\x01"
                           "c\r\nd"));
    probe::Line("WM_SETTEXT with control characters", probe::WindowText(edit));
    // The same text copied and pasted: what a single-line edit keeps of it.
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SetWindowTextW(edit, W("[]"));
    SendMessageW(edit, EM_SETSEL, 1, 1);
    probe::Log().clear();
    SendMessageW(edit, WM_PASTE, 0, 0);
    Report(edit, "pasted control characters");
    SetWindowTextW(edit, W("tab\there"));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SetWindowTextW(edit, W(""));
    SendMessageW(edit, WM_PASTE, 0, 0);
    probe::Line("pasted a tab", probe::WindowText(edit));
    SetWindowTextW(edit, W(""));
    probe::Log().clear();
    for (WPARAM c : {WPARAM('\t'), WPARAM(0x01), WPARAM(0x1B), WPARAM('\r'), WPARAM(0x7F)}) {
        SendMessageW(edit, WM_CHAR, c, 1);
    }
    Report(edit, "typed control characters");

    DestroyWindow(dialog);
    return 0;
}
