// SPDX-License-Identifier: MIT
// Moving through a dialog's controls: the tab order (visible, enabled WS_TABSTOP controls in
// z-order, wrapping, into nested WS_EX_CONTROLPARENT containers), groups (from a WS_GROUP control
// to the next), the keyboard-style focus move and the default push button that follows the focus.
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

// A container the tab order goes into: its controls are the dialog's.
bool IsControlParent(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    return window != nullptr && (window->exStyle & WS_EX_CONTROLPARENT) && window->IsVisible() &&
           window->IsEnabled();
}

HWND FirstChild(HWND parent, bool last) {
    Window* window = FindWindow(parent);
    if (window == nullptr || window->children.empty()) return nullptr;
    return last ? window->children.back() : window->children.front();
}

std::size_t CountDescendants(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr) return 0;
    std::size_t count = 0;
    for (HWND child : window->children) count += 1 + CountDescendants(child);
    return count;
}

// The window after `hwnd` in the tab order, without going into `hwnd`: its next sibling, or
// its parent's, and so on up; past the end of the dialog, round to its start.
HWND NextInTabOrder(HWND dialog, HWND hwnd, bool previous) {
    for (Window* window = FindWindow(hwnd); window != nullptr;) {
        if (window->handle == dialog) return FirstChild(dialog, previous);
        Window* parent = FindWindow(window->parent);
        if (parent == nullptr || !window->IsChild()) return nullptr;
        const std::vector<HWND>& siblings = parent->children;
        auto at = std::find(siblings.begin(), siblings.end(), window->handle);
        if (at == siblings.end()) return nullptr;
        if (previous && at != siblings.begin()) return *(at - 1);
        if (!previous && at + 1 != siblings.end()) return *(at + 1);
        window = parent;
    }
    return nullptr;
}

// The next window the walk stops at: the window after `hwnd`, and inside it, as long as it is a
// container with controls, its first (or last) one.
HWND NextLeaf(HWND dialog, HWND hwnd, bool previous) {
    HWND node = NextInTabOrder(dialog, hwnd, previous);
    while (node != nullptr && IsControlParent(node)) {
        HWND inner = FirstChild(node, previous);
        if (inner == nullptr) break;
        node = inner;
    }
    return node;
}

// Enough steps for a walk to come round the whole dialog, wherever it starts.
std::size_t WalkLimit(HWND dialog) { return 2 * (CountDescendants(dialog) + 1); }

// The first (or the last) control of the group of `hwnd`: groups run from a WS_GROUP control to
// the next one, round the end of the dialog (the first control starts a group only when it has
// WS_GROUP itself).
HWND GroupEdge(HWND dialog, HWND hwnd, bool last) {
    HWND edge = hwnd;
    for (std::size_t step = 0, limit = WalkLimit(dialog); step < limit; ++step) {
        if (!last && HasGroupStyle(edge)) return edge;
        HWND next = NextLeaf(dialog, edge, !last);
        if (next == nullptr || next == hwnd || (last && HasGroupStyle(next))) return edge;
        edge = next;
    }
    return edge;
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
    if (!IsWindow(control)) return;
    SetFocus(control);
    // Activating the dialog on the way gives the dialog the focus, which hands it to the first
    // control and the default look with it: the look follows where the focus ended.
    if (GetFocus() == control) TrackDefaultButton(dialog, control);
}

}  // namespace win32

using win32::FindWindow;

HWND WINAPI GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    win32::Window* dialog = win32::CheckWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    // Backwards from no control (or from the dialog) there is nothing.
    if (bPrevious && (hCtl == nullptr || hCtl == hDlg)) return nullptr;
    const bool previous = bPrevious != FALSE;
    // A control below one that is no container is walked from as if it could be reached.
    const bool inside = hCtl != nullptr && win32::DialogControlOf(hDlg, hCtl) != nullptr;
    HWND node = inside ? hCtl : win32::NextLeaf(hDlg, hDlg, true);
    for (std::size_t step = 0, limit = win32::WalkLimit(hDlg); node != nullptr && step < limit;
         ++step) {
        node = win32::NextLeaf(hDlg, node, previous);
        if (node == nullptr || node == hCtl) break;
        if (win32::IsTabStop(node)) return node;
    }
    return hCtl;
}

HWND WINAPI GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    win32::Window* dialog = win32::CheckWindow(hDlg);
    if (dialog == nullptr) return nullptr;
    if (dialog->children.empty()) return nullptr;
    // Backwards from no control (or from the dialog) there is nothing; forwards the search
    // starts at the last control.
    if (bPrevious && (hCtl == nullptr || hCtl == hDlg)) return nullptr;
    const bool previous = bPrevious != FALSE;
    HWND current = hCtl;
    if (hCtl == nullptr || hCtl == hDlg) {
        current = win32::NextLeaf(hDlg, hDlg, true);
    } else if (win32::DialogControlOf(hDlg, hCtl) == nullptr) {
        return nullptr;
    }
    HWND node = current;
    for (std::size_t step = 0, limit = win32::WalkLimit(hDlg); node != nullptr && step < limit;
         ++step) {
        if (previous) {
            // Back from the group's first control is round to its last.
            node = win32::HasGroupStyle(node) ? win32::GroupEdge(hDlg, current, true)
                                              : win32::NextLeaf(hDlg, node, true);
        } else {
            // On into the next group is round to this group's first control.
            node = win32::NextLeaf(hDlg, node, false);
            if (node != nullptr && win32::HasGroupStyle(node))
                node = win32::GroupEdge(hDlg, current, false);
        }
        if (node == nullptr || node == current) break;
        if (win32::IsReachable(node)) return node;
    }
    return current;
}
