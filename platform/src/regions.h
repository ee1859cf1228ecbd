// SPDX-License-Identifier: MIT
// Regions: the rectangles that CreateRectRgn makes and GetClipRgn fills.
#pragma once

#include <windows.h>

namespace win32 {

// nullptr for a stale or bogus handle.
RECT* FindRegion(HRGN region);
bool DeleteRegion(HRGN region);
// NULLREGION or SIMPLEREGION.
int RegionType(const RECT& box);

}  // namespace win32
