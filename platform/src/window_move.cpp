// SPDX-License-Identifier: MIT
#include "src/window_move.h"

#include <algorithm>

#include "src/display_manager.h"
#include "src/window.h"

namespace win32 {

namespace {

const OpenSystemMenu* openMenu = nullptr;

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCRBUTTONUP);
}

// The next message of a menu or move loop; false when the loop must end: WM_QUIT, posted again
// for the loop outside.
bool NextMessage(MSG& msg) {
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got != -1) return true;
    }
}

std::vector<SystemMenuItem> MenuItems(HWND hwnd) {
    const Window* window = FindWindow(hwnd);
    const DWORD style = window->style;
    const bool minimized = window->IsMinimized();
    std::vector<SystemMenuItem> items;
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        items.push_back({u"&Restore", SC_RESTORE, minimized});
    items.push_back({u"&Move", SC_MOVE, !minimized});
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        items.push_back({u"Mi&nimize", SC_MINIMIZE, !minimized && (style & WS_MINIMIZEBOX)});
    items.push_back({u"&Close", SC_CLOSE, !(window->windowClass->style & CS_NOCLOSE)});
    return items;
}

// The next enabled item from `from` in direction `step` (+1 or -1), round the list.
std::size_t NextEnabled(const std::vector<SystemMenuItem>& items, std::size_t from, int step) {
    const std::size_t count = items.size();
    for (std::size_t i = 1; i <= count; ++i) {
        const std::size_t index = (from + count + static_cast<std::size_t>(step) * i) % count;
        if (items[index].enabled) return index;
    }
    return from;
}

// The item whose mnemonic is `c`, if it is enabled.
const SystemMenuItem* ItemOfMnemonic(const std::vector<SystemMenuItem>& items, WPARAM c) {
    const auto lower = [](WPARAM u) { return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u; };
    for (const SystemMenuItem& item : items) {
        const std::size_t amp = item.text.find(u'&');
        if (amp + 1 < item.text.size() && lower(item.text[amp + 1]) == lower(c))
            return item.enabled ? &item : nullptr;
    }
    return nullptr;
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

const OpenSystemMenu* CurrentSystemMenu() { return openMenu; }

void TrackSystemMenu(HWND hwnd) {
    if (FindWindow(hwnd) == nullptr || openMenu != nullptr) return;
    WPARAM chosen = 0;
    {
        OpenSystemMenu menu{hwnd, MenuItems(hwnd), 0};
        if (!menu.items[0].enabled) menu.highlighted = NextEnabled(menu.items, 0, 1);
        openMenu = &menu;
        MarkDirty();
        // Closed however the loop ends, also by input that ran out (an exception).
        struct Closing {
            ~Closing() {
                openMenu = nullptr;
                MarkDirty();
            }
        } closing;
        SendMessageW(hwnd, WM_ENTERMENULOOP, FALSE, 0);
        MSG msg;
        bool open = true;
        while (open && IsWindow(hwnd) && NextMessage(msg)) {
            switch (msg.message) {
                case WM_KEYDOWN:
                case WM_SYSKEYDOWN:
                    if (msg.wParam == VK_UP || msg.wParam == VK_DOWN) {
                        menu.highlighted =
                            NextEnabled(menu.items, menu.highlighted, msg.wParam == VK_UP ? -1 : 1);
                        MarkDirty();
                    } else if (msg.wParam == VK_RETURN) {
                        if (menu.items[menu.highlighted].enabled)
                            chosen = menu.items[menu.highlighted].command;
                        open = false;
                    } else if (msg.wParam == VK_ESCAPE || msg.wParam == VK_MENU) {
                        open = false;
                    } else {
                        TranslateMessage(&msg);  // letters choose by mnemonic
                    }
                    break;
                case WM_CHAR:
                case WM_SYSCHAR:
                    if (const SystemMenuItem* item = ItemOfMnemonic(menu.items, msg.wParam)) {
                        chosen = item->command;
                        open = false;
                    } else {
                        MessageBeep(MB_OK);
                    }
                    break;
                case WM_LBUTTONDOWN:
                case WM_NCLBUTTONDOWN:
                    open = false;  // a click elsewhere dismisses the menu
                    break;
                default:
                    if (!IsInput(msg.message)) DispatchMessageW(&msg);
                    break;
            }
        }
    }
    if (!IsWindow(hwnd)) return;
    SendMessageW(hwnd, WM_EXITMENULOOP, FALSE, 0);
    if (chosen != 0) SendMessageW(hwnd, WM_SYSCOMMAND, chosen, 0);
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
    while (moving && GetCapture() == hwnd && NextMessage(msg)) {
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
                if (!IsInput(msg.message)) DispatchMessageW(&msg);
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
