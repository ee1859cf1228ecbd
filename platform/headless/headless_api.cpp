// SPDX-License-Identifier: MIT
// The test-facing calls of win32/headless.h.
#include <stdexcept>

#include "headless/headless_display.h"
#include "src/display_manager.h"
#include "src/message_queue.h"
#include "src/utf.h"
#include "win32/headless.h"

namespace win32::headless {

void Start(const Options& options) { InstallDisplay(std::make_unique<HeadlessDisplay>(options)); }

void Stop() { InstallDisplay(nullptr); }

void SetMonitors(std::vector<Monitor> monitors) {
    Current().SetMonitors(std::move(monitors));
    SystemInputSink().DisplayChanged();
}

void PressKey(UINT virtualKey, unsigned modifiers) {
    ScriptItem item{ScriptItem::Kind::kKey};
    item.virtualKey = virtualKey;
    item.modifiers = modifiers;
    Current().Queue(std::move(item));
}

void Type(std::u16string_view text) {
    ScriptItem item{ScriptItem::Kind::kText};
    item.text = text;
    Current().Queue(std::move(item));
}

void Type(std::string_view utf8) { Type(std::u16string_view(Utf8ToUtf16(utf8))); }

void Click(POINT screen, unsigned modifiers) {
    ScriptItem item{ScriptItem::Kind::kClick};
    item.virtualKey = VK_LBUTTON;
    item.point = screen;
    item.modifiers = modifiers;
    Current().Queue(std::move(item));
}

void RightClick(POINT screen, unsigned modifiers) {
    ScriptItem item{ScriptItem::Kind::kClick};
    item.virtualKey = VK_RBUTTON;
    item.point = screen;
    item.modifiers = modifiers;
    Current().Queue(std::move(item));
}

void Run(std::function<void()> action) {
    if (!action) throw std::invalid_argument("Run needs an action");
    ScriptItem item{ScriptItem::Kind::kAction};
    item.action = std::move(action);
    Current().Queue(std::move(item));
}

std::size_t Pending() { return Current().Pending(); }

void ClearScript() { Current().ClearScript(); }

void QueueScript(std::string_view script) {
    HeadlessDisplay& display = Current();
    for (ScriptItem& item : ParseScript(script)) display.Queue(std::move(item));
}

std::string Picture() { return DrawPicture(ViewsOfScreen(), Current().options()); }

std::string Describe() {
    Current();
    return DescribeWindows(ViewsOfScreen());
}

int PaintCount() { return Current().paints(); }

int BeepCount() { return Current().beeps(); }

}  // namespace win32::headless
