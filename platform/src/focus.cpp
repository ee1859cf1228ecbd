// SPDX-License-Identifier: MIT
#include "src/focus.h"

#include <vector>

#include "src/display_manager.h"
#include "src/window.h"

namespace win32 {

namespace {

struct FocusState {
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
};

FocusState& State() {
    static FocusState state;
    return state;
}

// WM_KILLFOCUS to the old window, then WM_SETFOCUS to the new one, unless the first message
// moved the focus elsewhere already.
HWND MoveFocus(HWND hwnd) {
    FocusState& state = State();
    HWND previous = state.focus;
    if (previous == hwnd) return previous;
    state.focus = hwnd;
    MarkDirty();
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    if (state.focus != hwnd) return previous;
    if (hwnd != nullptr && IsWindow(hwnd)) {
        SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

bool CanActivate(const Window& window) {
    return !window.IsChild() && window.IsVisible() && window.IsEnabled();
}

}  // namespace

HWND Activate(HWND hwnd, WORD how) {
    FocusState& state = State();
    HWND previous = state.active;
    if (previous == hwnd) return previous;
    if (hwnd != nullptr &&
        (CbtRefusesActivation(hwnd, how == WA_CLICKACTIVE, previous) || !IsWindow(hwnd)))
        return previous;
    state.active = hwnd;
    MarkDirty();
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous) ? 1 : 0),
                     reinterpret_cast<LPARAM>(hwnd));
    }
    if (hwnd != nullptr && IsWindow(hwnd)) {
        BringToTop(hwnd);
        SendMessageW(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
        SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(how, IsIconic(hwnd) ? 1 : 0),
                     reinterpret_cast<LPARAM>(previous));
    }
    // The focus stays inside the active window: if WM_ACTIVATE did not put it there, the
    // window itself takes it (or nobody, when no window is active).
    if (state.active == hwnd) {
        HWND focus = state.focus;
        if (hwnd == nullptr || focus == nullptr || RootOf(focus) != hwnd) {
            MoveFocus(hwnd != nullptr && IsWindow(hwnd) && !IsIconic(hwnd) ? hwnd : nullptr);
        }
    }
    return previous;
}

HWND NextActiveWindow(HWND leaving) {
    Window* window = FindWindow(leaving);
    // A pop-up hands activation back to its owner.
    if (window != nullptr && (window->style & WS_POPUP) && window->owner != nullptr) {
        Window* owner = FindWindow(RootOf(window->owner));
        if (owner != nullptr && CanActivate(*owner)) return owner->handle;
    }
    for (HWND candidate : TopLevelWindows()) {
        Window* other = FindWindow(candidate);
        if (candidate != leaving && other != nullptr && CanActivate(*other)) return candidate;
    }
    return nullptr;
}

void ForgetWindow(HWND hwnd) {
    FocusState& state = State();
    if (state.focus == hwnd) state.focus = nullptr;
    if (state.active == hwnd) state.active = nullptr;
    if (state.capture == hwnd) state.capture = nullptr;
}

void ResetFocus() { State() = FocusState{}; }

}  // namespace win32

using win32::State;

HWND WINAPI GetFocus() { return State().focus; }

HWND WINAPI SetFocus(HWND hWnd) {
    if (hWnd == nullptr) return win32::MoveFocus(nullptr);
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return nullptr;
    // A window inside a disabled or minimised window cannot take the focus.
    for (win32::Window* w = window; w != nullptr;) {
        if (!w->IsEnabled() || w->IsMinimized()) return nullptr;
        if (!w->IsChild()) break;
        w = win32::FindWindow(w->parent);
    }
    HWND root = win32::RootOf(hWnd);
    if (root != State().active) {
        win32::Activate(root, WA_ACTIVE);
        if (!IsWindow(hWnd)) return nullptr;
    }
    // The window that had the focus just before this one, as activation left it: activating
    // the top-level window focuses that window first.
    return win32::MoveFocus(hWnd);
}

HWND WINAPI GetActiveWindow() { return State().active; }

HWND WINAPI SetActiveWindow(HWND hWnd) {
    if (hWnd != nullptr) {
        win32::Window* window = win32::CheckWindow(hWnd);
        if (window == nullptr) return nullptr;
        if (window->IsChild()) return State().active;  // child windows are never active
    }
    return win32::Activate(hWnd, WA_ACTIVE);
}

HWND WINAPI GetForegroundWindow() { return State().active; }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    if (win32::CheckWindow(hWnd) == nullptr) return FALSE;
    win32::Activate(win32::RootOf(hWnd), WA_ACTIVE);
    return TRUE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    const BOOL wasDisabled = window->IsEnabled() ? FALSE : TRUE;
    if (bEnable && wasDisabled) {
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
        win32::MarkDirty();
        SendMessageW(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !wasDisabled) {
        SendMessageW(hWnd, WM_CANCELMODE, 0, 0);
        window = win32::FindWindow(hWnd);
        if (window == nullptr) return wasDisabled;
        window->style |= WS_DISABLED;
        win32::MarkDirty();
        // A disabled window cannot keep the focus or the mouse.
        if (State().focus == hWnd) win32::MoveFocus(nullptr);
        if (State().capture == hWnd) ReleaseCapture();
        SendMessageW(hWnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

HWND WINAPI SetCapture(HWND hWnd) {
    HWND previous = State().capture;
    if (hWnd != nullptr && win32::CheckWindow(hWnd) == nullptr) return nullptr;
    State().capture = hWnd;
    if (previous != nullptr && previous != hWnd && IsWindow(previous)) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return previous;
}

HWND WINAPI GetCapture() { return State().capture; }

BOOL WINAPI ReleaseCapture() {
    HWND previous = State().capture;
    State().capture = nullptr;
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}
