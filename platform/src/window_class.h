// SPDX-License-Identifier: MIT
// Window classes: registration, lookup by name (case-insensitive) or atom, and the built-in
// classes (the dialog class and the controls), registered before the first window is created.
#pragma once

#include <windows.h>

#include <memory>

#include "src/window.h"

namespace win32 {

// nullptr when no class has that name or atom.
std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom);
void EnsureBuiltinClasses();
// Forgets every class, so that atoms start afresh; the system classes come back at their next
// use. Only when no window is left.
void ResetClasses();

}  // namespace win32
