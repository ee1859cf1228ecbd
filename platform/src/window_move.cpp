// SPDX-License-Identifier: MIT
#include "src/window_move.h"

#include <algorithm>

#include "src/display_manager.h"
#include "src/popup_menu.h"
#include "src/window.h"

namespace win32 {

namespace {

std::vector<MenuItem> MenuItems(HWND hwnd) {
    const Window* window = FindWindow(hwnd);
    const DWORD style = window->style;
    const bool minimized = window->IsMinimized();
    std::vector<MenuItem> items;
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        items.push_back({u"&Restore", SC_RESTORE, minimized});
    items.push_back({u"&Move", SC_MOVE, !minimized});
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        items.push_back({u"Mi&nimize", SC_MINIMIZE, !minimized && (style & WS_MINIMIZEBOX)});
    items.push_back({u"&Close", SC_CLOSE, !(window->windowClass->style & CS_NOCLOSE)});
    return items;
}

// Moves `rect` the least so that the caption (the window's width, `captionBottom` pixels from
// its top) lies on `work`; a window wider than the work area keeps it covered.
RECT WithCaptionOn(RECT rect, const RECT& work, LONG captionBottom) {
    const LONG width = rect.right - rect.left;
    const LONG lowX = std::min(work.left, work.right - width);
    const LONG highX = std::max(work.left, work.right - width);
    const LONG x = std::clamp(rect.left, lowX, highX);
    const LONG y = std::clamp(rect.top, work.top, std::max(work.top, work.bottom - captionBottom));
    OffsetRect(&rect, x - rect.left, y - rect.top);
    return rect;
}

}  // namespace

void TrackSystemMenu(HWND hwnd, std::optional<POINT> at) {
    if (FindWindow(hwnd) == nullptr) return;
    // From the keyboard the menu hangs below the caption's left end.
    const UINT chosen =
        TrackMenu(hwnd, MenuItems(hwnd), at.value_or(ClientOrigin(hwnd)), !at, FALSE);
    if (chosen != 0 && IsWindow(hwnd)) SendMessageW(hwnd, WM_SYSCOMMAND, chosen, 0);
}

void TrackMove(HWND hwnd, bool byMouse, POINT cursor) {
    if (FindWindow(hwnd) == nullptr || IsIconic(hwnd)) return;
    RECT original;
    GetWindowRect(hwnd, &original);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const LONG captionBottom = ClientOrigin(hwnd).y - original.top;
    const SystemMetricsSet metrics = CurrentMetrics();

    SetCapture(hwnd);
    SendMessageW(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    RECT rect = original;
    bool moving = true;
    MSG msg;
    while (moving && GetCapture() == hwnd && NextLoopMessage(msg)) {
        RECT target = rect;
        switch (msg.message) {
            case WM_KEYDOWN:
            case WM_SYSKEYDOWN:
                switch (msg.wParam) {
                    case VK_LEFT:
                        OffsetRect(&target, -metrics.keyboardMoveX, 0);
                        break;
                    case VK_RIGHT:
                        OffsetRect(&target, metrics.keyboardMoveX, 0);
                        break;
                    case VK_UP:
                        OffsetRect(&target, 0, -metrics.keyboardMoveY);
                        break;
                    case VK_DOWN:
                        OffsetRect(&target, 0, metrics.keyboardMoveY);
                        break;
                    case VK_RETURN:
                        moving = false;
                        break;
                    case VK_ESCAPE:
                        // Back where it was, without asking the window again.
                        rect = target = original;
                        SetWindowPos(hwnd, nullptr, rect.left, rect.top, 0, 0,
                                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                        moving = false;
                        break;
                    default:
                        break;
                }
                break;
            case WM_MOUSEMOVE:
            case WM_LBUTTONUP:
                if (byMouse) {
                    target = original;
                    OffsetRect(&target, msg.pt.x - cursor.x, msg.pt.y - cursor.y);
                    moving = msg.message == WM_MOUSEMOVE;
                }
                break;
            case WM_LBUTTONDOWN:
                moving = byMouse;  // a click ends a keyboard move where it is
                break;
            default:
                if (!IsInputMessage(msg.message)) DispatchMessageW(&msg);
                break;
        }
        if (EqualRect(&target, &rect)) continue;
        SendMessageW(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&target));
        if (!IsWindow(hwnd)) return;
        rect = WithCaptionOn(target, monitor.rcWork, captionBottom);
        SetWindowPos(hwnd, nullptr, rect.left, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!IsWindow(hwnd)) return;
    if (GetCapture() == hwnd) ReleaseCapture();
    SendMessageW(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace win32
