// SPDX-License-Identifier: MIT
// RaiseException: a structured exception becomes a C++ exception carrying its code.
#include "win32/structured_exception.h"

#include <windows.h>

#include <cstdio>

namespace win32 {

StructuredException::StructuredException(std::uint32_t code, std::uint32_t flags,
                                         std::vector<std::uintptr_t> arguments)
    : code_(code), flags_(flags), arguments_(std::move(arguments)) {
    char text[64];
    std::snprintf(text, sizeof text, "structured exception 0x%08X", static_cast<unsigned>(code));
    message_ = text;
}

}  // namespace win32

void WINAPI RaiseException(DWORD dwExceptionCode, DWORD dwExceptionFlags, DWORD nNumberOfArguments,
                           const ULONG_PTR* lpArguments) {
    std::vector<std::uintptr_t> arguments;
    if (lpArguments != nullptr) {
        // Windows passes on at most EXCEPTION_MAXIMUM_PARAMETERS arguments.
        DWORD count = nNumberOfArguments < EXCEPTION_MAXIMUM_PARAMETERS
                          ? nNumberOfArguments
                          : EXCEPTION_MAXIMUM_PARAMETERS;
        arguments.assign(lpArguments, lpArguments + count);
    }
    throw win32::StructuredException(dwExceptionCode, dwExceptionFlags & EXCEPTION_NONCONTINUABLE,
                                     std::move(arguments));
}
