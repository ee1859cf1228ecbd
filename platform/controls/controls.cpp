// SPDX-License-Identifier: MIT
#include "controls/controls.h"

#include "controls/control_support.h"

void RegisterBuiltinControls() {
    win32::controls::RegisterButtonClass();
    win32::controls::RegisterEditClass();
    win32::controls::RegisterStaticClass();
}

namespace win32::controls {

void RegisterControlClass(const char16_t* name, UINT style, WNDPROC procedure) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = style | CS_GLOBALCLASS;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(void*);
    wc.lpszClassName = name;
    // Registered once per process; a second call fails with ERROR_CLASS_ALREADY_EXISTS.
    RegisterClassExW(&wc);
}

void Notify(HWND control, WORD code) {
    // A control made as a top-level window tells its owner, the parent it was created with.
    const HWND parent =
        (StyleOf(control) & WS_CHILD) ? GetParent(control) : GetWindow(control, GW_OWNER);
    if (!parent) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

bool KeyIsDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)); }

}  // namespace win32::controls
