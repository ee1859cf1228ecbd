// SPDX-License-Identifier: MIT
// The message trace for debugging a program on the platform: with WIN32_TRACE=messages each
// message sent, posted and dispatched is printed on stderr with its window's class and id, its
// name and its parameters, one line each, as Wine's message spy does.
#pragma once

#include <windows.h>

namespace win32 {

enum class TraceKind { kSent, kPosted, kDispatched };

void TraceMessage(TraceKind kind, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
