// SPDX-License-Identifier: MIT
// The current display: chosen once at first use (ChooseDisplay), replaced by tests through
// win32/headless.h. Also what the window system reads from it (metrics, fonts,
// monitors) and the painting of the window tree when something changed.
#pragma once

#include <memory>
#include <vector>

#include "src/display.h"

namespace win32 {

// nullptr when there is no display: then creating a window fails.
Display* CurrentDisplay();
// Makes `display` current (nullptr: no display), with the window system as at start: windows
// left over destroyed (their properties with them), and no focus, capture, queued message, timer,
// key held, registered class, clipboard text or last error.
void InstallDisplay(std::unique_ptr<Display> display);
// The program ends with the display it has: it may hand on what outlives the program.
void EndDisplay();

// From the current display, or Windows' 96-DPI values without one.
SystemMetricsSet CurrentMetrics();
FontMetrics CurrentFont();
// Empty without a display.
std::vector<MonitorArea> CurrentMonitors();

// Dialog base units of the display's font: x = alphabet width / 52 rounded, y = height.
POINT DialogBaseUnits();

// After the monitors changed: moves each top-level window that left its monitor's work area
// back into it, centred where it fits, as Windows does when a work area shrinks; a window that
// was centred on the work area before is centred on the new one.
void KeepWindowsInWorkAreas();

// Something visible changed; the display paints when the queue next runs dry.
void MarkDirty();
void PaintIfDirty();

}  // namespace win32
