// SPDX-License-Identifier: MIT
#include "src/window.h"

#include <algorithm>

#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/handles.h"

namespace win32 {

Window::Window() = default;
Window::~Window() = default;

namespace {

struct WindowTable {
    HandleTable<Window> table{HandleKind::kWindow};
    std::vector<HWND> topLevel;
    std::vector<std::unique_ptr<Window>> released;
    HWND desktop = nullptr;
};

WindowTable& Table() {
    static WindowTable* table = new WindowTable;  // lives until exit: windows may outlive main
    return *table;
}

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

Window* FindWindow(HWND hwnd) { return Table().table.Find(HandleValue(hwnd)); }

Window* CheckWindow(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

HWND DesktopWindow() {
    WindowTable& table = Table();
    if (table.desktop == nullptr) {
        auto desktop = std::make_unique<Window>();
        desktop->windowClass = std::make_shared<WindowClass>();
        desktop->windowClass->name = u"#32769";
        desktop->windowClass->atom = 0x8001;
        desktop->windowClass->proc = Procedure{DesktopProc};
        desktop->proc = Procedure{DesktopProc};
        desktop->style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        auto value = table.table.Add(std::move(desktop));
        table.desktop = MakeHandle<HWND>(value);
        FindWindow(table.desktop)->handle = table.desktop;
    }
    return table.desktop;
}

bool IsDesktop(HWND hwnd) { return hwnd != nullptr && hwnd == Table().desktop; }

HWND AddWindow(std::unique_ptr<Window> window) {
    Window* raw = window.get();
    HWND hwnd = MakeHandle<HWND>(Table().table.Add(std::move(window)));
    if (hwnd != nullptr) raw->handle = hwnd;
    return hwnd;
}

void ReleaseWindow(HWND hwnd) {
    WindowTable& table = Table();
    if (std::unique_ptr<Window> window = table.table.Remove(HandleValue(hwnd))) {
        table.released.push_back(std::move(window));
    }
}

void CollectReleasedWindows() { Table().released.clear(); }

void DestroyAllWindows() {
    for (HWND hwnd : AllWindows()) {
        Window* window = FindWindow(hwnd);
        if (window == nullptr) continue;
        window->proc =
            window->windowClass->builtin ? window->windowClass->proc : Procedure{DefWindowProcW};
        if (window->dialog && window->extra.size() >= DWLP_DLGPROC + sizeof(DLGPROC)) {
            SetWindowLongPtrW(hwnd, DWLP_DLGPROC, 0);
        }
    }
    std::vector<HWND> topLevel = Table().topLevel;
    for (HWND hwnd : topLevel) {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    CollectReleasedWindows();
}

std::vector<HWND> AllWindows() {
    std::vector<HWND> windows;
    for (std::uintptr_t value : Table().table.Handles()) {
        HWND hwnd = MakeHandle<HWND>(value);
        if (!IsDesktop(hwnd)) windows.push_back(hwnd);
    }
    return windows;
}

std::vector<HWND>& TopLevelWindows() { return Table().topLevel; }

std::vector<HWND>& Siblings(const Window& window) {
    if (window.IsChild()) {
        if (Window* parent = FindWindow(window.parent)) return parent->children;
    }
    return Table().topLevel;
}

void BringToTop(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr) return;
    std::vector<HWND>& siblings = Siblings(*window);
    auto it = std::find(siblings.begin(), siblings.end(), hwnd);
    if (it == siblings.end() || it == siblings.begin()) return;
    siblings.erase(it);
    siblings.insert(siblings.begin(), hwnd);
    MarkDirty();
}

bool IsSelfOrDescendant(HWND ancestor, HWND hwnd) {
    if (ancestor == nullptr) return false;
    for (Window* window = FindWindow(hwnd); window != nullptr;) {
        if (window->handle == ancestor) return true;
        if (!window->IsChild()) return false;
        window = FindWindow(window->parent);
    }
    return false;
}

HWND RootOf(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    while (window != nullptr && window->IsChild()) {
        Window* parent = FindWindow(window->parent);
        if (parent == nullptr) break;
        window = parent;
    }
    return window != nullptr ? window->handle : nullptr;
}

RECT NonClientInsets(DWORD style, DWORD exStyle) {
    const SystemMetricsSet metrics = CurrentMetrics();
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = metrics.sizeFrameWidth;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        frame = metrics.dialogFrameWidth;
    } else if (style & WS_BORDER) {
        frame = metrics.borderWidth;
    }
    if (exStyle & WS_EX_CLIENTEDGE) frame += metrics.edgeWidth;
    if (exStyle & WS_EX_STATICEDGE) frame += metrics.borderWidth;
    RECT insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) insets.top += metrics.captionHeight;
    return insets;
}

RECT WindowRectOnScreen(const Window& window) {
    RECT rect = window.rect;
    if (window.IsChild()) {
        POINT origin = ClientOrigin(window.parent);
        OffsetRect(&rect, origin.x, origin.y);
    }
    return rect;
}

RECT ClientRectOnScreen(const Window& window) {
    RECT rect = WindowRectOnScreen(window);
    if (window.IsMinimized()) return RECT{rect.left, rect.top, rect.left, rect.top};
    RECT insets = NonClientInsets(window.style, window.exStyle);
    RECT client{rect.left + insets.left, rect.top + insets.top, rect.right - insets.right,
                rect.bottom - insets.bottom};
    // A window smaller than its frame has an empty client area at the frame's inner corner.
    client.right = std::max(client.left, client.right);
    client.bottom = std::max(client.top, client.bottom);
    return client;
}

POINT ClientOrigin(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    if (window == nullptr || IsDesktop(hwnd)) return POINT{0, 0};
    RECT client = ClientRectOnScreen(*window);
    return POINT{client.left, client.top};
}

}  // namespace win32
