// SPDX-License-Identifier: MIT
// Painting: what waits for WM_PAINT, and the device context a window paints with. The window
// procedures' painting draws nothing (the displays draw from the windows' view); it is how a
// control asks its parent for colours, which Windows programs count on.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "src/device_contexts.h"
#include "src/display_manager.h"
#include "src/window.h"

namespace win32 {

namespace {

// Marks `window` and, unless it clips them, the children under `area` (screen coordinates,
// inside the window).
void MarkForPaint(Window& window, const RECT& area, bool erase) {
    window.paintPending = true;
    window.erasePending = window.erasePending || erase;
    const RECT client = ClientRectOnScreen(window);
    RECT inClient;
    if (!IntersectRect(&inClient, &area, &client)) return;
    RECT part = inClient;
    OffsetRect(&part, -client.left, -client.top);
    if (IsRectEmpty(&window.update)) {
        window.update = part;
    } else {
        window.update = RECT{
            std::min(window.update.left, part.left), std::min(window.update.top, part.top),
            std::max(window.update.right, part.right), std::max(window.update.bottom, part.bottom)};
    }
    if (window.style & WS_CLIPCHILDREN) return;
    for (HWND hwnd : window.children) {
        Window* child = FindWindow(hwnd);
        if (child == nullptr || !child->IsVisible()) continue;
        const RECT childRect = WindowRectOnScreen(*child);
        RECT childArea;
        if (IntersectRect(&childArea, &inClient, &childRect))
            MarkForPaint(*child, childArea, erase);
    }
}

void PaintTree(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr || !window->IsVisible()) return;
    if (window->paintPending) SendMessageW(hwnd, WM_PAINT, 0, 0);
    if ((window = FindWindow(hwnd)) == nullptr) return;
    const std::vector<HWND> children = window->children;  // the painting may change them
    for (HWND child : children) PaintTree(child);
}

}  // namespace

}  // namespace win32

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    using namespace win32;
    if (hWnd == nullptr) {
        MarkDirty();
        return TRUE;
    }
    Window* window = CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    MarkDirty();
    // A hidden window has nothing to paint; an empty client area neither.
    if (!IsWindowVisible(hWnd)) return TRUE;
    const RECT client = ClientRectOnScreen(*window);
    RECT area = client;
    if (lpRect != nullptr) {
        RECT asked = *lpRect;
        OffsetRect(&asked, client.left, client.top);
        if (!IntersectRect(&area, &asked, &client)) return TRUE;
    }
    if (!IsRectEmpty(&area)) MarkForPaint(*window, area, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    if (win32::CheckWindow(hWnd) == nullptr) return FALSE;
    win32::PaintTree(hWnd);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    using namespace win32;
    Window* window = CheckWindow(hWnd);
    if (window == nullptr || lpPaint == nullptr) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = CreateWindowDeviceContext(hWnd);
    lpPaint->rcPaint = window->update;
    const bool erase = window->erasePending;
    window->paintPending = false;
    window->erasePending = false;
    window->update = RECT{};
    // fErase tells the window that its background still waits for erasing.
    if (erase)
        lpPaint->fErase =
            SendMessageW(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0) == 0;
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint == nullptr) return FALSE;
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}
