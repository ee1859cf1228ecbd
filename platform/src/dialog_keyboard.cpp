// SPDX-License-Identifier: MIT
// IsDialogMessageW: the dialog keyboard interface. The focused control is asked with
// WM_GETDLGCODE which keys it wants; the others move the focus (Tab, Shift+Tab, arrows within a
// group) or become commands (Enter, Escape); Alt+letter, or a letter the control does not take,
// is the mnemonic of the control whose text has "&letter". Every other message for the dialog or
// its controls is translated and dispatched here; messages for other windows are left alone.
#include <windows.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

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

// The focus moved as the keyboard moves it: a dialog moves it itself (WM_NEXTDLGCTL).
void FocusControl(HWND dialog, HWND control) {
    if (DialogOf(dialog) != nullptr) {
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    } else {
        MoveDialogFocus(dialog, control, true);
    }
}

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c; }

// The character after a lone '&' of a button's or a label's text ("&&" is a literal '&'),
// folded; 0 for none. An edit's text is its content, not a label.
char16_t MnemonicOf(HWND control) {
    const UINT code = static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, 0, 0));
    if (!(code & (DLGC_BUTTON | DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON | DLGC_RADIOBUTTON |
                  DLGC_STATIC)))
        return 0;
    if (IsStaticText(control) && (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX)) return 0;
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return 0;
    std::u16string text(static_cast<std::size_t>(length) + 1, u'\0');
    text.resize(
        static_cast<std::size_t>(std::max(0, GetWindowTextW(control, text.data(), length + 1))));
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] != u'&') return Fold(text[i + 1]);
        ++i;
    }
    return 0;
}

// The controls whose mnemonic is `c`, from the one after `from` round the dialog's controls;
// visible, enabled ones only.
std::vector<HWND> ControlsWithMnemonic(HWND dialog, HWND from, char16_t c) {
    std::vector<HWND> found;
    Window* window = FindWindow(dialog);
    if (window == nullptr || window->children.empty()) return found;
    const std::vector<HWND> controls = window->children;
    const auto at = std::find(controls.begin(), controls.end(), DialogControlOf(dialog, from));
    const std::size_t start =
        at != controls.end() ? static_cast<std::size_t>(at - controls.begin()) + 1 : 0;
    for (std::size_t step = 0; step < controls.size(); ++step) {
        HWND control = controls[(start + step) % controls.size()];
        if (IsWindowVisible(control) && IsWindowEnabled(control) && MnemonicOf(control) == c)
            found.push_back(control);
    }
    return found;
}

// A mnemonic moves from a label to the tab stop after it, presses the default push button,
// and clicks any other button; of several buttons with the same mnemonic, the next one only
// gets the focus. True when `c` was a control's mnemonic.
bool PressMnemonic(HWND dialog, HWND from, WPARAM c) {
    if (c < 0x20 || c > 0xFFFF) return false;
    const std::vector<HWND> found =
        ControlsWithMnemonic(dialog, from, Fold(static_cast<char16_t>(c)));
    if (found.empty()) return false;
    HWND control = found.front();
    const UINT code = static_cast<UINT>(SendMessageW(control, WM_GETDLGCODE, 0, 0));
    if (code & DLGC_STATIC) {
        HWND next = GetNextDlgTabItem(dialog, control, FALSE);
        if (next != nullptr && next != control) FocusControl(dialog, next);
    } else if (code & DLGC_DEFPUSHBUTTON) {
        Command(dialog, GetDlgCtrlID(control), control);
    } else if (found.size() == 1) {
        SendMessageW(control, BM_CLICK, 0, 0);
    } else {
        FocusControl(dialog, control);
    }
    return true;
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
    // A WH_MSGFILTER hook sees the message first, and may take it.
    if (CallMsgFilterW(lpMsg, MSGF_DIALOGBOX)) return TRUE;
    if (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)) return FALSE;
    switch (lpMsg->message) {
        case WM_KEYDOWN:
            if (win32::DialogKey(hDlg, *lpMsg)) return TRUE;
            break;
        case WM_CHAR: {
            const UINT code = win32::DialogCode(lpMsg->hwnd, *lpMsg);
            // The Tab character of a Tab the dialog used is not the control's.
            if (lpMsg->wParam == u'\t' && !(code & DLGC_WANTTAB)) return TRUE;
            // Characters a control does not take are mnemonics, as with Alt.
            if (!(code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) &&
                win32::PressMnemonic(hDlg, lpMsg->hwnd, lpMsg->wParam)) {
                return TRUE;
            }
            break;
        }
        case WM_SYSCHAR:
            if (win32::PressMnemonic(hDlg, lpMsg->hwnd, lpMsg->wParam)) return TRUE;
            break;
        default:
            break;
    }
    TranslateMessage(lpMsg);
    DispatchMessageW(lpMsg);
    return TRUE;
}
