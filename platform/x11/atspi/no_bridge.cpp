// SPDX-License-Identifier: MIT
// Built without sd-bus: the X11 display goes without an accessibility bridge.
#include "x11/atspi/accessibility_bridge.h"

namespace win32 {

std::unique_ptr<AccessibilityBridge> ConnectAccessibilityBridge(
    _XDisplay*, std::function<int(std::u16string_view)>) {
    return nullptr;
}

}  // namespace win32
