// SPDX-License-Identifier: MIT
// The modal run of DialogBoxParamW: the owner is disabled before the dialog is created (so
// before WM_INITDIALOG); the dialog is shown when the queue first runs dry; messages are pumped
// through IsDialogMessageW until EndDialog, which enables the owner again (even one that was
// disabled before) and hides the dialog at once; the dialog is destroyed when the run ends. A
// WM_QUIT ends the run and is posted again for the loop outside.
#include <windows.h>

#include <utility>

#include "src/dialog.h"
#include "src/focus.h"
#include "src/window.h"

namespace win32 {

INT_PTR RunModalDialog(HWND dialog, HWND owner) {
    // The mouse belongs to the box now: a capture held since before it was made ends here,
    // after WM_INITDIALOG.
    if (GetCapture() != nullptr) ReleaseCapture();
    DialogState* state = DialogOf(dialog);
    if (state != nullptr && !state->ended) state->disabledOwner = owner;
    bool shown = false;
    const bool idleMessages = (GetWindowLongW(dialog, GWL_STYLE) & DS_NOIDLEMSG) == 0;
    INT_PTR result = 0;
    bool quit = false;
    MSG msg;
    while ((state = DialogOf(dialog)) != nullptr && !state->ended) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            // Shown only now: what WM_INITDIALOG posted has run while it was still hidden.
            if (!shown) {
                shown = true;
                ShowWindow(dialog, SW_SHOWNORMAL);
                continue;
            }
            // About to wait: the owner hears that the dialog is idle.
            if (idleMessages && owner != nullptr && IsWindow(owner)) {
                SendMessageW(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            }
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            quit = true;
            break;
        }
        if (got == -1) continue;
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // A timer's message comes only when nothing else waits: the queue has run dry.
        if (!shown && msg.message == WM_TIMER && IsWindow(dialog)) {
            shown = true;
            ShowWindow(dialog, SW_SHOWNORMAL);
        }
    }
    if ((state = DialogOf(dialog)) != nullptr && state->ended) result = state->result;
    // A run that WM_QUIT ends answers IDOK and leaves its owner disabled: the program is
    // closing.
    if (quit) {
        result = IDOK;
    } else if (state != nullptr && state->disabledOwner != nullptr && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    } else if (state == nullptr && IsWindow(owner)) {
        EnableWindow(owner, TRUE);  // the dialog went without EndDialog
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    return result;
}

}  // namespace win32

namespace {

INT_PTR RunModal(const std::optional<win32::resources::DialogTemplate>& dialogTemplate,
                 HINSTANCE instance, HWND parent, DLGPROC dialogProc, LPARAM initParam) {
    if (!dialogTemplate) return -1;
    HWND owner = win32::OwnerFromParent(parent);
    if (owner != nullptr) EnableWindow(owner, FALSE);
    HWND dialog = win32::CreateDialogFromTemplate(*dialogTemplate, instance, owner, dialogProc,
                                                  initParam, true);
    if (dialog == nullptr) {
        if (IsWindow(owner)) EnableWindow(owner, TRUE);
        return -1;
    }
    return win32::RunModalDialog(dialog, owner);
}

}  // namespace

// An invalid parent makes the modal calls return 0, not -1, for compatibility.
INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!win32::IsValidDialogParent(hWndParent)) return 0;
    return RunModal(win32::LoadDialogTemplate(hInstance, lpTemplateName), hInstance, hWndParent,
                    lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    if (!win32::IsValidDialogParent(hWndParent)) return 0;
    return RunModal(win32::ReadTemplateInMemory(hDialogTemplate), hInstance, hWndParent,
                    lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    if (win32::CheckWindow(hDlg) == nullptr) return FALSE;
    win32::DialogState* state = win32::DialogOf(hDlg);
    if (state == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // The modal loop ends when it next looks. At once, before the handler returns: the owner
    // is enabled (a modeless dialog's too, whoever disabled it), the focus leaves the controls
    // for the dialog itself, and the dialog is hidden (without WM_SHOWWINDOW), which hands
    // activation to its owner.
    state->ended = true;
    state->result = nResult;
    state->disabledOwner = nullptr;
    if (HWND owner = GetWindow(hDlg, GW_OWNER); IsWindow(owner)) EnableWindow(owner, TRUE);
    if (IsChild(hDlg, GetFocus())) SetFocus(hDlg);
    SetWindowPos(hDlg, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A dialog activated before it was ever shown gives the activation back as well.
    if (IsWindow(hDlg) && GetActiveWindow() == hDlg)
        win32::Activate(win32::NextActiveWindow(hDlg), WA_ACTIVE);
    // Wakes a modal loop that waits for input (EndDialog from outside a message).
    if (state->modal) PostMessageW(hDlg, WM_NULL, 0, 0);
    return TRUE;
}
