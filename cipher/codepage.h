// SPDX-License-Identifier: MIT
// The Win32 code-page conversions that Encoder rests on: KERNEL32's on Windows, codepages/ on
// POSIX. Private to cipher/: no public header includes it, so it never meets the macros of a
// windows.h.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "codepages/codepages.h"

namespace Molvan::System {
using codepages::GetACP;
using codepages::MultiByteToWideChar;
using codepages::WideCharToMultiByte;
}  // namespace Molvan::System
#endif

namespace Molvan::System::CodePage {

inline constexpr unsigned int kAnsi = 0;      // CP_ACP
inline constexpr unsigned int kUtf8 = 65001;  // CP_UTF8

}  // namespace Molvan::System::CodePage
