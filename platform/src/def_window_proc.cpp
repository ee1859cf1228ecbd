// SPDX-License-Identifier: MIT
// DefWindowProcW: the default handling of window messages (text, closing, system commands, hit
// testing, activation, icons, position changes).
#include <windows.h>

#include <algorithm>

#include "src/display_manager.h"
#include "src/window.h"
#include "src/window_move.h"
#include "win32/ansi_procedures.h"

namespace win32 {

namespace {

// Dialog templates give an icon static's text as 0xFFFF and an ordinal; that is no text.
bool IsOrdinalText(LPCWSTR text) { return text != nullptr && text[0] == 0xFFFF; }

LRESULT GetText(const Window& window, WPARAM size, LPWSTR buffer) {
    if (buffer == nullptr || size == 0) return 0;
    // At most size - 1 characters and always the terminator; the count excludes it.
    std::size_t count = std::min<std::size_t>(window.text.size(), size - 1);
    std::copy_n(window.text.begin(), count, buffer);
    buffer[count] = 0;
    return static_cast<LRESULT>(count);
}

LRESULT HitTest(const Window& window, POINT pt) {
    RECT rect = WindowRectOnScreen(window);
    if (!PtInRect(&rect, pt)) return HTNOWHERE;
    RECT client = ClientRectOnScreen(window);
    if (PtInRect(&client, pt)) return HTCLIENT;
    if ((window.style & WS_CAPTION) == WS_CAPTION) {
        const SystemMetricsSet metrics = CurrentMetrics();
        RECT insets = NonClientInsets(window.style, window.exStyle);
        RECT caption{rect.left + insets.left, client.top - metrics.captionHeight,
                     rect.right - insets.right, client.top};
        if (PtInRect(&caption, pt)) {
            if (window.style & WS_SYSMENU) {
                const int button = metrics.captionButtonWidth;
                if (pt.x >= caption.right - button) return HTCLOSE;
                // With either box, Windows draws both: minimise left of maximise.
                if (window.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
                    if (pt.x >= caption.right - 2 * button) return HTMAXBUTTON;
                    if (pt.x >= caption.right - 3 * button) return HTMINBUTTON;
                }
                if (pt.x < caption.left + metrics.captionHeight) return HTSYSMENU;
            }
            return HTCAPTION;
        }
    }
    return HTBORDER;
}

LRESULT SysCommand(HWND hwnd, WPARAM command, LPARAM lParam) {
    switch (command & 0xFFF0) {
        case SC_CLOSE:
            return SendMessageW(hwnd, WM_CLOSE, 0, 0);
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case SC_KEYMENU:
            // Alt+Space: the window menu of the top-level window.
            if (lParam == VK_SPACE) TrackSystemMenu(hwnd, std::nullopt);
            return 0;
        case SC_MOVE:
            // SC_MOVE | HTCAPTION comes from a press on the caption, at the cursor.
            TrackMove(
                hwnd, (command & 0x000F) == HTCAPTION,
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        default:
            return 0;
    }
}

}  // namespace

// DefWindowProcW handles both kinds: an ANSI message is converted for it.
LRESULT CALLBACK DefAnsiWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallProcedure(Procedure{DefWindowProcW}, true, hwnd, message, wParam, lParam);
}

}  // namespace win32

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    using namespace win32;
    Window* window = FindWindow(hWnd);
    if (window == nullptr) return 0;
    switch (Msg) {
        case WM_NCCREATE: {
            auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if (create != nullptr && create->lpszName != nullptr &&
                !IsOrdinalText(create->lpszName)) {
                window->text = create->lpszName;
            }
            return TRUE;
        }
        case WM_SETTEXT:
            window->text = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : u"";
            MarkDirty();
            return TRUE;
        case WM_GETTEXT:
            return GetText(*window, wParam, reinterpret_cast<LPWSTR>(lParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(window->text.size());
        case WM_NCDESTROY:
            // The window's text goes with it: a control that forgets its own state on
            // WM_NCDESTROY has no text left to give.
            window->text.clear();
            return 0;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SYSCOMMAND:
            return SysCommand(hWnd, wParam, lParam);
        case WM_KEYUP:
            // The menu key asks for the context menu of the window with the focus.
            if (wParam == VK_APPS)
                SendMessageW(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), -1);
            return 0;
        case WM_SYSKEYDOWN:
            // Shift+F10 asks for the context menu; Alt+F4 asks the top-level window to close,
            // unless its class forbids it.
            if (wParam == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000)) {
                SendMessageW(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), -1);
            } else if ((HIWORD(lParam) & KF_ALTDOWN) && wParam == VK_F4) {
                HWND root = RootOf(hWnd);
                Window* top = FindWindow(root);
                if (top != nullptr && !(top->windowClass->style & CS_NOCLOSE)) {
                    PostMessageW(root, WM_SYSCOMMAND, SC_CLOSE, 0);
                }
            }
            return 0;
        case WM_SYSCHAR: {
            // Alt+Space opens the window menu; no menu bar takes Alt+letter: the bell.
            HWND root = RootOf(hWnd);
            if (wParam != VK_SPACE) {
                MessageBeep(MB_OK);
            } else if (GetWindowLongW(root, GWL_STYLE) & WS_SYSMENU) {
                SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
            }
            return 0;
        }
        case WM_NCHITTEST:
            return HitTest(*window, POINT{static_cast<short>(LOWORD(lParam)),
                                          static_cast<short>(HIWORD(lParam))});
        case WM_NCLBUTTONDOWN:
            // The caption buttons act at once; Windows tracks the press until the release.
            if (wParam == HTCLOSE) return SendMessageW(hWnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
            if (wParam == HTMINBUTTON)
                return SendMessageW(hWnd, WM_SYSCOMMAND, SC_MINIMIZE, lParam);
            // A press on the caption moves the window while the button is held.
            if (wParam == HTCAPTION && !window->IsChild())
                return SendMessageW(hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            return 0;
        case WM_MOUSEACTIVATE:
            if (window->IsChild()) {
                LRESULT answer = SendMessageW(window->parent, WM_MOUSEACTIVATE, wParam, lParam);
                if (answer != 0) return answer;
            }
            return MA_ACTIVATE;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !window->IsMinimized()) SetFocus(hWnd);
            return 0;
        case WM_NCACTIVATE:
            return TRUE;
        case WM_SETICON: {
            HICON old;
            if (wParam == ICON_BIG) {
                old = window->bigIcon;
                window->bigIcon = reinterpret_cast<HICON>(lParam);
            } else {
                old = window->smallIcon;
                window->smallIcon = reinterpret_cast<HICON>(lParam);
            }
            MarkDirty();
            return reinterpret_cast<LRESULT>(old);
        }
        case WM_GETICON:
            switch (wParam) {
                case ICON_BIG:
                    return reinterpret_cast<LRESULT>(window->bigIcon);
                case ICON_SMALL:
                    return reinterpret_cast<LRESULT>(window->smallIcon);
                default:  // ICON_SMALL2 falls back to the big icon
                    return reinterpret_cast<LRESULT>(
                        window->smallIcon != nullptr ? window->smallIcon : window->bigIcon);
            }
        case WM_WINDOWPOSCHANGED: {
            auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (pos == nullptr) return 0;
            if (!(pos->flags & SWP_NOMOVE)) {
                POINT origin = ClientOrigin(hWnd);
                if (window->IsChild()) {
                    POINT parent = ClientOrigin(window->parent);
                    origin.x -= parent.x;
                    origin.y -= parent.y;
                }
                SendMessageW(hWnd, WM_MOVE, 0,
                             MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
            }
            if (!(pos->flags & SWP_NOSIZE) && IsWindow(hWnd)) {
                RECT client;
                GetClientRect(hWnd, &client);
                SendMessageW(hWnd, WM_SIZE, IsIconic(hWnd) ? SIZE_MINIMIZED : SIZE_RESTORED,
                             MAKELPARAM(client.right, client.bottom));
            }
            return 0;
        }
        case WM_CANCELMODE:
            if (GetCapture() == hWnd) ReleaseCapture();
            return 0;
        case WM_RBUTTONUP: {
            // The release of the right button asks for a context menu where it was released.
            POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ClientToScreen(hWnd, &at);
            return SendMessageW(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd),
                                MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        }
        case WM_NCRBUTTONUP:
            return SendMessageW(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd), lParam);
        case WM_CONTEXTMENU: {
            // A child passes it to its parent; a top-level window opens its window menu when
            // its caption was clicked.
            if (window->IsChild()) return SendMessageW(window->parent, Msg, wParam, lParam);
            if (lParam == -1) return 0;
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            const LRESULT hit = HitTest(*window, at);
            if ((hit == HTCAPTION || hit == HTSYSMENU) && (window->style & WS_SYSMENU))
                TrackSystemMenu(hWnd, at);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(hWnd, &paint) != nullptr) EndPaint(hWnd, &paint);
            return 0;
        }
        default:
            return 0;
    }
}
