// SPDX-License-Identifier: MIT
// DestroyWindow, in Windows' order: the window is hidden and loses activation and focus; its
// owned windows are destroyed; WM_DESTROY goes to the window and then down to its children
// (which still exist while their parent handles it); WM_NCDESTROY goes to the children first
// and to the window last, and each handle dies with its WM_NCDESTROY.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "src/caret.h"
#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/focus.h"
#include "src/message_queue.h"
#include "src/window.h"

namespace win32 {

namespace {

void SendDestroy(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr || window->destroying) return;
    window->destroying = true;
    SendMessageW(hwnd, WM_DESTROY, 0, 0);
    window = FindWindow(hwnd);
    if (window == nullptr) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children) SendDestroy(child);
}

void Free(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children) Free(child);
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    window = FindWindow(hwnd);
    if (window == nullptr) return;
    std::vector<HWND>& siblings = Siblings(*window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    --window->windowClass->windows;
    DiscardMessagesFor(hwnd);
    ForgetWindow(hwnd);
    ForgetCaretOwner(hwnd);
    ReleaseWindow(hwnd);
}

}  // namespace

}  // namespace win32

BOOL WINAPI DestroyWindow(HWND hWnd) {
    using namespace win32;
    Window* window = CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (IsDesktop(hWnd)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (window->destroying) return TRUE;  // already on its way out
    const bool child = window->IsChild();
    if (child && !(window->exStyle & WS_EX_NOPARENTNOTIFY)) {
        SendMessageW(window->parent, WM_PARENTNOTIFY,
                     MAKEWPARAM(WM_DESTROY, static_cast<WORD>(window->id)),
                     reinterpret_cast<LPARAM>(hWnd));
        window = FindWindow(hWnd);
        if (window == nullptr) return TRUE;
    }
    if (window->IsVisible()) {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        MarkDirty();
    }
    if (!child && GetActiveWindow() == hWnd) {
        Activate(NextActiveWindow(hWnd), WA_ACTIVE);
    } else if (IsSelfOrDescendant(hWnd, GetFocus())) {
        // A child's focus goes to its parent (a dialog passes it on to a control of its own).
        HWND parent = child ? window->parent : nullptr;
        SetFocus(parent != nullptr && IsWindowVisible(parent) ? parent : nullptr);
        window = FindWindow(hWnd);
        if (window == nullptr) return TRUE;
    }
    if (!child) {
        std::vector<HWND> owned;
        for (HWND other : TopLevelWindows()) {
            Window* candidate = FindWindow(other);
            if (candidate != nullptr && candidate->owner == hWnd) owned.push_back(other);
        }
        for (HWND other : owned) DestroyWindow(other);
    }
    if (!IsWindow(hWnd)) return TRUE;
    SendDestroy(hWnd);
    Free(hWnd);
    MarkDirty();
    return TRUE;
}
