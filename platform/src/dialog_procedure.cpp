// SPDX-License-Identifier: MIT
// The dialog class "#32770" and its window procedure DefDlgProcW: it calls the dialog procedure
// stored at DWLP_DLGPROC, honours its result rules, and does the default dialog processing for
// what the dialog procedure leaves alone (WM_CLOSE as IDCANCEL, the default button, focus kept
// across activation, WM_NEXTDLGCTL). DefAnsiDlgProc, the procedure of ANSI dialogs, is the same
// for ANSI messages: the dialog procedure gets every message as it came, of whichever kind.
#include <windows.h>

#include <cstring>
#include <utility>

#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/fonts.h"
#include "src/window.h"
#include "src/window_class.h"
#include "win32/ansi_procedures.h"

namespace win32 {

namespace {

// Only a window whose class reserves the dialog's extra bytes keeps a dialog procedure and a
// message result there; in any other window (a control DefDlgProcW is called for) those bytes
// are its own class's, a control's state.
bool HasDialogBytes(const Window& window) { return window.extra.size() >= DLGWINDOWEXTRA; }

// As it was given, not as GetWindowLongPtrW shows it.
DLGPROC StoredDialogProc(const Window& window) {
    if (!HasDialogBytes(window)) return nullptr;
    DLGPROC proc;
    std::memcpy(&proc, window.extra.data() + DWLP_DLGPROC, sizeof proc);
    return proc;
}

LRESULT DefWindow(bool ansi, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return ansi ? DefAnsiWindowProc(hwnd, message, wParam, lParam)
                : DefWindowProcW(hwnd, message, wParam, lParam);
}

// The messages whose result the dialog procedure returns itself instead of through
// DWLP_MSGRESULT.
bool ReturnsDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_COMPAREITEM || message == WM_VKEYTOITEM || message == WM_CHARTOITEM ||
           message == WM_QUERYDRAGICON || message == WM_INITDIALOG;
}

void SaveFocus(HWND dialog) {
    HWND focus = GetFocus();
    if (DialogState* state = DialogOf(dialog); state != nullptr && IsChild(dialog, focus)) {
        state->savedFocus = focus;
    }
}

// The control saved when the dialog lost activation gets the focus back once: on activation as
// it was, when the dialog itself gets the focus as entered from the keyboard (an edit's text
// selected). Activation without a saved control leaves the focus alone; the dialog getting the
// focus gives it to the first tab stop, or else to the first control.
void RestoreFocus(HWND dialog, bool justActivated) {
    DialogState* state = DialogOf(dialog);
    if (state == nullptr) return;
    HWND saved = std::exchange(state->savedFocus, nullptr);
    if (saved != nullptr && IsChild(dialog, saved) && IsWindowEnabled(saved)) {
        if (justActivated) {
            SetFocus(saved);
        } else {
            MoveDialogFocus(dialog, saved, true);
        }
        return;
    }
    if (justActivated) return;
    HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (first == nullptr) first = GetWindow(dialog, GW_CHILD);
    if (first != nullptr) MoveDialogFocus(dialog, first, true);
}

LRESULT GetDefaultId(HWND dialog, const DialogState& state) {
    if (state.defaultId != 0) return MAKELONG(state.defaultId, DC_HASDEFID);
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            return MAKELONG(GetDlgCtrlID(child), DC_HASDEFID);
        }
    }
    // No default push button: IDOK, without DC_HASDEFID.
    return MAKELONG(IDOK, 0);
}

void SetDefaultId(HWND dialog, UINT id) {
    DialogState* state = DialogOf(dialog);
    if (state == nullptr) return;
    HWND old =
        state->defaultId != 0 ? GetDlgItem(dialog, static_cast<int>(state->defaultId)) : nullptr;
    if (old != nullptr && (SendMessageW(old, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
        SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    HWND button = GetDlgItem(dialog, static_cast<int>(id));
    if (button != nullptr && (SendMessageW(button, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON)) {
        SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    if ((state = DialogOf(dialog)) != nullptr) state->defaultId = id;
}

void NextControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target;
    if (LOWORD(lParam)) {
        target = reinterpret_cast<HWND>(wParam);
        if (!IsChild(dialog, target)) return;
    } else {
        HWND focus = GetFocus();
        target = GetNextDlgTabItem(dialog, IsChild(dialog, focus) ? focus : nullptr,
                                   wParam != 0 ? TRUE : FALSE);
    }
    if (target != nullptr) MoveDialogFocus(dialog, target, true);
}

// What DefDlgProcW does when the dialog procedure returned FALSE.
LRESULT DefaultProcessing(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, bool ansi) {
    DialogState* state = DialogOf(dialog);
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_SHOWWINDOW:
            if (!wParam) SaveFocus(dialog);
            return DefWindow(ansi, dialog, message, wParam, lParam);
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                RestoreFocus(dialog, true);
            } else {
                SaveFocus(dialog);
            }
            return 0;
        case WM_SETFOCUS:
            RestoreFocus(dialog, false);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MINIMIZE) SaveFocus(dialog);
            return DefWindow(ansi, dialog, message, wParam, lParam);
        case WM_CLOSE: {
            // Not DestroyWindow, as DefWindowProcW would do: the dialog gets IDCANCEL, posted;
            // with IDCANCEL disabled, only the bell.
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            if (cancel != nullptr && !IsWindowEnabled(cancel)) {
                MessageBeep(MB_OK);
            } else {
                PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(cancel));
            }
            return 0;
        }
        case DM_GETDEFID:
            // An ended dialog has no default button any more.
            return state != nullptr && !state->ended ? GetDefaultId(dialog, *state) : 0;
        case DM_SETDEFID:
            SetDefaultId(dialog, static_cast<UINT>(wParam));
            return TRUE;
        case WM_NEXTDLGCTL:
            NextControl(dialog, wParam, lParam);
            return 0;
        case WM_GETFONT:
            return state != nullptr ? reinterpret_cast<LRESULT>(state->font) : 0;
        case WM_SETFONT:
            return 0;
        case WM_INITDIALOG:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_QUERYDRAGICON:
            return 0;
        default:
            return DefWindow(ansi, dialog, message, wParam, lParam);
    }
}

}  // namespace

DialogState* DialogOf(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    return window != nullptr ? window->dialog.get() : nullptr;
}

DialogState& AdoptAsDialog(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (!window->dialog) {
        window->dialog = std::make_unique<DialogState>();
        window->dialog->baseUnits = DialogBaseUnits();
    }
    return *window->dialog;
}

void RegisterDialogClass() {
    WNDCLASSEXW dialogClass{};
    dialogClass.cbSize = sizeof dialogClass;
    dialogClass.style = CS_DBLCLKS | CS_SAVEBITS;
    dialogClass.lpfnWndProc = DefDlgProcW;
    dialogClass.cbWndExtra = DLGWINDOWEXTRA;
    dialogClass.lpszClassName = u"#32770";
    RegisterClassExW(&dialogClass);
    // ANSI dialogs have a procedure of their own, so that their dialog procedure gets ANSI
    // messages unconverted.
    if (auto registered = FindClass(u"#32770")) registered->ansiProc = DefAnsiDlgProc;
}

namespace {

LRESULT DialogProcedure(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam, bool ansi) {
    Window* window = CheckWindow(hDlg);
    if (window == nullptr) return 0;
    AdoptAsDialog(hDlg);
    DLGPROC proc = StoredDialogProc(*window);
    if (HasDialogBytes(*window)) SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
    INT_PTR result = proc != nullptr ? proc(hDlg, Msg, wParam, lParam) : FALSE;
    if (Msg == WM_NCDESTROY) {
        // The template's font dies with the dialog, whoever handled the message.
        DialogState* state = DialogOf(hDlg);
        if (state != nullptr && state->font != nullptr) {
            DeleteFontHandle(state->font);
            state->font = nullptr;
        }
    }
    if (!result) {
        return IsWindow(hDlg) ? DefaultProcessing(hDlg, Msg, wParam, lParam, ansi) : 0;
    }
    if (ReturnsDirectly(Msg)) return result;
    // Handled: the answer is in DWLP_MSGRESULT (0 once the dialog is gone).
    if ((window = FindWindow(hDlg)) == nullptr || !HasDialogBytes(*window)) return 0;
    return GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
}

}  // namespace

LRESULT CALLBACK DefAnsiDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DialogProcedure(hwnd, message, wParam, lParam, true);
}

}  // namespace win32

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return win32::DialogProcedure(hDlg, Msg, wParam, lParam, false);
}
