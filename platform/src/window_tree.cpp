// SPDX-License-Identifier: MIT
// The window tree as USER32 shows it: parents, owners, siblings in z-order, and window states.
#include <windows.h>

#include <algorithm>

#include "src/window.h"

using win32::FindWindow;
using win32::Window;

BOOL WINAPI IsWindow(HWND hWnd) { return FindWindow(hWnd) != nullptr ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    // Visible means: the window and all its ancestors have WS_VISIBLE.
    Window* window = FindWindow(hWnd);
    if (window == nullptr) return FALSE;
    for (;;) {
        if (!window->IsVisible()) return FALSE;
        if (!window->IsChild()) return TRUE;
        window = FindWindow(window->parent);
        if (window == nullptr) return FALSE;
    }
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    Window* window = FindWindow(hWnd);
    return window != nullptr && window->IsEnabled() ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    Window* window = FindWindow(hWnd);
    if (window == nullptr || hWndParent == hWnd) return FALSE;
    return window->IsChild() && win32::IsSelfOrDescendant(hWndParent, window->parent) ? TRUE
                                                                                      : FALSE;
}

HWND WINAPI GetDesktopWindow() { return win32::DesktopWindow(); }

// A child's parent, or a pop-up's owner; an overlapped window has no parent.
HWND WINAPI GetParent(HWND hWnd) {
    Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return nullptr;
    if (window->IsChild()) return window->parent;
    if (window->style & WS_POPUP) return window->owner;
    return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    Window* window = win32::CheckWindow(hwnd);
    if (window == nullptr || win32::IsDesktop(hwnd)) return nullptr;
    switch (gaFlags) {
        case GA_PARENT:
            return window->IsChild() ? window->parent : win32::DesktopWindow();
        case GA_ROOT:
            return win32::RootOf(hwnd);
        case GA_ROOTOWNER: {
            HWND root = win32::RootOf(hwnd);
            for (Window* top = FindWindow(root); top != nullptr && top->owner != nullptr;) {
                root = top->owner;
                top = FindWindow(root);
            }
            return root;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return nullptr;
    if (uCmd == GW_OWNER) return window->IsChild() ? nullptr : window->owner;
    if (uCmd == GW_CHILD) {
        if (win32::IsDesktop(hWnd)) {
            auto& top = win32::TopLevelWindows();
            return top.empty() ? nullptr : top.front();
        }
        return window->children.empty() ? nullptr : window->children.front();
    }
    if (uCmd == GW_ENABLEDPOPUP) return nullptr;
    if (uCmd > GW_HWNDPREV) {
        SetLastError(ERROR_INVALID_GW_COMMAND);
        return nullptr;
    }
    if (win32::IsDesktop(hWnd)) return nullptr;
    const std::vector<HWND>& siblings = win32::Siblings(*window);
    if (siblings.empty()) return nullptr;
    auto self = std::find(siblings.begin(), siblings.end(), hWnd);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return siblings.front();
        case GW_HWNDLAST:
            return siblings.back();
        case GW_HWNDNEXT:
            return self == siblings.end() || self + 1 == siblings.end() ? nullptr : *(self + 1);
        default:  // GW_HWNDPREV
            return self == siblings.end() || self == siblings.begin() ? nullptr : *(self - 1);
    }
}

HWND WINAPI GetTopWindow(HWND hWnd) {
    if (hWnd == nullptr) hWnd = win32::DesktopWindow();
    return GetWindow(hWnd, GW_CHILD);
}

DWORD WINAPI GetWindowThreadProcessId(HWND hWnd, LPDWORD lpdwProcessId) {
    if (win32::CheckWindow(hWnd) == nullptr) return 0;
    if (lpdwProcessId != nullptr) *lpdwProcessId = GetCurrentProcessId();
    return GetCurrentThreadId();
}
