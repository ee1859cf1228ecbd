// SPDX-License-Identifier: MIT
// What the built-in controls share: their per-window state behind the first pointer of the
// window's extra bytes, notifications to the parent, and key state.
#pragma once

#include <windows.h>

namespace win32::controls {

void RegisterButtonClass();
void RegisterEditClass();
void RegisterStaticClass();

// Registers a control class whose windows carry one pointer of extra bytes.
void RegisterControlClass(const char16_t* name, UINT style, WNDPROC procedure);

template <class State>
State* StateOf(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(hwnd, 0));
}

template <class State>
void AttachState(HWND hwnd, State* state) {
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
}

template <class State>
void DeleteState(HWND hwnd) {
    delete StateOf<State>(hwnd);
    SetWindowLongPtrW(hwnd, 0, 0);
}

// WM_COMMAND to the parent (the owner of a top-level control): MAKEWPARAM(id, code), the control's
// handle. The parent may destroy the control meanwhile; callers check IsWindow before touching
// their state again.
void Notify(HWND control, WORD code);

bool KeyIsDown(int virtualKey);

DWORD StyleOf(HWND hwnd);

}  // namespace win32::controls
