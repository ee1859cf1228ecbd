// SPDX-License-Identifier: MIT
#include "headless/headless_display.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include "src/display_manager.h"
#include "terminal/cell_grid.h"

namespace win32 {

namespace headless {

HeadlessDisplay::HeadlessDisplay(const Options& options) : options_(options) {
    if (options_.monitors.empty()) throw std::invalid_argument("a display needs a monitor");
    if (options_.charWidth <= 0 || options_.fontHeight <= 0) {
        throw std::invalid_argument("character cells must have a size");
    }
    // Text is measured and drawn by the terminal's rules, in a UTF-8 locale.
    terminal::UseUtf8CharacterHandling();
}

std::vector<MonitorArea> HeadlessDisplay::Monitors() {
    std::vector<MonitorArea> areas;
    for (const Monitor& monitor : options_.monitors)
        areas.push_back({monitor.monitor, monitor.work});
    return areas;
}

FontMetrics HeadlessDisplay::DialogFont() {
    return FontMetrics{options_.fontHeight, 52 * options_.charWidth};
}

int HeadlessDisplay::MeasureText(std::u16string_view text) {
    return terminal::TextCells(text) * options_.charWidth;
}

SystemMetricsSet HeadlessDisplay::Metrics() { return SystemMetricsSet{}; }

// The picture is drawn only when a test asks for it.
void HeadlessDisplay::Paint(const std::function<std::vector<WindowView>()>&) { ++paints_; }

void HeadlessDisplay::SetMonitors(std::vector<Monitor> monitors) {
    if (monitors.empty()) throw std::invalid_argument("a display needs a monitor");
    options_.monitors = std::move(monitors);
}

void HeadlessDisplay::WaitForInput(InputSink& sink, int timeout) {
    // Scripted input comes at once; with the script done, a timer may still bring a message.
    if (script_.empty() && timeout >= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeout));
        return;
    }
    if (script_.empty()) {
        throw InputExhausted(
            "headless display: the program waits for input, but the script is exhausted.\n"
            "Windows on the screen:\n" +
            DescribeWindows(ViewsOfScreen()));
    }
    ScriptItem item = std::move(script_.front());
    script_.pop_front();
    switch (item.kind) {
        case ScriptItem::Kind::kKey:
            sink.KeyPress(item.virtualKey, item.modifiers);
            break;
        case ScriptItem::Kind::kText:
            sink.Text(item.text);
            break;
        case ScriptItem::Kind::kClick:
            sink.MouseMove(item.point);
            {
                const MouseKey button =
                    item.virtualKey == VK_RBUTTON ? MouseKey::kRight : MouseKey::kLeft;
                sink.MouseButton(item.point, button, true, item.modifiers);
                sink.MouseButton(item.point, button, false, item.modifiers);
            }
            break;
        case ScriptItem::Kind::kAction:
            item.action();
            break;
    }
}

HeadlessDisplay& Current() {
    auto* display = dynamic_cast<HeadlessDisplay*>(CurrentDisplay());
    if (display == nullptr) {
        throw std::logic_error("the headless display is not the current display: call Start()");
    }
    return *display;
}

}  // namespace headless

std::unique_ptr<Display> MakeHeadlessDisplayFromEnvironment() {
    auto display = std::make_unique<headless::HeadlessDisplay>(headless::Options{});
    if (const char* script = std::getenv("WIN32_HEADLESS_SCRIPT")) {
        headless::HeadlessDisplay* raw = display.get();
        // Parse into the new display before it becomes current.
        std::vector<headless::ScriptItem> items = headless::ParseScript(script);
        for (auto& item : items) raw->Queue(std::move(item));
    }
    return display;
}

}  // namespace win32
