// SPDX-License-Identifier: MIT
// The dialog manager: Enter, Escape and WM_CLOSE, the default button, arrows in groups, the tab
// and group order, a destroyed focus, the styles a dialog gets at creation and the last error of
// failing calls.
#include "probe.h"
#include "probes.h"

namespace {

INT_PTR CALLBACK Recorder(HWND, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND) probe::Append("WM_COMMAND " + std::to_string(LOWORD(wParam)));
    return message == WM_INITDIALOG;
}

bool IsDefault(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
}

void Press(HWND dialog, const std::string& what, UINT key) {
    probe::Key(dialog, key);
    probe::PrintLog(what);
}

void DefaultState(HWND dialog, const std::string& what) {
    probe::Line(what + ": DM_GETDEFID",
                std::to_string(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0))));
    probe::Line(what + ": default-styled buttons",
                std::string(IsDefault(dialog, IDOK) ? "1 " : "") +
                    (IsDefault(dialog, IDC_ONE) ? "11 " : "") +
                    (IsDefault(dialog, IDC_TWO) ? "12" : ""));
}

void EnterAndEscape(HINSTANCE instance) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_KEYS), nullptr, Recorder, 0);
    ShowWindow(dialog, SW_SHOW);
    probe::Pump(dialog);
    probe::Line("initial focus", probe::Id(GetFocus(), dialog));
    Press(dialog, "Enter in the edit", VK_RETURN);

    SetFocus(GetDlgItem(dialog, IDC_ONE));
    DefaultState(dialog, "SetFocus on a button");
    Press(dialog, "Enter on a button given focus by SetFocus", VK_RETURN);

    SetFocus(GetDlgItem(dialog, IDC_EDIT));
    probe::Key(dialog, VK_TAB);
    probe::Line("Tab from the edit: focus", probe::Id(GetFocus(), dialog));
    DefaultState(dialog, "Tab onto a button");
    Press(dialog, "Enter on a button reached by Tab", VK_RETURN);
    probe::Key(dialog, VK_TAB);
    DefaultState(dialog, "Tab onto the next button");
    SetFocus(GetDlgItem(dialog, IDC_EDIT));
    DefaultState(dialog, "SetFocus back to the edit");
    Press(dialog, "Enter in the edit again", VK_RETURN);

    Press(dialog, "Escape", VK_ESCAPE);
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    probe::PrintLog("BM_CLICK on Cancel");
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    probe::PrintLog("BM_CLICK on a disabled Cancel");
    Press(dialog, "Escape with Cancel disabled", VK_ESCAPE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    probe::PrintLog("WM_CLOSE with Cancel disabled");
    DestroyWindow(dialog);
}

void NoCancel(HINSTANCE instance) {
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_NO_CANCEL), nullptr, Recorder, 0);
    ShowWindow(dialog, SW_SHOW);
    probe::Pump(dialog);
    Press(dialog, "no Cancel control: Escape", VK_ESCAPE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    probe::PrintLog("no Cancel control: WM_CLOSE");
    DestroyWindow(dialog);
}

void Navigation(HINSTANCE instance) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_KEYS), nullptr, Recorder, 0);
    ShowWindow(dialog, SW_SHOW);
    probe::Pump(dialog);
    struct Arrow {
        int from;
        UINT key;
        const char* name;
    };
    const Arrow arrows[] = {{IDC_ONE, VK_DOWN, "Down"},   {IDC_TWO, VK_DOWN, "Down"},
                            {IDC_ONE, VK_UP, "Up"},       {IDC_TWO, VK_RIGHT, "Right"},
                            {IDC_THREE, VK_DOWN, "Down"}, {IDC_THREE, VK_UP, "Up"},
                            {IDOK, VK_LEFT, "Left"},      {IDCANCEL, VK_DOWN, "Down"}};
    for (const Arrow& arrow : arrows) {
        SetFocus(GetDlgItem(dialog, arrow.from));
        probe::Key(dialog, arrow.key);
        probe::Line(std::string(arrow.name) + " from " + std::to_string(arrow.from) + ": focus",
                    probe::Id(GetFocus(), dialog));
        probe::PrintLog(std::string(arrow.name) + " from " + std::to_string(arrow.from) +
                        ": commands");
    }

    const int starts[] = {0, IDC_EDIT, IDC_ONE, IDC_TWO, IDC_THREE, IDOK, IDCANCEL};
    for (int start : starts) {
        HWND from = start == 0 ? nullptr : GetDlgItem(dialog, start);
        for (BOOL previous : {FALSE, TRUE}) {
            const std::string where = std::string(previous ? "previous" : "next") + " from " +
                                      (start == 0 ? "NULL" : std::to_string(start));
            probe::Line("GetNextDlgTabItem " + where,
                        probe::Id(GetNextDlgTabItem(dialog, from, previous), dialog));
            probe::Line("GetNextDlgGroupItem " + where,
                        probe::Id(GetNextDlgGroupItem(dialog, from, previous), dialog));
        }
    }

    // SetFocus on controls that cannot take the focus, and WM_NEXTDLGCTL.
    SetFocus(GetDlgItem(dialog, IDC_ONE));
    EnableWindow(GetDlgItem(dialog, IDC_THREE), FALSE);
    probe::Line("SetFocus on a disabled control: returns",
                probe::Id(SetFocus(GetDlgItem(dialog, IDC_THREE)), dialog));
    probe::Line("SetFocus on a disabled control: focus", probe::Id(GetFocus(), dialog));
    EnableWindow(GetDlgItem(dialog, IDC_THREE), TRUE);
    ShowWindow(GetDlgItem(dialog, IDC_THREE), SW_HIDE);
    probe::Line("SetFocus on a hidden control: returns",
                probe::Id(SetFocus(GetDlgItem(dialog, IDC_THREE)), dialog));
    probe::Line("SetFocus on a hidden control: focus", probe::Id(GetFocus(), dialog));
    ShowWindow(GetDlgItem(dialog, IDC_THREE), SW_SHOW);
    SetFocus(GetDlgItem(dialog, IDC_ONE));
    SendMessageW(dialog, WM_NEXTDLGCTL, 0, FALSE);
    probe::Line("WM_NEXTDLGCTL next: focus", probe::Id(GetFocus(), dialog));
    SendMessageW(dialog, WM_NEXTDLGCTL, 1, FALSE);
    probe::Line("WM_NEXTDLGCTL previous: focus", probe::Id(GetFocus(), dialog));
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_EDIT)),
                 TRUE);
    probe::Line("WM_NEXTDLGCTL to the edit: focus", probe::Id(GetFocus(), dialog));
    DWORD start = 0, end = 0;
    SendMessageW(GetDlgItem(dialog, IDC_EDIT), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    probe::Line("WM_NEXTDLGCTL to the edit: selection",
                std::to_string(start) + "-" + std::to_string(end));
    probe::Log().clear();

    // Destroying the control that has the focus.
    SetFocus(GetDlgItem(dialog, IDC_TWO));
    DestroyWindow(GetDlgItem(dialog, IDC_TWO));
    probe::Pump(dialog);
    probe::Line("focused control destroyed: focus", probe::Id(GetFocus(), dialog));
    probe::PrintLog("focused control destroyed: commands");
    DestroyWindow(dialog);
}

void Styles(HINSTANCE instance) {
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_EDITS), nullptr, Recorder, 0);
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    const LONG ex_style = GetWindowLongW(dialog, GWL_EXSTYLE);
    probe::Number("dialog DS_3DLOOK", (style & DS_3DLOOK) != 0);
    probe::Number("dialog WS_EX_CONTROLPARENT", (ex_style & WS_EX_CONTROLPARENT) != 0);
    HWND edit = GetDlgItem(dialog, IDC_EDIT);
    probe::Number("edit WS_BORDER", (GetWindowLongW(edit, GWL_STYLE) & WS_BORDER) != 0);
    probe::Number("edit WS_EX_CLIENTEDGE",
                  (GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
    HWND button = GetDlgItem(dialog, IDOK);
    probe::Number("button WS_EX_CLIENTEDGE",
                  (GetWindowLongW(button, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);

    // The last error: failing calls set it, successful text calls leave it alone.
    HWND gone = CreateWindowExW(0, W("STATIC"), W(""), WS_CHILD, 0, 0, 1, 1, dialog, nullptr,
                                instance, nullptr);
    DestroyWindow(gone);
    struct Call {
        const char* name;
        long long (*call)(HWND dialog, HWND gone);
    };
    const Call calls[] = {
        {"GetWindowTextW on a destroyed window",
         [](HWND, HWND g) -> long long {
             WCHAR text[8];
             return GetWindowTextW(g, text, 8);
         }},
        {"GetWindowTextLengthW on a destroyed window",
         [](HWND, HWND g) -> long long { return GetWindowTextLengthW(g); }},
        {"SetWindowTextW on a destroyed window",
         [](HWND, HWND g) -> long long { return SetWindowTextW(g, W("x")); }},
        {"DestroyWindow on a destroyed window",
         [](HWND, HWND g) -> long long { return DestroyWindow(g); }},
        {"GetWindowLongW on a destroyed window",
         [](HWND, HWND g) -> long long { return GetWindowLongW(g, GWL_STYLE); }},
        {"SendMessageW to a destroyed window",
         [](HWND, HWND g) -> long long { return SendMessageW(g, WM_GETTEXTLENGTH, 0, 0); }},
        {"PostMessageW to a destroyed window",
         [](HWND, HWND g) -> long long { return PostMessageW(g, WM_NULL, 0, 0); }},
        {"GetDlgItem with a missing id",
         [](HWND d, HWND) -> long long { return GetDlgItem(d, 999) != nullptr; }},
        {"SetDlgItemTextW with a missing id",
         [](HWND d, HWND) -> long long { return SetDlgItemTextW(d, 999, W("x")); }},
        {"GetDlgItemTextW with a missing id",
         [](HWND d, HWND) -> long long {
             WCHAR text[8];
             return GetDlgItemTextW(d, 999, text, 8);
         }},
        {"SetWindowTextW",
         [](HWND d, HWND) -> long long { return SetWindowTextW(d, W("Styles")); }},
        {"GetWindowTextW",
         [](HWND d, HWND) -> long long {
             WCHAR text[16];
             return GetWindowTextW(d, text, 16);
         }},
        {"GetWindowTextW of an empty edit",
         [](HWND d, HWND) -> long long {
             WCHAR text[16];
             return GetWindowTextW(GetDlgItem(d, IDC_EDIT), text, 16);
         }},
        {"GetWindowTextLengthW", [](HWND d, HWND) -> long long { return GetWindowTextLengthW(d); }},
    };
    for (const Call& call : calls) {
        SetLastError(12345);
        const long long result = call.call(dialog, gone);
        probe::Line(call.name,
                    std::to_string(result) + ", last error " + std::to_string(GetLastError()));
    }
    DestroyWindow(dialog);
}

// WM_INITDIALOG hands the window to Bound with a DWLP_USER value, setting the two in the order
// lParam names, as a dialog base binds a window to its object. Windows keeps both in either
// order; Wine's WoW64 mode (a 64-bit Wine running a 32-bit program) clears DWLP_USER when
// DWLP_DLGPROC is set, so only the procedure first holds everywhere.
constexpr LONG_PTR kObject = 0x5EED;
enum Order : LPARAM { kProcedureFirst, kUserFirst };

std::string Kept(HWND dialog) {
    return GetWindowLongPtrW(dialog, DWLP_USER) == kObject ? "kept" : "lost";
}

INT_PTR CALLBACK Bound(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_APP) return FALSE;
    probe::Append("next message: DWLP_USER " + Kept(dialog));
    return TRUE;
}

INT_PTR CALLBACK Binder(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    const auto bound = reinterpret_cast<LONG_PTR>(Bound);
    if (lParam == kProcedureFirst) {
        SetWindowLongPtrW(dialog, DWLP_DLGPROC, bound);
        SetWindowLongPtrW(dialog, DWLP_USER, kObject);
    } else {
        SetWindowLongPtrW(dialog, DWLP_USER, kObject);
        SetWindowLongPtrW(dialog, DWLP_DLGPROC, bound);
    }
    probe::Append("in WM_INITDIALOG: DWLP_USER " + Kept(dialog));
    return TRUE;
}

void HandOver(HINSTANCE instance) {
    probe::Log().clear();  // the edit notifications of the dialogs before
    for (const Order order : {kProcedureFirst, kUserFirst}) {
        HWND dialog =
            CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MODAL), nullptr, Binder, order);
        SendMessageW(dialog, WM_APP, 0, 0);
        DestroyWindow(dialog);
        probe::PrintLog(order == kProcedureFirst ? "DWLP_DLGPROC, then DWLP_USER"
                                                 : "DWLP_USER, then DWLP_DLGPROC");
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    EnterAndEscape(instance);
    NoCancel(instance);
    Navigation(instance);
    Styles(instance);
    HandOver(instance);
    return 0;
}
