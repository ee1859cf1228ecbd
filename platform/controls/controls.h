// SPDX-License-Identifier: MIT
// The built-in control classes: BUTTON (push, default push, group box), single-line EDIT and
// STATIC (text, icon), written against the Win32 API alone.
#pragma once

// Registers the three classes (names compared without case: "Button", "Edit", "Static").
// Calling it again changes nothing.
void RegisterBuiltinControls();
