// SPDX-License-Identifier: MIT
// The caret: one per thread, owned by a window of that thread, created hidden. Its position is
// in the owner's client coordinates, any value, moved whether it is shown or not; HideCaret and
// ShowCaret count, so that it shows again only when every hiding is undone. The displays draw
// an edit's caret from the window's view, not from here: this is the caret as programs ask for
// it and as they see it, so its shape is not kept.
#include "src/caret.h"

#include <climits>

#include "src/window.h"

namespace win32 {

namespace {

// GetCaretBlinkTime before any SetCaretBlinkTime: Windows' default.
constexpr UINT kDefaultBlinkTime = 530;

struct Caret {
    HWND owner = nullptr;  // none: the thread has no caret
    POINT position{};
    int hidden = 0;  // HideCaret calls not yet undone by ShowCaret
};

Caret& ThreadCaret() {
    thread_local Caret caret;
    return caret;
}

UINT& BlinkTime() {
    static UINT time = kDefaultBlinkTime;
    return time;
}

// The thread's caret when `hwnd` owns it, or when `hwnd` is null and the thread has one.
Caret* OwnedBy(HWND hwnd) {
    Caret& caret = ThreadCaret();
    if (caret.owner == nullptr || (hwnd != nullptr && hwnd != caret.owner)) return nullptr;
    return &caret;
}

}  // namespace

void ForgetCaretOwner(HWND hwnd) {
    if (ThreadCaret().owner == hwnd) ThreadCaret() = Caret{};
}

void ResetCaret() {
    ThreadCaret() = Caret{};
    BlinkTime() = kDefaultBlinkTime;
}

}  // namespace win32

using win32::OwnedBy;

// A new caret replaces the thread's old one, whichever window owned that.
BOOL WINAPI CreateCaret(HWND hWnd, HBITMAP, int, int) {
    if (win32::CheckWindow(hWnd) == nullptr) return FALSE;
    win32::ThreadCaret() = win32::Caret{.owner = hWnd, .position = {}, .hidden = 1};
    return TRUE;
}

BOOL WINAPI DestroyCaret() {
    if (OwnedBy(nullptr) == nullptr) return FALSE;
    win32::ThreadCaret() = win32::Caret{};
    return TRUE;
}

BOOL WINAPI SetCaretPos(int X, int Y) {
    win32::Caret* caret = OwnedBy(nullptr);
    if (caret == nullptr) return FALSE;
    caret->position = POINT{X, Y};
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT lpPoint) {
    const win32::Caret* caret = OwnedBy(nullptr);
    if (caret == nullptr || lpPoint == nullptr) return FALSE;
    *lpPoint = caret->position;
    return TRUE;
}

// Showing a caret hidden more than once succeeds and leaves it hidden, one hiding fewer.
BOOL WINAPI ShowCaret(HWND hWnd) {
    win32::Caret* caret = OwnedBy(hWnd);
    if (caret == nullptr) return FALSE;
    if (caret->hidden > 0) --caret->hidden;
    return TRUE;
}

BOOL WINAPI HideCaret(HWND hWnd) {
    win32::Caret* caret = OwnedBy(hWnd);
    if (caret == nullptr) return FALSE;
    if (caret->hidden < INT_MAX) ++caret->hidden;
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime() { return win32::BlinkTime(); }

BOOL WINAPI SetCaretBlinkTime(UINT uMSeconds) {
    win32::BlinkTime() = uMSeconds;
    return TRUE;
}
