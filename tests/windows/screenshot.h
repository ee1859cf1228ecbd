// SPDX-License-Identifier: MIT
// A PNG picture of one window as it shows on the screen.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

bool SaveWindowPng(HWND window, const std::wstring& path);

}  // namespace ui
