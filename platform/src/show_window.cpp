// SPDX-License-Identifier: MIT
// ShowWindow: visibility, minimising and restoring, and the activation that goes with them.
#include <windows.h>

#include "src/display_manager.h"
#include "src/focus.h"
#include "src/placement.h"
#include "src/window.h"

namespace win32 {

namespace {

void Minimize(Window& window) {
    if (window.IsMinimized()) return;
    const SystemMetricsSet metrics = CurrentMetrics();
    window.restoredRect = window.rect;
    window.style |= WS_MINIMIZE;
    // Windows parks minimised top-level windows far off the screen.
    if (!window.IsChild()) {
        window.rect = RECT{kMinimizedPosition, kMinimizedPosition,
                           kMinimizedPosition + metrics.minimizedWidth,
                           kMinimizedPosition + metrics.minimizedHeight};
    }
    SendMessageW(window.handle, WM_SIZE, SIZE_MINIMIZED, 0);
}

void Restore(Window& window) {
    if (!window.IsMinimized()) return;
    HWND hwnd = window.handle;
    window.style &= ~static_cast<DWORD>(WS_MINIMIZE);
    window.rect = window.restoredRect;
    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

// The window passes the focus and activation on when it is hidden or minimised.
void LeaveActivation(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr) return;
    if (!window->IsChild()) {
        if (GetActiveWindow() == hwnd) Activate(NextActiveWindow(hwnd), WA_ACTIVE);
    } else if (IsSelfOrDescendant(hwnd, GetFocus())) {
        SetFocus(window->parent);
    }
}

}  // namespace

}  // namespace win32

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    using namespace win32;
    Window* window = CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (nCmdShow < SW_HIDE || nCmdShow > SW_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BOOL wasVisible = window->IsVisible() ? TRUE : FALSE;
    if (nCmdShow == SW_HIDE) {
        if (!wasVisible) return FALSE;
        SendMessageW(hWnd, WM_SHOWWINDOW, FALSE, 0);
        if ((window = FindWindow(hWnd)) == nullptr) return wasVisible;
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        MarkDirty();
        LeaveActivation(hWnd);
        return wasVisible;
    }

    if (!wasVisible) {
        SendMessageW(hWnd, WM_SHOWWINDOW, TRUE, 0);
        if ((window = FindWindow(hWnd)) == nullptr) return wasVisible;
        window->style |= WS_VISIBLE;
        MarkDirty();
    }
    bool activate = false;
    switch (nCmdShow) {
        case SW_MINIMIZE:
        case SW_FORCEMINIMIZE:
        case SW_SHOWMINNOACTIVE:
            Minimize(*window);
            // SW_MINIMIZE hands activation to the next window; SW_SHOWMINNOACTIVE leaves it.
            if (nCmdShow != SW_SHOWMINNOACTIVE) LeaveActivation(hWnd);
            break;
        case SW_SHOWMINIMIZED:
            Minimize(*window);
            activate = true;
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
        case SW_SHOWDEFAULT:
        case SW_SHOWMAXIMIZED:
            Restore(*window);
            activate = true;
            break;
        case SW_SHOWNOACTIVATE:
            Restore(*window);
            break;
        case SW_SHOW:
            activate = true;
            break;
        default:  // SW_SHOWNA
            break;
    }
    window = FindWindow(hWnd);
    if (activate && window != nullptr && !window->IsChild() && window->IsEnabled()) {
        if (GetActiveWindow() != hWnd) {
            Activate(hWnd, WA_ACTIVE);
        } else if (GetFocus() == nullptr && !window->IsMinimized()) {
            SetFocus(hWnd);  // restored while active: the focus comes back
        }
    }
    MarkDirty();
    return wasVisible;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    win32::Window* window = win32::FindWindow(hWnd);
    return window != nullptr && window->IsMinimized() ? TRUE : FALSE;
}
