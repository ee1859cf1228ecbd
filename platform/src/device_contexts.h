// SPDX-License-Identifier: MIT
// Device contexts: what a window's painting code and a program's text measuring are handed.
// Nothing is drawn through them (the displays draw from the view); they keep what a caller can
// ask back, such as the font selected into them.
#pragma once

#include <windows.h>

namespace win32 {

struct DeviceContext {
    HWND window = nullptr;  // nullptr for a memory device context
    HFONT font = nullptr;   // SelectObject's font; the system font at first
};

// nullptr for a stale or bogus handle.
DeviceContext* FindDeviceContext(HDC dc);

}  // namespace win32
