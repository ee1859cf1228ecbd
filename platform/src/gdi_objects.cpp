// SPDX-License-Identifier: MIT
// The calls that take any GDI object, sent on by the object's kind.
#include <windows.h>

#include "src/bitmaps.h"
#include "src/fonts.h"
#include "src/regions.h"

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    if (win32::IsBitmap(h)) return win32::GetBitmapObject(static_cast<HBITMAP>(h), c, pv);
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (win32::DeleteBitmap(static_cast<HBITMAP>(ho)) || win32::DeleteRegion(static_cast<HRGN>(ho)))
        return TRUE;
    if (win32::FindFont(static_cast<HFONT>(ho)) != nullptr) {
        win32::DeleteFontHandle(static_cast<HFONT>(ho));
        return TRUE;
    }
    return FALSE;
}
