// SPDX-License-Identifier: MIT
// Window text through WM_GETTEXT, WM_GETTEXTLENGTH and WM_SETTEXT, as USER32 does it for windows
// of the calling thread; the dialog-item forms.
#include <windows.h>

#include "src/window.h"

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (lpString != nullptr && nMaxCount > 0) lpString[0] = 0;
    if (win32::CheckWindow(hWnd) == nullptr) return 0;
    if (lpString == nullptr || nMaxCount <= 0) return 0;
    const int length = static_cast<int>(SendMessageW(
        hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
    // Empty text clears the last error, so that a caller can tell it from a failure.
    if (length == 0) SetLastError(ERROR_SUCCESS);
    return length;
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    if (win32::CheckWindow(hWnd) == nullptr) return 0;
    return static_cast<int>(SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (win32::CheckWindow(hWnd) == nullptr) return FALSE;
    return SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0 ? TRUE
                                                                                      : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString != nullptr && cchMax > 0) lpString[0] = 0;
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (item == nullptr) return 0;
    return static_cast<UINT>(GetWindowTextW(item, lpString, cchMax));
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    if (item == nullptr) return FALSE;
    return SetWindowTextW(item, lpString);
}
