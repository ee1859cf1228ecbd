// SPDX-License-Identifier: MIT
// The dialog manager's own state of a dialog window and the steps its parts share: creating a
// dialog from a template, the keyboard-style focus move, default-button tracking and the modal
// run. Internal to the platform.
#pragma once

#include <windows.h>

#include <optional>

#include "resources/dialog_template.h"

namespace win32 {

struct DialogState {
    HFONT font = nullptr;  // made from the template's font; freed with the dialog
    POINT baseUnits{};     // dialog base units of that font
    UINT defaultId = 0;    // DM_SETDEFID, initially the template's default push button
    HWND savedFocus = nullptr;
    bool modal = false;
    bool ansiProc = false;         // the procedure at DWLP_DLGPROC was given as an ANSI one
    HWND disabledOwner = nullptr;  // the owner of a modal run, disabled until EndDialog
    bool ended = false;            // EndDialog was called
    INT_PTR result = 0;
};

// The dialog state of `hwnd`; nullptr for windows that are not dialogs.
DialogState* DialogOf(HWND hwnd);
// Makes `hwnd` a dialog (a "#32770" window created by CreateWindowExW gets its state here).
DialogState& AdoptAsDialog(HWND hwnd);

// Registers the dialog class "#32770" with DefDlgProcW and DLGWINDOWEXTRA bytes.
void RegisterDialogClass();

// Creates the dialog window and its controls from a parsed template, sends WM_SETFONT and
// WM_INITDIALOG and sets the first focus; shows it only when the template has WS_VISIBLE and
// `modal` is false. nullptr (last error set) on failure.
HWND CreateDialogFromTemplate(const resources::DialogTemplate& dialogTemplate, HINSTANCE instance,
                              HWND owner, DLGPROC dialogProc, LPARAM initParam, bool modal);

// The dialog template of a resource of the program (last error set when there is none), or one
// in memory.
std::optional<resources::DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name);
std::optional<resources::DialogTemplate> ReadTemplateInMemory(LPCDLGTEMPLATEW dialogTemplate);
// Whether a dialog may be made with `parent`: none, the desktop or a live window (for a stale
// or bogus one the last error is set).
bool IsValidDialogParent(HWND parent);
// The owner a top-level dialog gets for the parent it was given: the parent's top-level window;
// none for the desktop.
HWND OwnerFromParent(HWND parent);

// Runs a modal dialog created by CreateDialogFromTemplate until EndDialog; returns its value.
INT_PTR RunModalDialog(HWND dialog, HWND owner);

// Focus moved by the dialog manager (Tab, arrows, WM_NEXTDLGCTL, the first focus): tracks the
// default push button, selects an edit's whole text when `selectAll`, then sets the focus.
void MoveDialogFocus(HWND dialog, HWND control, bool selectAll);

// Gives the default-button look to `focus` if it is a push button, else back to the dialog's
// default button, and takes it from every other push button.
void TrackDefaultButton(HWND dialog, HWND focus);

// The direct child of `dialog` that holds `hwnd` (itself a child or a grandchild); nullptr.
HWND DialogControlOf(HWND dialog, HWND hwnd);

}  // namespace win32
