// SPDX-License-Identifier: MIT
// Resource ids shared by the resource script and the program.
#pragma once

#define IDR_MAINFRAME 128  // icon group
#define IDD_ABOUTBOX 100
#define IDD_MAINDLG 129

#define IDC_ACCOUNT_IN 1001
#define IDC_PASSWORD_IN 1002
#define IDC_ENCRYPT 1003
#define IDC_ACCOUNT_OUT 1005
#define IDC_PASSWORD_OUT 1006
#define IDC_DECRYPT 1007

#define ID_APP_ABOUT 57664  // 0xE140
