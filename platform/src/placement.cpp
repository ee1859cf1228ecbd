// SPDX-License-Identifier: MIT
// Window placement: rectangles in screen and client coordinates, mapping points between windows,
// SetWindowPos with its WM_WINDOWPOSCHANGING/WM_WINDOWPOSCHANGED, and finding windows by point.
#include "src/placement.h"

#include <algorithm>
#include <vector>

#include "src/display_manager.h"
#include "src/focus.h"
#include "src/window.h"

namespace win32 {

namespace {

LPARAM PointParam(POINT pt) { return MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)); }

// The desktop's rectangle is the primary monitor's.
RECT ScreenRectOf(HWND hwnd, const Window& window) {
    if (IsDesktop(hwnd)) {
        std::vector<MonitorArea> monitors = CurrentMonitors();
        return monitors.empty() ? RECT{} : monitors[0].monitor;
    }
    return WindowRectOnScreen(window);
}

void Reorder(Window& window, HWND insertAfter) {
    std::vector<HWND>& siblings = Siblings(window);
    auto self = std::find(siblings.begin(), siblings.end(), window.handle);
    if (self == siblings.end()) return;
    siblings.erase(self);
    if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(window.handle);
        return;
    }
    auto after = std::find(siblings.begin(), siblings.end(), insertAfter);
    if (insertAfter == HWND_TOP || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST ||
        after == siblings.end()) {
        siblings.insert(siblings.begin(), window.handle);
    } else {
        siblings.insert(after + 1, window.handle);
    }
}

}  // namespace

BOOL PlaceWindow(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    Window* window = CheckWindow(hwnd);
    if (window == nullptr) return FALSE;
    if (IsDesktop(hwnd)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const RECT old = window->rect;
    WINDOWPOS pos{hwnd, insertAfter, x, y, std::max(cx, 0), std::max(cy, 0), flags};
    if (flags & SWP_NOMOVE) {
        pos.x = old.left;
        pos.y = old.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = old.right - old.left;
        pos.cy = old.bottom - old.top;
    }
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if ((window = FindWindow(hwnd)) == nullptr) return FALSE;
    }
    window->rect = RECT{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    if (!window->IsMinimized()) window->restoredRect = window->rect;
    if (window->rect.left == old.left && window->rect.top == old.top) pos.flags |= SWP_NOMOVE;
    if (window->rect.right - window->rect.left == old.right - old.left &&
        window->rect.bottom - window->rect.top == old.bottom - old.top) {
        pos.flags |= SWP_NOSIZE;
    }
    if (!(flags & SWP_NOZORDER)) Reorder(*window, pos.hwndInsertAfter);
    if (flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
    const bool hide = (flags & SWP_HIDEWINDOW) && window->IsVisible();
    if (hide) window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    MarkDirty();
    if (hide && !window->IsChild() && GetActiveWindow() == hwnd) {
        Activate(NextActiveWindow(hwnd), WA_ACTIVE);
    } else if (!(flags & SWP_NOACTIVATE) && !window->IsChild() && window->IsVisible() &&
               window->IsEnabled()) {
        // Without SWP_NOACTIVATE, SetWindowPos activates a top-level window.
        Activate(hwnd, WA_ACTIVE);
    }
    if (IsWindow(hwnd)) SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

HWND WindowAtPoint(POINT screen, LRESULT* hit) {
    std::vector<HWND> topLevel = TopLevelWindows();
    for (HWND top : topLevel) {
        Window* window = FindWindow(top);
        if (window == nullptr || !window->IsVisible()) continue;
        RECT rect = WindowRectOnScreen(*window);
        if (!PtInRect(&rect, screen)) continue;
        LRESULT code = SendMessageW(top, WM_NCHITTEST, 0, PointParam(screen));
        if (code == HTTRANSPARENT || !IsWindow(top)) continue;
        HWND current = top;
        // Children lie in their parent's client area; look for the topmost one under the point.
        while (code == HTCLIENT) {
            Window* parent = FindWindow(current);
            if (parent == nullptr) break;
            std::vector<HWND> children = parent->children;
            HWND next = nullptr;
            LRESULT nextCode = HTNOWHERE;
            for (HWND child : children) {
                Window* candidate = FindWindow(child);
                if (candidate == nullptr || !candidate->IsVisible()) continue;
                RECT childRect = WindowRectOnScreen(*candidate);
                if (!PtInRect(&childRect, screen)) continue;
                // A disabled child takes the point, and its parent gets the input.
                if (!candidate->IsEnabled()) break;
                LRESULT childCode = SendMessageW(child, WM_NCHITTEST, 0, PointParam(screen));
                if (childCode == HTTRANSPARENT) continue;
                next = child;
                nextCode = childCode;
                break;
            }
            if (next == nullptr) break;
            current = next;
            code = nextCode;
        }
        if (hit != nullptr) *hit = code;
        return current;
    }
    return nullptr;
}

}  // namespace win32

using win32::FindWindow;

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (lpRect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = win32::ScreenRectOf(hWnd, *window);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (lpRect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT client = win32::IsDesktop(hWnd) ? win32::ScreenRectOf(hWnd, *window)
                                         : win32::ClientRectOnScreen(*window);
    *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    if ((hWndFrom != nullptr && win32::CheckWindow(hWndFrom) == nullptr) ||
        (hWndTo != nullptr && win32::CheckWindow(hWndTo) == nullptr)) {
        return 0;
    }
    POINT from = win32::ClientOrigin(hWndFrom);
    POINT to = win32::ClientOrigin(hWndTo);
    const LONG dx = from.x - to.x;
    const LONG dy = from.y - to.y;
    for (UINT i = 0; lpPoints != nullptr && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    // The offsets packed in 16 bits each; 0 is also the failure value (see SetLastError).
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (win32::CheckWindow(hWnd) == nullptr || lpPoint == nullptr) return FALSE;
    POINT origin = win32::ClientOrigin(hWnd);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (win32::CheckWindow(hWnd) == nullptr || lpPoint == nullptr) return FALSE;
    POINT origin = win32::ClientOrigin(hWnd);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
    return win32::PlaceWindow(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return win32::PlaceWindow(hWnd, nullptr, X, Y, nWidth, nHeight,
                              SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
    if (lpRect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT insets = win32::NonClientInsets(dwStyle, dwExStyle);
    lpRect->left -= insets.left;
    lpRect->top -= insets.top;
    lpRect->right += insets.right;
    lpRect->bottom += insets.bottom;
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT Point) { return win32::WindowAtPoint(Point, nullptr); }

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    win32::Window* parent = win32::CheckWindow(hWndParent);
    if (parent == nullptr) return nullptr;
    RECT client;
    GetClientRect(hWndParent, &client);
    if (!PtInRect(&client, Point)) return nullptr;
    POINT screen = Point;
    ClientToScreen(hWndParent, &screen);
    for (HWND child : parent->children) {
        win32::Window* window = FindWindow(child);
        if (window == nullptr) continue;
        RECT rect = win32::WindowRectOnScreen(*window);
        if (PtInRect(&rect, screen)) return child;
    }
    return hWndParent;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}
