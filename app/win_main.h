// SPDX-License-Identifier: MIT
// Process start-up: wWinMain runs the main dialog in the thread's message loop and returns its
// closing command as the exit code (1 OK, 2 Cancel, 0 when the dialog cannot be created).
#pragma once

#include <windows.h>

// Creates the message loop and the main dialog, shows it with nCmdShow and runs the loop.
// lpCmdLine is not used: the program takes no arguments.
int RunMainDialog(LPWSTR lpCmdLine, int nCmdShow);

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
