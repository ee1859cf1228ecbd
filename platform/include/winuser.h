// SPDX-License-Identifier: MIT
// The Windows SDK header of this name: part of <windows.h> here.
#pragma once
#include <windows.h>
