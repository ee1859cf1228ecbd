// SPDX-License-Identifier: MIT
// The calls that take any GDI object, sent on by the object's kind.
#include <windows.h>

#include "src/bitmaps.h"
#include "src/device_contexts.h"
#include "src/fonts.h"
#include "src/regions.h"

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    if (win32::IsBitmap(h)) return win32::GetBitmapObject(static_cast<HBITMAP>(h), c, pv);
    if (win32::FindFont(static_cast<HFONT>(h)) != nullptr)
        return win32::GetFontObject(static_cast<HFONT>(h), c, pv);
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    if (win32::DeleteBitmap(static_cast<HBITMAP>(ho)) || win32::DeleteRegion(static_cast<HRGN>(ho)))
        return TRUE;
    return win32::DeleteFontHandle(static_cast<HFONT>(ho));
}

HGDIOBJ WINAPI GetStockObject(int i) { return win32::StockFont(i); }

// Returns the font that was selected before; nullptr for a stale device context or an object
// that cannot be selected.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    win32::DeviceContext* dc = win32::FindDeviceContext(hdc);
    const auto font = static_cast<HFONT>(h);
    if (dc == nullptr || win32::FindFont(font) == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HFONT previous = dc->font;
    dc->font = font;
    return previous;
}
