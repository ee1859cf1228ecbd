// SPDX-License-Identifier: MIT
// Windows' ANSI code pages and UTF-8 on POSIX: KERNEL32's WideCharToMultiByte,
// MultiByteToWideChar, GetACP, GetCPInfo and IsDBCSLeadByteEx for the pages 874, 932, 936, 949,
// 950, 1250 to 1258 and 65001, converting exactly as Windows does with flags 0 (best fit, the
// user-defined and undefined areas, malformed input), from tables generated from Windows' own
// conversions. CP_ACP is the page Windows gives the locale's language and territory.
#pragma once

#include <string_view>

namespace codepages {

inline constexpr unsigned int kAnsi = 0;        // CP_ACP
inline constexpr unsigned int kThreadAnsi = 3;  // CP_THREAD_ACP: the same page here
inline constexpr unsigned int kUtf8 = 65001;    // CP_UTF8

// The code page that CP_ACP stands for: read from the locale environment (LC_ALL, LC_CTYPE,
// LANG) at first use and then fixed for the life of the process, as GetACP is on Windows.
unsigned int GetACP();

// The Windows ANSI code page of a POSIX locale name such as "zh_CN.UTF-8" (language and
// territory decide; the codeset does not); 1252 for "C", "POSIX" and anything unknown.
unsigned int AnsiCodePageForLocale(std::string_view name);

// GetCPInfo's CPINFO: the longest character in bytes, the default character, and the lead-byte
// ranges as pairs (first, last), ended by two zero bytes.
struct CodePageInfo {
    unsigned int maxCharSize;
    unsigned char defaultChar[2];
    unsigned char leadByte[12];
};

// False for a page this system does not convert.
bool GetCPInfo(unsigned int codePage, CodePageInfo& info);
bool IsDBCSLeadByteEx(unsigned int codePage, unsigned char byte);

// KERNEL32's contract: an output size of 0 asks for the size; a length of -1 reads through the
// terminator and counts it; a length of 0, a bad argument, flags other than 0, an unknown page
// or a too small output fail with 0; unmappable or malformed input is substituted, never
// refused. CP_UTF8 takes no default character and no used-default flag.
int WideCharToMultiByte(unsigned int codePage, unsigned int flags, const char16_t* wide,
                        int wideLength, char* bytes, int bytesSize, const char* defaultChar,
                        int* usedDefaultChar);
int MultiByteToWideChar(unsigned int codePage, unsigned int flags, const char* bytes,
                        int bytesLength, char16_t* wide, int wideSize);

}  // namespace codepages
