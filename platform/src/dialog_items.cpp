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
