// SPDX-License-Identifier: MIT
// Dialog items by id, and dialog units.
#include <windows.h>

#include "src/dialog.h"
#include "src/window.h"

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    win32::Window* dialog = win32::CheckWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    for (HWND child : dialog->children) {
        win32::Window* control = win32::FindWindow(child);
        if (control != nullptr && static_cast<int>(control->id) == nIDDlgItem) return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    win32::Window* window = win32::CheckWindow(hWnd);
    return window != nullptr ? static_cast<int>(window->id) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item != nullptr ? SendMessageW(item, Msg, wParam, lParam) : 0;
}

// Horizontal units are a quarter of the dialog font's average character width, vertical ones
// an eighth of its height.
BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    win32::DialogState* dialog = win32::DialogOf(hDlg);
    if (dialog == nullptr || lpRect == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    const POINT base = dialog->baseUnits;
    lpRect->left = MulDiv(lpRect->left, base.x, 4);
    lpRect->right = MulDiv(lpRect->right, base.x, 4);
    lpRect->top = MulDiv(lpRect->top, base.y, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, base.y, 8);
    return TRUE;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND button = GetDlgItem(hDlg, nIDButton);
    if (button == nullptr) return FALSE;
    SendMessageW(button, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    return static_cast<UINT>(SendDlgItemMessageW(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

// Checks the button nIDCheckButton and unchecks the dialog's other controls with an id from
// nIDFirstButton to nIDLastButton, whatever their kind.
BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    if (win32::CheckWindow(hDlg) == nullptr) return FALSE;
    for (HWND child = GetWindow(hDlg, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id < nIDFirstButton || id > nIDLastButton) continue;
        SendMessageW(child, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}
