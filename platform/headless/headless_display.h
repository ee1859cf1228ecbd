// SPDX-License-Identifier: MIT
// The headless display's internals: the display object, its script of input items, and the
// drawing of the text picture.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "src/display.h"
#include "win32/headless.h"

namespace win32 {

// The exit status of a program started with a malformed WIN32_HEADLESS_SCRIPT.
inline constexpr int kExitBadScript = 64;

// A headless display as WIN32_DISPLAY=headless asks for it, with the script of
// WIN32_HEADLESS_SCRIPT (see win32::headless::QueueScript) queued; throws std::invalid_argument
// for a malformed script.
std::unique_ptr<Display> MakeHeadlessDisplayFromEnvironment();

namespace headless {

struct ScriptItem {
    enum class Kind { kKey, kText, kClick, kAction };  // kClick: `virtualKey` the button
    explicit ScriptItem(Kind itemKind) : kind(itemKind) {}

    Kind kind;
    UINT virtualKey = 0;
    unsigned modifiers = 0;
    std::u16string text;
    POINT point{};
    std::function<void()> action;
};

class HeadlessDisplay : public Display {
public:
    explicit HeadlessDisplay(const Options& options);

    std::vector<MonitorArea> Monitors() override;
    FontMetrics DialogFont() override;
    int MeasureText(std::u16string_view text) override;
    SystemMetricsSet Metrics() override;
    void Paint(const std::function<std::vector<WindowView>()>& screen) override;
    void WaitForInput(InputSink& sink, int timeout) override;
    void Beep() override { ++beeps_; }

    const Options& options() const { return options_; }
    void SetMonitors(std::vector<Monitor> monitors);
    void Queue(ScriptItem item) { script_.push_back(std::move(item)); }
    std::size_t Pending() const { return script_.size(); }
    void ClearScript() { script_.clear(); }
    int paints() const { return paints_; }
    int beeps() const { return beeps_; }

private:
    Options options_;
    std::deque<ScriptItem> script_;
    int paints_ = 0;
    int beeps_ = 0;
};

// The items of a script such as "text:hello key:shift+TAB click:120,80"; throws
// std::invalid_argument for a malformed one.
std::vector<ScriptItem> ParseScript(std::string_view script);

// The current display as a headless one; throws std::logic_error when it is not.
HeadlessDisplay& Current();

// The text picture of the windows (bottom first) on the display's primary monitor: the terminal's
// painting with a cell of charWidth x fontHeight pixels.
std::string DrawPicture(const std::vector<WindowView>& windows, const Options& options);
// One line per window, indented by depth.
std::string DescribeWindows(const std::vector<WindowView>& windows);

}  // namespace headless
}  // namespace win32
