// SPDX-License-Identifier: MIT
// Device contexts: what a window's painting code and a program's text measuring are handed.
// Nothing is drawn through them (the displays draw from the view); they keep what a caller can
// ask back, such as the font selected into them and the clipping rectangle that a control sets
// before it asks its parent for colours.
#pragma once

#include <windows.h>

#include <optional>

namespace win32 {

struct DeviceContext {
    HWND window = nullptr;     // nullptr for a memory device context
    std::optional<RECT> clip;  // in the window's client coordinates; none: the whole surface
    HFONT font = nullptr;      // SelectObject's font; the system font at first
};

// A device context for `window`'s client area, released with ReleaseDC.
HDC CreateWindowDeviceContext(HWND window);
// nullptr for a stale or bogus handle.
DeviceContext* FindDeviceContext(HDC dc);

}  // namespace win32
