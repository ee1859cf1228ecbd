// SPDX-License-Identifier: MIT
// Modal and modeless dialogs: what EndDialog does at once and what waits for the handler to
// return, the owner's state, PostQuitMessage inside a modal loop, nested dialogs that end before
// they were shown, and the focus and activation left behind.
#include "probe.h"
#include "probes.h"

#include <utility>

namespace {

HINSTANCE instance;
HWND owner;
HWND last_dialog;  // the dialog of the last run
std::string run;   // the name of the run, which starts each line its dialogs print

enum Plan : LPARAM {
    kEndOnCommand,  // a posted IDOK ends the dialog; observe around EndDialog
    kEndInInit,     // EndDialog inside WM_INITDIALOG, before the dialog was shown
    kQuitInLoop,    // PostQuitMessage from inside the modal loop
    kNested,        // WM_INITDIALOG runs a nested dialog that ends in its WM_INITDIALOG
};

std::string Yes(bool value) { return value ? "yes" : "no"; }

std::string Who(HWND window) {
    if (window == nullptr) return "none";
    if (window == owner) return "owner";
    if (GetParent(window) == owner) return "owner's " + std::to_string(GetDlgCtrlID(window));
    return "other";
}

INT_PTR CALLBACK Modal(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            last_dialog = dialog;
            probe::Line(run + ": WM_INITDIALOG: owner enabled", Yes(IsWindowEnabled(owner)));
            probe::Line(run + ": WM_INITDIALOG: visible", Yes(IsWindowVisible(dialog)));
            switch (lParam) {
                case kEndOnCommand:
                    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                    break;
                case kEndInInit:
                    probe::Number(run + ": EndDialog in WM_INITDIALOG", EndDialog(dialog, 5));
                    break;
                case kQuitInLoop:
                    PostMessageW(dialog, WM_APP, 0, 0);
                    break;
                case kNested: {
                    const std::string outer = std::exchange(run, run + ", inner");
                    const INT_PTR inner = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MODAL),
                                                          dialog, Modal, kEndInInit);
                    run = outer;
                    probe::Number(run + ": inner result", inner);
                    probe::Line(run + ": outer enabled after the inner",
                                Yes(IsWindowEnabled(dialog)));
                    EndDialog(dialog, 6);
                    break;
                }
            }
            return TRUE;
        }
        case WM_SHOWWINDOW:
            probe::Append("WM_SHOWWINDOW " + std::to_string(wParam));
            return FALSE;
        case WM_APP:
            PostQuitMessage(7);
            probe::Line(run + ": after PostQuitMessage: owner enabled",
                        Yes(IsWindowEnabled(owner)));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                probe::Number(run + ": EndDialog result", EndDialog(dialog, 42));
                probe::Line(run + ": after EndDialog: window", Yes(IsWindow(dialog)));
                probe::Line(run + ": after EndDialog: visible", Yes(IsWindowVisible(dialog)));
                probe::Line(run + ": after EndDialog: owner enabled", Yes(IsWindowEnabled(owner)));
                probe::Line(run + ": after EndDialog: active", Who(GetActiveWindow()));
                probe::Number(run + ": after EndDialog: DM_GETDEFID",
                              LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)));
                probe::Number(run + ": EndDialog twice", EndDialog(dialog, 43));
            }
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void AfterRun(const std::string& what, INT_PTR result) {
    probe::Number(what + ": result", result);
    probe::PrintLog(what + ": shown");
    probe::Line(what + ": owner enabled", Yes(IsWindowEnabled(owner)));
    probe::Line(what + ": active", Who(GetActiveWindow()));
    probe::Line(what + ": focus", Who(GetFocus()));
    probe::Line(what + ": dialog remains", Yes(IsWindow(last_dialog)));
    probe::Line(what + ": dialog visible", Yes(IsWindowVisible(last_dialog)));
    DestroyWindow(last_dialog);
    EnableWindow(owner, TRUE);
    SetActiveWindow(owner);
    SetFocus(GetDlgItem(owner, IDC_ONE));
}

INT_PTR Run(const std::string& name, Plan plan) {
    run = name;
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MODAL), owner, Modal, plan);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    instance = hInstance;
    owner = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_KEYS), nullptr, Quiet, 0);
    ShowWindow(owner, SW_SHOW);
    SetFocus(GetDlgItem(owner, IDC_ONE));
    probe::Pump();
    probe::Line("before: active", Who(GetActiveWindow()));
    probe::Line("before: focus", Who(GetFocus()));

    AfterRun("ended by a command", Run("ended by a command", kEndOnCommand));
    AfterRun("ended in WM_INITDIALOG", Run("ended in WM_INITDIALOG", kEndInInit));

    AfterRun("nested, both ended before shown", Run("nested, both ended before shown", kNested));

    EnableWindow(owner, FALSE);
    AfterRun("owner disabled before", Run("owner disabled before", kEndOnCommand));
    EnableWindow(owner, TRUE);

    AfterRun("PostQuitMessage inside", Run("PostQuitMessage inside", kQuitInLoop));
    MSG msg;
    const BOOL quit = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    probe::Line("PostQuitMessage inside: WM_QUIT waiting afterwards",
                quit ? "yes, " + std::to_string(msg.wParam) : "no");
    probe::Pump();

    // EndDialog on a modeless dialog hides it; the window stays until it is destroyed.
    HWND modeless = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MODAL), owner, Quiet, 0);
    ShowWindow(modeless, SW_SHOW);
    probe::Pump();
    probe::Number("modeless EndDialog: result", EndDialog(modeless, 9));
    probe::Pump();
    probe::Line("modeless EndDialog: window", Yes(IsWindow(modeless)));
    probe::Line("modeless EndDialog: visible", Yes(IsWindowVisible(modeless)));
    probe::Line("modeless EndDialog: owner enabled", Yes(IsWindowEnabled(owner)));
    probe::Number("modeless EndDialog: DM_GETDEFID",
                  LOWORD(SendMessageW(modeless, DM_GETDEFID, 0, 0)));
    DestroyWindow(modeless);
    probe::Line("modeless destroyed: active", Who(GetActiveWindow()));
    DestroyWindow(owner);
    return 0;
}
