// SPDX-License-Identifier: MIT
// What resource scripts written for the Windows resource compiler include: the constants of
// <winresrc.h> and the id of controls that need none.
#pragma once

#include <winresrc.h>

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
