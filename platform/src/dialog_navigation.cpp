// SPDX-License-Identifier: MIT
// Moving through a dialog's controls: the tab order (visible, enabled WS_TABSTOP controls in
// z-order, wrapping), groups (from a WS_GROUP control to the next), the keyboard-style focus move
// and the default push button that follows the focus.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "src/dialog.h"
#include "src/window.h"

namespace win32 {

namespace {

bool IsTabStop(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    return window != nullptr && window->IsVisible() && window->IsEnabled() &&
           (window->style & WS_TABSTOP);
}

bool IsReachable(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    return window != nullptr && window->IsVisible() && window->IsEnabled();
}

bool HasGroupStyle(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    return window != nullptr && (window->style & WS_GROUP);
}

UINT DialogCode(HWND hwnd) { return static_cast<UINT>(SendMessageW(hwnd, WM_GETDLGCODE, 0, 0)); }

bool IsPushButton(UINT code) { return (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0; }

}  // namespace

HWND DialogControlOf(HWND dialog, HWND hwnd) {
    for (Window* window = FindWindow(hwnd); window != nullptr && window->IsChild();) {
        if (window->parent == dialog) return window->handle;
        window = FindWindow(window->parent);
    }
    return nullptr;
}

void TrackDefaultButton(HWND dialog, HWND focus) {
    DialogState* state = DialogOf(dialog);
    if (state == nullptr) return;
    HWND control = DialogControlOf(dialog, focus);
    HWND target = nullptr;
    if (control != nullptr && IsPushButton(DialogCode(control))) {
        target = control;
    } else if (state->defaultId != 0) {
        target = GetDlgItem(dialog, static_cast<int>(state->defaultId));
        if (target != nullptr && !IsPushButton(DialogCode(target))) target = nullptr;
    }
    Window* window = FindWindow(dialog);
    if (window == nullptr) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        if (child != target && IsWindow(child) && (DialogCode(child) & DLGC_DEFPUSHBUTTON)) {
            SendMessageW(child, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
    }
    if (target != nullptr && IsWindow(target) && (DialogCode(target) & DLGC_UNDEFPUSHBUTTON)) {
        SendMessageW(target, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

void MoveDialogFocus(HWND dialog, HWND control, bool selectAll) {
    TrackDefaultButton(dialog, control);
    // Entering an edit from the keyboard selects its whole text; a click does not.
    if (selectAll && IsWindow(control) && (DialogCode(control) & DLGC_HASSETSEL)) {
        SendMessageW(control, EM_SETSEL, 0, -1);
    }
    if (IsWindow(control)) SetFocus(control);
}

}  // namespace win32

using win32::FindWindow;

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    win32::Window* dialog = win32::CheckWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    // Backwards from no control (or from the dialog) there is nothing.
    if (bPrevious && (hCtl == nullptr || hCtl == hDlg)) return nullptr;
    const std::vector<HWND> controls = dialog->children;
    const int count = static_cast<int>(controls.size());
    HWND current = hCtl != nullptr ? win32::DialogControlOf(hDlg, hCtl) : nullptr;
    auto at = std::find(controls.begin(), controls.end(), current);
    int start =
        at != controls.end() ? static_cast<int>(at - controls.begin()) : (bPrevious ? count : -1);
    for (int step = 1; step <= count; ++step) {
        int index = ((start + (bPrevious ? -step : step)) % count + count) % count;
        if (win32::IsTabStop(controls[index])) return controls[index];
    }
    return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    win32::Window* dialog = win32::CheckWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    const std::vector<HWND> controls = dialog->children;
    if (controls.empty()) return nullptr;
    // Backwards from no control (or from the dialog) there is nothing; forwards the search
    // starts at the last control.
    if (bPrevious && (hCtl == nullptr || hCtl == hDlg)) return nullptr;
    const int count = static_cast<int>(controls.size());
    HWND current =
        hCtl != nullptr && hCtl != hDlg ? win32::DialogControlOf(hDlg, hCtl) : controls.back();
    auto at = std::find(controls.begin(), controls.end(), current);
    if (at == controls.end()) return nullptr;
    const int position = static_cast<int>(at - controls.begin());
    // The group runs from its WS_GROUP control to the next one, round the end of the list: the
    // first control starts a group only when it has WS_GROUP itself.
    int first = position;
    for (int back = 0; back < count && !win32::HasGroupStyle(controls[first]); ++back) {
        first = (first - 1 + count) % count;
    }
    int size = 1;
    while (size < count && !win32::HasGroupStyle(controls[(first + size) % count])) ++size;
    const int offset = (position - first + count) % count;
    for (int step = 1; step < size; ++step) {
        int index = (first + ((offset + (bPrevious ? -step : step)) % size + size) % size) % count;
        if (win32::IsReachable(controls[index])) return controls[index];
    }
    return current;
}
