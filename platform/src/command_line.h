// SPDX-License-Identifier: MIT
// The command line a Windows program sees after its own name, made from POSIX arguments.
#pragma once

#include <string>

namespace win32 {

// Arguments 1.. joined by spaces; an argument that is empty or holds a space, tab or quote is
// quoted the way CommandLineToArgvW reads it back.
std::u16string CommandLineTail(int argc, const char* const* argv);

}  // namespace win32
