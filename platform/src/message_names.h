// SPDX-License-Identifier: MIT
// Messages by name ("WM_INITDIALOG"), for the message trace and for tests that print message
// sequences; "0x1234" for a message without one.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

std::string MessageName(UINT message);

}  // namespace win32
