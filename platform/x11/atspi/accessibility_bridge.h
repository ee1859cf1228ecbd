// SPDX-License-Identifier: MIT
// The X11 display's window tree on the desktop's accessibility bus (AT-SPI 2), for screen
// readers: one more reader of the view, which acts only as a person would, through the input
// interface. It is served from the display's own poll loop, and costs nothing without a bus.
#pragma once

#include <poll.h>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "src/display.h"

struct _XDisplay;

namespace win32 {

class AccessibilityBridge {
public:
    virtual ~AccessibilityBridge() = default;
    // The descriptors to wait on with the display's own, and the longest wait in milliseconds
    // the bridge allows (-1: any).
    virtual void AddPollFds(std::vector<pollfd>& fds) = 0;
    virtual int Timeout() = 0;
    // Handles what arrived (requests, replies), acting through `sink`; never blocks.
    virtual void Serve(InputSink& sink) = 0;
    // The views just painted: what changed since the last ones is told as events.
    virtual void Show(const std::vector<WindowView>& screen) = 0;
};

// The bridge when an accessibility bus is announced: AT_SPI_BUS_ADDRESS, the X server's
// AT_SPI_BUS property, or the session bus's org.a11y.Bus (asked without waiting); nullptr
// without any, or with NO_AT_BRIDGE=1. `measure` is the display's width of text.
std::unique_ptr<AccessibilityBridge> ConnectAccessibilityBridge(
    _XDisplay* display, std::function<int(std::u16string_view)> measure);

}  // namespace win32
