// SPDX-License-Identifier: MIT
// Bitmap handles: pixels kept at 32 bits (0xAARRGGBB, rows top down) with the depth they were
// made with, read back by GetObjectW and GetDIBits and shown by the view of a bitmap static.
#pragma once

#include <windows.h>

#include <memory>

#include "resources/icon_pixels.h"

namespace win32 {

// LoadImageW of IMAGE_BITMAP: the program's RT_BITMAP resource `name` of `instance`.
HBITMAP LoadBitmapImage(HINSTANCE instance, LPCWSTR name, int cx, int cy, UINT flags);

// The bitmap as a display shows it (opaque: a bitmap's fourth byte is no transparency);
// nullptr for a stale handle. The same bitmap gives the same pointer.
std::shared_ptr<const resources::IconPixels> BitmapPixelsOf(HBITMAP bitmap);

bool IsBitmap(HGDIOBJ object);
// GetObjectW of a bitmap.
int GetBitmapObject(HBITMAP bitmap, int size, void* buffer);
bool DeleteBitmap(HBITMAP bitmap);

}  // namespace win32
