// SPDX-License-Identifier: MIT
// KERNEL32's code pages: codepages/ under their Win32 names, with Windows' last errors.
#include <windows.h>

#include "codepages/codepages.h"

UINT WINAPI GetACP() { return codepages::GetACP(); }

BOOL WINAPI GetCPInfo(UINT CodePage, LPCPINFO lpCPInfo) {
    codepages::CodePageInfo info{};
    if (lpCPInfo == nullptr || !codepages::GetCPInfo(CodePage, info)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpCPInfo->MaxCharSize = info.maxCharSize;
    for (int i = 0; i < MAX_DEFAULTCHAR; ++i) lpCPInfo->DefaultChar[i] = info.defaultChar[i];
    for (int i = 0; i < MAX_LEADBYTES; ++i) lpCPInfo->LeadByte[i] = info.leadByte[i];
    return TRUE;
}

BOOL WINAPI IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar) {
    return codepages::IsDBCSLeadByteEx(CodePage, TestChar) ? TRUE : FALSE;
}

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               LPBOOL lpUsedDefaultChar) {
    return codepages::WideCharToMultiByte(CodePage, dwFlags, lpWideCharStr, cchWideChar,
                                          lpMultiByteStr, cbMultiByte, lpDefaultChar,
                                          lpUsedDefaultChar);
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
    return codepages::MultiByteToWideChar(CodePage, dwFlags, lpMultiByteStr, cbMultiByte,
                                          lpWideCharStr, cchWideChar);
}
