// SPDX-License-Identifier: MIT
// The program as credcipher runs it, which once its main dialog shows sends that dialog the About
// command (57664), as another program would: no control, menu or key of the program sends it, so
// the suites reach the About box on a real X screen only this way.
#include <windows.h>

#include "app/res/resource.h"

namespace {

void CALLBACK OpenAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND main = GetTopWindow(nullptr);
    if (main == nullptr || !IsWindowVisible(main)) return;  // not shown yet: the next tick
    KillTimer(nullptr, timer);
    PostMessageW(main, WM_COMMAND, ID_APP_ABOUT, 0);
}

// Set before main() runs wWinMain; the main dialog's message loop calls it.
[[maybe_unused]] const UINT_PTR kAboutTimer = SetTimer(nullptr, 0, 100, OpenAboutBox);

}  // namespace
