// SPDX-License-Identifier: MIT
// Message crackers: the signed mouse coordinates packed into a mouse message's lParam.
#pragma once

#include <windows.h>

#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))
