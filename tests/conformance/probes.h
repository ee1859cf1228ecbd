// SPDX-License-Identifier: MIT
// Dialog and control ids shared by the probes and their resource script.
#pragma once

#define IDD_KEYS 100
#define IDD_NO_CANCEL 101
#define IDD_EDITS 102
#define IDD_MODAL 103

#define IDC_EDIT 10
#define IDC_ONE 11
#define IDC_TWO 12
#define IDC_BOX 13
#define IDC_THREE 14
#define IDC_PASSWORD 15
