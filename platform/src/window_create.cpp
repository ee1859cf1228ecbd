// SPDX-License-Identifier: MIT
// CreateWindowExW: the window record, its place in the tree, and the creation messages in
// Windows' order (WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY, then showing).
#include <windows.h>

#include <algorithm>

#include "src/display_manager.h"
#include "src/window.h"
#include "src/window_class.h"
#include "win32/ansi_procedures.h"

namespace win32 {

namespace {

// Windows adds these to top-level windows: overlapped ones always have a caption, and every
// top-level window clips its siblings. The window edge follows the frame.
void FixStyles(DWORD& style, DWORD& exStyle) {
    if (!(style & WS_CHILD)) {
        style |= WS_CLIPSIBLINGS;
        if (!(style & WS_POPUP)) style |= WS_CAPTION;
    }
    if ((exStyle & WS_EX_DLGMODALFRAME) ||
        (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME)))) {
        exStyle |= WS_EX_WINDOWEDGE;
    } else {
        exStyle &= ~static_cast<DWORD>(WS_EX_WINDOWEDGE);
    }
}

// Where CW_USEDEFAULT puts a top-level window: near the primary work area's corner, at three
// quarters of its size.
RECT DefaultRect(int x, int y, int cx, int cy) {
    std::vector<MonitorArea> monitors = CurrentMonitors();
    RECT work = monitors.empty() ? RECT{0, 0, 640, 480} : monitors[0].work;
    if (x == CW_USEDEFAULT) {
        x = work.left + 26;
        y = work.top + 26;
    }
    if (cx == CW_USEDEFAULT) {
        cx = (work.right - work.left) * 3 / 4;
        cy = (work.bottom - work.top) * 3 / 4;
    }
    return RECT{x, y, x + std::max(cx, 0), y + std::max(cy, 0)};
}

// Takes a window that failed WM_NCCREATE out again: it only gets WM_NCDESTROY.
void Discard(HWND hwnd) {
    SendMessageW(hwnd, WM_NCDESTROY, 0, 0);
    Window* window = FindWindow(hwnd);
    if (window == nullptr) return;
    std::vector<HWND>& siblings = Siblings(*window);
    siblings.erase(std::remove(siblings.begin(), siblings.end(), hwnd), siblings.end());
    --window->windowClass->windows;
    ReleaseWindow(hwnd);
}

}  // namespace

HWND CreateWindowFor(bool ansiCaller, DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                     DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                     HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
    EnsureBuiltinClasses();
    std::shared_ptr<WindowClass> windowClass = FindClass(lpClassName);
    if (windowClass == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (CurrentDisplay() == nullptr) {
        // No desktop to put a window on, as in a Windows session without one.
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (IsDesktop(hWndParent) || hWndParent == HWND_MESSAGE) hWndParent = nullptr;
    if (hWndParent != nullptr && CheckWindow(hWndParent) == nullptr) return nullptr;
    const bool child = (dwStyle & WS_CHILD) != 0;
    if (child && hWndParent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }

    auto window = std::make_unique<Window>();
    window->windowClass = windowClass;
    window->proc = windowClass->proc;
    window->ansi = windowClass->proc.ansi;
    if (ansiCaller && windowClass->builtin && !window->ansi) {
        window->ansi = true;
        if (windowClass->ansiProc != nullptr) window->proc = Procedure{windowClass->ansiProc, true};
    }
    // Shown (or minimised) after WM_CREATE.
    DWORD style = dwStyle & ~static_cast<DWORD>(WS_VISIBLE | WS_MINIMIZE);
    DWORD exStyle = dwExStyle;
    FixStyles(style, exStyle);
    window->style = style;
    window->exStyle = exStyle;
    window->instance = hInstance;
    window->extra.assign(static_cast<std::size_t>(windowClass->windowExtra), 0);
    if (child) {
        window->parent = hWndParent;
        window->id = reinterpret_cast<LONG_PTR>(hMenu);
        int x = X == CW_USEDEFAULT ? 0 : X;
        int y = X == CW_USEDEFAULT ? 0 : Y;
        int cx = nWidth == CW_USEDEFAULT ? 0 : std::max(nWidth, 0);
        int cy = nWidth == CW_USEDEFAULT ? 0 : std::max(nHeight, 0);
        window->rect = RECT{x, y, x + cx, y + cy};
    } else {
        // The owner of a top-level window is always a top-level window.
        window->owner = hWndParent != nullptr ? RootOf(hWndParent) : nullptr;
        window->rect = DefaultRect(X, Y, nWidth, nHeight);
    }
    window->restoredRect = window->rect;

    HWND hwnd = AddWindow(std::move(window));
    if (hwnd == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    ++windowClass->windows;
    if (child) {
        FindWindow(hWndParent)->children.push_back(hwnd);  // bottom of the z-order
    } else {
        TopLevelWindows().insert(TopLevelWindows().begin(), hwnd);
    }

    Window* created = FindWindow(hwnd);
    CREATESTRUCTW create{lpParam,
                         hInstance,
                         hMenu,
                         hWndParent,
                         static_cast<int>(created->rect.bottom - created->rect.top),
                         static_cast<int>(created->rect.right - created->rect.left),
                         static_cast<int>(created->rect.top),
                         static_cast<int>(created->rect.left),
                         static_cast<LONG>(dwStyle),
                         lpWindowName,
                         lpClassName,
                         dwExStyle};
    if (!SendMessageW(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        if (IsWindow(hwnd)) Discard(hwnd);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;
    if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    if (!IsWindow(hwnd)) return nullptr;

    RECT client;
    GetClientRect(hwnd, &client);
    SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    POINT origin = ClientOrigin(hwnd);
    if (child) {
        POINT parentOrigin = ClientOrigin(hWndParent);
        origin.x -= parentOrigin.x;
        origin.y -= parentOrigin.y;
    }
    SendMessageW(hwnd, WM_MOVE, 0,
                 MAKELPARAM(static_cast<WORD>(origin.x), static_cast<WORD>(origin.y)));
    if (child && !(dwExStyle & WS_EX_NOPARENTNOTIFY) && IsWindow(hWndParent)) {
        SendMessageW(hWndParent, WM_PARENTNOTIFY,
                     MAKEWPARAM(WM_CREATE, static_cast<WORD>(reinterpret_cast<UINT_PTR>(hMenu))),
                     reinterpret_cast<LPARAM>(hwnd));
    }
    if (!IsWindow(hwnd)) return nullptr;
    MarkDirty();
    if (dwStyle & WS_VISIBLE) {
        ShowWindow(hwnd, (dwStyle & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
    }
    return IsWindow(hwnd) ? hwnd : nullptr;
}

HWND CreateAnsiWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                      LPVOID param) {
    return CreateWindowFor(true, exStyle, className, windowName, style, x, y, width, height, parent,
                           menu, instance, param);
}

}  // namespace win32

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName,
                            DWORD dwStyle, int X, int Y, int nWidth, int nHeight, HWND hWndParent,
                            HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
    return win32::CreateWindowFor(false, dwExStyle, lpClassName, lpWindowName, dwStyle, X, Y,
                                  nWidth, nHeight, hWndParent, hMenu, hInstance, lpParam);
}
