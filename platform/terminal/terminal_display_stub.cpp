// No terminal display yet: the window system falls back to no display.
#include "src/display.h"

namespace win32 {

std::unique_ptr<Display> MakeTerminalDisplay() { return nullptr; }

}  // namespace win32
