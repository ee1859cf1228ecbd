// SPDX-License-Identifier: MIT
// Window procedures and the text their messages carry: wide, as the layer's own API, or in the
// ANSI code page, for a program written against the ANSI functions. A procedure of one kind
// handed to a caller of the other kind is seen through a view: a function of the caller's kind
// that converts each message and calls the procedure. Internal to the platform.
#pragma once

#include <windows.h>

namespace win32 {

struct Procedure {
    WNDPROC proc = nullptr;
    bool ansi = false;  // its messages carry ANSI text

    bool operator==(const Procedure&) const = default;
};

// What a procedure value given by a caller of the given kind stands for: a view stands for the
// procedure it shows; anything else is a procedure of the caller's kind.
Procedure ResolveProcedure(WNDPROC value, bool callerAnsi);
// The value a caller of the given kind sees for `procedure`: the procedure itself when the kinds
// match, else a view of it.
WNDPROC ProcedureView(Procedure procedure, bool callerAnsi);

// Calls `procedure` with a message whose text is ANSI when `messageAnsi`, else wide; the text is
// converted for a procedure of the other kind (and any answer converted back).
LRESULT CallProcedure(Procedure procedure, bool messageAnsi, HWND hwnd, UINT message, WPARAM wParam,
                      LPARAM lParam);
// The conversion itself: `procedure` is of the other kind than the message.
LRESULT CallConverted(Procedure procedure, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace win32
