// SPDX-License-Identifier: MIT
// GDI32 exports that Wine's tests call and mingw-w64's import library does not name: found in
// gdi32.dll at run time (Windows builds only).
#include <windows.h>

static FARPROC Gdi32(const char* name) {
    return GetProcAddress(GetModuleHandleA("gdi32.dll"), name);
}

DWORD WINAPI GdiGetCodePage(HDC dc) {
    typedef DWORD(WINAPI * Function)(HDC);
    Function function = (Function)(void*)Gdi32("GdiGetCodePage");
    return function ? function(dc) : CP_ACP;
}

LONG WINAPI GdiGetCharDimensions(HDC dc, LPTEXTMETRICW metrics, LONG* height) {
    typedef LONG(WINAPI * Function)(HDC, LPTEXTMETRICW, LONG*);
    Function function = (Function)(void*)Gdi32("GdiGetCharDimensions");
    return function ? function(dc, metrics, height) : 0;
}
