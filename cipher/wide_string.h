// SPDX-License-Identifier: MIT
// The dialog's wide text: UTF-16 code units in a standard string.
#pragma once

#include <string>

// WCHAR is the Win32 name; on POSIX it is char16_t, as the platform layer's windows.h declares it.
#if defined(_WIN32)
typedef wchar_t WCHAR;
#else
typedef char16_t WCHAR;
#endif

using CString = std::basic_string<WCHAR>;
