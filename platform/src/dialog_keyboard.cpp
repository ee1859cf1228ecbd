// SPDX-License-Identifier: MIT
// IsDialogMessageW: the dialog keyboard interface. The focused control is asked with
// WM_GETDLGCODE which keys it wants; the others move the focus (Tab, Shift+Tab, arrows within a
// group) or become commands (Enter, Escape). Every other message for the dialog or its
// controls is translated and dispatched here; messages for other windows are left alone.
#include <windows.h>

#include <string_view>

#include "src/dialog.h"
#include "src/window.h"

namespace win32 {

namespace {

UINT DialogCode(HWND control, const MSG& msg) {
    return static_cast<UINT>(
        SendMessageW(control, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
}

void Command(HWND dialog, int id, HWND control) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Enter: the focused button when it is the default push button (Tab made it so; SetFocus and a
// click do not), else the dialog's default id, else IDOK; a disabled default button only rings
// the bell.
void Enter(HWND dialog) {
    HWND focus = GetFocus();
    // A window that is no dialog has no default button following the focus: the focused push
    // button is the one.
    const UINT pushButton = DialogOf(dialog) != nullptr ? DLGC_DEFPUSHBUTTON
                                                        : DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON;
    if (IsChild(dialog, focus) && IsWindowEnabled(focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & pushButton)) {
        Command(dialog, GetDlgCtrlID(focus), focus);
        return;
    }
    LRESULT defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    if (HIWORD(defaultId) == DC_HASDEFID) {
        int id = LOWORD(defaultId);
        HWND button = GetDlgItem(dialog, id);
        if (button != nullptr && !IsWindowEnabled(button)) {
            MessageBeep(MB_OK);
            return;
        }
        Command(dialog, id, button);
        return;
    }
    Command(dialog, IDOK, GetDlgItem(dialog, IDOK));
}

void Escape(HWND dialog) {
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel != nullptr && !IsWindowEnabled(cancel)) {
        MessageBeep(MB_OK);
        return;
    }
    Command(dialog, IDCANCEL, cancel);
}

// A static text passed over by the arrows; a group box (a button) is not passed over.
bool IsStaticText(HWND control) {
    WCHAR name[8];
    const int length = GetClassNameW(control, name, 8);
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_STATIC) &&
           std::u16string_view(name, static_cast<std::size_t>(length > 0 ? length : 0)) !=
               u"Button";
}

// Arrows move within the group; static texts are passed over, radio buttons are checked as
// they get the focus.
void Arrow(HWND dialog, HWND control, bool previous) {
    HWND next = GetNextDlgGroupItem(dialog, control, previous ? TRUE : FALSE);
    HWND start = next;
    while (next != nullptr && next != control && IsStaticText(next)) {
        next = GetNextDlgGroupItem(dialog, next, previous ? TRUE : FALSE);
        if (next == start) return;
    }
    if (next == nullptr || next == control) return;
    LRESULT code = SendMessageW(next, WM_GETDLGCODE, 0, 0);
    if (code & DLGC_RADIOBUTTON) {
        SetFocus(next);
        if ((GetWindowLongW(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
            SendMessageW(next, BM_GETCHECK, 0, 0) != BST_CHECKED) {
            SendMessageW(next, BM_CLICK, 0, 0);
        }
        return;
    }
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(next), TRUE);
}

// True when the key was the dialog's.
bool DialogKey(HWND dialog, const MSG& msg) {
    const UINT code = DialogCode(msg.hwnd, msg);
    if (code & DLGC_WANTMESSAGE) return false;
    switch (msg.wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB) return false;
            if (DialogOf(dialog) != nullptr) {
                SendMessageW(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
            } else if (HWND focus = GetFocus(),
                       next = GetNextDlgTabItem(dialog, IsChild(dialog, focus) ? focus : nullptr,
                                                GetKeyState(VK_SHIFT) < 0 ? TRUE : FALSE);
                       next != nullptr) {
                // A window that is no dialog does not handle WM_NEXTDLGCTL: the move is made here.
                MoveDialogFocus(dialog, next, true);
            }
            return true;
        case VK_RIGHT:
        case VK_DOWN:
        case VK_LEFT:
        case VK_UP:
            if (code & DLGC_WANTARROWS) return false;
            Arrow(dialog, msg.hwnd, msg.wParam == VK_LEFT || msg.wParam == VK_UP);
            return true;
        case VK_RETURN:
        case VK_EXECUTE:
            Enter(dialog);
            return true;
        case VK_ESCAPE:
        case VK_CANCEL:
            Escape(dialog);
            return true;
        default:
            return false;
    }
}

}  // namespace

}  // namespace win32

BOOL WINAPI IsDialogMessageW(HWND hDlg, LPMSG lpMsg) {
    if (lpMsg == nullptr || win32::FindWindow(hDlg) == nullptr) return FALSE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
    switch (lpMsg->message) {
        case WM_KEYDOWN:
            if (win32::DialogKey(hDlg, *lpMsg)) return TRUE;
            break;
        case WM_CHAR:
            // The Tab character of a Tab the dialog used is not the control's.
            if (lpMsg->wParam == u'\t' &&
                !(win32::DialogCode(lpMsg->hwnd, *lpMsg) & DLGC_WANTTAB)) {
                return TRUE;
            }
            break;
        default:
            break;
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}
