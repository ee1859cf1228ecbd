// SPDX-License-Identifier: MIT
// What Wine's tests call and the layer does not have: each stub fails the way a missing Windows
// function does (ERROR_CALL_NOT_IMPLEMENTED and a null or zero result) and names itself on
// standard output, so that the runner reports which functions a test needed.
#include "wine_compat.h"

namespace {

void NotImplemented(const char* name) {
    printf("stub %s\n", name);
    fflush(stdout);
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace

#define STUB(type, name, parameters, result) \
    type WINAPI name parameters {            \
        NotImplemented(#name);               \
        return result;                       \
    }

STUB(FARPROC, GetProcAddress, (HMODULE, LPCSTR), nullptr)
STUB(DWORD, MsgWaitForMultipleObjects, (DWORD, const HANDLE*, BOOL, DWORD, DWORD), 0xFFFFFFFF)

STUB(HCURSOR, LoadCursorA, (HINSTANCE, LPCSTR), nullptr)
STUB(BOOL, SystemParametersInfoW, (UINT, UINT, PVOID, UINT), FALSE)

STUB(int, EnumFontFamiliesA, (HDC, LPCSTR, FONTENUMPROCA, LPARAM), 0)
STUB(HFONT, CreateFontIndirectA, (const LOGFONTA*), nullptr)
STUB(BOOL, GetTextMetricsA, (HDC, LPTEXTMETRICA), FALSE)
STUB(BOOL, GetTextMetricsW, (HDC, LPTEXTMETRICW), FALSE)
STUB(BOOL, GetTextExtentPoint32A, (HDC, LPCSTR, int, LPSIZE), FALSE)
STUB(BOOL, GetCharABCWidthsA, (HDC, UINT, UINT, ABC*), FALSE)
STUB(BOOL, GetCharABCWidthsW, (HDC, UINT, UINT, ABC*), FALSE)
STUB(HGDIOBJ, SelectObject, (HDC, HGDIOBJ), nullptr)
STUB(HGDIOBJ, GetStockObject, (int), nullptr)
STUB(int, GetDeviceCaps, (HDC, int), 0)
STUB(int, GetTextCharsetInfo, (HDC, FONTSIGNATURE*, DWORD), DEFAULT_CHARSET)
STUB(DWORD, GdiGetCodePage, (HDC), CP_ACP)
STUB(LONG, GdiGetCharDimensions, (HDC, LPTEXTMETRICW, LONG*), 0)
STUB(HDC, CreateEnhMetaFileW, (HDC, LPCWSTR, const RECT*, LPCWSTR), nullptr)
STUB(HENHMETAFILE, CloseEnhMetaFile, (HDC), nullptr)
STUB(BOOL, DeleteEnhMetaFile, (HENHMETAFILE), FALSE)
STUB(BOOL, LineTo, (HDC, int, int), FALSE)
STUB(COLORREF, GetPixel, (HDC, int, int), 0xFFFFFFFF)
