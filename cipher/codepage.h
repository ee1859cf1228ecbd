// SPDX-License-Identifier: MIT
// The Win32 code-page conversions that Encoder rests on: KERNEL32's on Windows, our own on POSIX
// (with CP_ACP chosen from the locale). Private to cipher/: no public header includes it, so it
// never meets the macros of a windows.h.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <string_view>

int WideCharToMultiByte(unsigned int CodePage, unsigned int dwFlags, const char16_t* lpWideCharStr,
                        int cchWideChar, char* lpMultiByteStr, int cbMultiByte,
                        const char* lpDefaultChar, int* lpUsedDefaultChar);
int MultiByteToWideChar(unsigned int CodePage, unsigned int dwFlags, const char* lpMultiByteStr,
                        int cbMultiByte, char16_t* lpWideCharStr, int cchWideChar);
#endif

namespace Molvan::System::CodePage {

inline constexpr unsigned int kAnsi = 0;      // CP_ACP
inline constexpr unsigned int kUtf8 = 65001;  // CP_UTF8

#if !defined(_WIN32)
// The code page that CP_ACP stands for: read from the locale environment at first use and then
// fixed for the life of the process, as GetACP is on Windows.
unsigned int AnsiCodePage();

// The Windows ANSI code page of a POSIX locale name such as "zh_CN.UTF-8" (language and
// territory decide; the codeset does not); 1252 for "C", "POSIX" and anything unknown.
unsigned int AnsiCodePageForLocale(std::string_view name);
#endif

}  // namespace Molvan::System::CodePage
