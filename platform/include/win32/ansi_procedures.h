// SPDX-License-Identifier: MIT
// ANSI window procedures, for a program written against the ANSI functions and built over the
// wide ones (Wine's user32 tests): text in the messages of an ANSI procedure is in the ANSI code
// page, converted both ways where the sender is wide, and IsWindowUnicode is FALSE for a window
// with one. The program hands its procedures to the wide functions through WideProcedure and
// takes the ones they return through AnsiProcedure; a dialog made for an ANSI dialog procedure is
// an ANSI dialog, its controls too.
#pragma once

#include <windows.h>

namespace win32 {

// An ANSI procedure as the wide functions take it, and what they give as an ANSI caller sees
// it: the procedure itself where it is of that kind, else a function that converts messages.
WNDPROC WideProcedure(WNDPROC ansiProc);
WNDPROC AnsiProcedure(WNDPROC wideProc);

// GetWindowLongPtrW and SetWindowLongPtrW with GWLP_WNDPROC and a dialog's DWLP_DLGPROC taken
// and given as ANSI procedures: setting one makes the window an ANSI window.
LONG_PTR GetWindowLongPtrAnsi(HWND hwnd, int index);
LONG_PTR SetWindowLongPtrAnsi(HWND hwnd, int index, LONG_PTR value);

// CreateWindowExW for an ANSI caller: a window of a built-in class is an ANSI window.
HWND CreateAnsiWindow(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x,
                      int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                      LPVOID param);

// SendMessageW, CallWindowProcW, DefWindowProcW and DefDlgProcW for a message whose text is
// ANSI; CallAnsiWindowProc takes the procedure as an ANSI caller holds it.
LRESULT SendAnsiMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallAnsiWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefAnsiWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DefAnsiDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
