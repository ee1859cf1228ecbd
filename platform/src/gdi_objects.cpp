// SPDX-License-Identifier: MIT
// The calls that take any GDI object, sent on by the object's kind.
#include <windows.h>

#include "src/device_contexts.h"
#include "src/fonts.h"

int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
    if (win32::FindFont(static_cast<HFONT>(h)) != nullptr)
        return win32::GetFontObject(static_cast<HFONT>(h), c, pv);
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) { return win32::DeleteFontHandle(static_cast<HFONT>(ho)); }

HGDIOBJ WINAPI GetStockObject(int i) { return win32::StockFont(i); }

// Returns the object of the same kind that was selected before; nullptr for a stale device
// context or an object that cannot be selected.
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
