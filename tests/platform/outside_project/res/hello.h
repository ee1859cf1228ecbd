// SPDX-License-Identifier: MIT
// Resource ids shared by hello.rc and hello.cpp.
#pragma once

#define IDD_HELLO 7
#define IDC_GREETING 100
