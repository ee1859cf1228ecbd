// SPDX-License-Identifier: MIT
// COM start-up and shut-down. No COM object exists on this platform, so both only keep count.
#pragma once

#include <windows.h>

#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106)

#ifndef RC_INVOKED
// S_OK the first time on a thread, S_FALSE when already initialised.
HRESULT WINAPI CoInitialize(LPVOID pvReserved);
HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void WINAPI CoUninitialize();
#endif
