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

STUB(int, EnumFontFamiliesA, (HDC, LPCSTR, FONTENUMPROCA, LPARAM), 0)
STUB(HDC, CreateEnhMetaFileW, (HDC, LPCWSTR, const RECT*, LPCWSTR), nullptr)
STUB(HENHMETAFILE, CloseEnhMetaFile, (HDC), nullptr)
STUB(BOOL, DeleteEnhMetaFile, (HENHMETAFILE), FALSE)
STUB(BOOL, LineTo, (HDC, int, int), FALSE)
STUB(COLORREF, GetPixel, (HDC, int, int), 0xFFFFFFFF)
