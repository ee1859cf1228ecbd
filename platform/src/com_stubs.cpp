// SPDX-License-Identifier: MIT
// COM and common-control start-up: nothing to start, so they only count and check arguments.
#include <commctrl.h>
#include <objbase.h>

namespace {
thread_local int com_initialisations = 0;
}

HRESULT WINAPI CoInitializeEx(LPVOID, DWORD) { return com_initialisations++ == 0 ? S_OK : S_FALSE; }

HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void WINAPI CoUninitialize() {
    if (com_initialisations > 0) --com_initialisations;
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    if (picce == nullptr || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

void WINAPI InitCommonControls() {}
