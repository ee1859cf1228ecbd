// SPDX-License-Identifier: MIT
// Resource ids of the sample dialog program.
#pragma once

#define IDD_SAMPLE 129
#define IDD_ABOUT 100
#define IDI_SAMPLE 128
#define IDC_ACCOUNT 1001
#define IDC_RESULT 1002
#define IDC_REVERSE 1003
#define IDC_ABOUT 1004
