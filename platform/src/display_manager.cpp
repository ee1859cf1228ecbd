#include "src/display_manager.h"

#include <unistd.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "headless/headless_display.h"
#include "src/focus.h"
#include "src/message_queue.h"
#include "src/window.h"
#include "src/window_system.h"

namespace win32 {

namespace {

struct DisplayState {
    std::unique_ptr<Display> display;
    bool chosen = false;
    bool dirty = true;
};

DisplayState& State() {
    static DisplayState* state = new DisplayState;
    return *state;
}

std::unique_ptr<Display> ChooseDisplay() {
    const char* requested = std::getenv("WIN32_DISPLAY");
    if (requested != nullptr && *requested != '\0') {
        std::string_view name(requested);
        if (name == "terminal") return MakeTerminalDisplay();
        if (name == "headless") return MakeHeadlessDisplayFromEnvironment();
        if (name != "none") {
            std::fprintf(stderr, "WIN32_DISPLAY=%s is not terminal, headless or none; using none\n",
                         requested);
        }
        return nullptr;
    }
    if (isatty(0) && isatty(1)) return MakeTerminalDisplay();
    return nullptr;
}

WindowView ViewOf(HWND hwnd) {
    Window* window = FindWindow(hwnd);
    WindowView view;
    view.handle = hwnd;
    view.className = window->windowClass->name;
    view.style = window->style;
    view.exStyle = window->exStyle;
    view.window = WindowRectOnScreen(*window);
    view.client = ClientRectOnScreen(*window);
    view.enabled = window->IsEnabled();
    view.focused = GetFocus() == hwnd;
    view.active = GetActiveWindow() == hwnd;
    // Text as the window reports it: controls may keep their own.
    LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (length > 0 && IsWindow(hwnd)) {
        view.text.resize(static_cast<std::size_t>(length) + 1);
        LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, view.text.size(),
                                      reinterpret_cast<LPARAM>(view.text.data()));
        view.text.resize(static_cast<std::size_t>(std::max<LRESULT>(0, std::min(copied, length))));
    }
    if ((window = FindWindow(hwnd)) == nullptr) return view;
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        Window* candidate = FindWindow(child);
        if (candidate != nullptr && candidate->IsVisible()) view.children.push_back(ViewOf(child));
    }
    return view;
}

}  // namespace

Display* CurrentDisplay() {
    DisplayState& state = State();
    if (!state.chosen) {
        state.chosen = true;
        state.display = ChooseDisplay();
    }
    return state.display.get();
}

void InstallDisplay(std::unique_ptr<Display> display) {
    DestroyAllWindows();
    ResetFocus();
    ResetMessageQueue();
    DisplayState& state = State();
    state.display = std::move(display);
    state.chosen = true;
    state.dirty = true;
}

SystemMetricsSet CurrentMetrics() {
    Display* display = CurrentDisplay();
    return display != nullptr ? display->Metrics() : SystemMetricsSet{};
}

FontMetrics CurrentFont() {
    Display* display = CurrentDisplay();
    // Without a display: Windows' dialog font at 96 DPI (base units 6 x 13).
    return display != nullptr ? display->DialogFont() : FontMetrics{13, 6 * 52};
}

std::vector<MonitorArea> CurrentMonitors() {
    Display* display = CurrentDisplay();
    return display != nullptr ? display->Monitors() : std::vector<MonitorArea>{};
}

POINT DialogBaseUnits() {
    FontMetrics font = CurrentFont();
    return POINT{(font.alphabetWidth + 26) / 52, font.height};
}

void MarkDirty() { State().dirty = true; }

void PaintIfDirty() {
    DisplayState& state = State();
    Display* display = CurrentDisplay();
    if (!state.dirty || display == nullptr) return;
    state.dirty = false;
    display->Paint(display->DrawsWindows() ? SnapshotWindows() : std::vector<WindowView>{});
}

std::vector<WindowView> SnapshotWindows() {
    std::vector<WindowView> views;
    std::vector<HWND> topLevel = TopLevelWindows();
    for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it) {
        Window* window = FindWindow(*it);
        if (window != nullptr && window->IsVisible()) views.push_back(ViewOf(*it));
    }
    return views;
}

int MeasureText(std::u16string_view text) {
    Display* display = CurrentDisplay();
    return display != nullptr ? display->MeasureText(text) : 0;
}

void Beep() {
    if (Display* display = CurrentDisplay()) display->Beep();
}

}  // namespace win32

BOOL WINAPI MessageBeep(UINT) {
    win32::Beep();
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits() {
    POINT units = win32::DialogBaseUnits();
    return MAKELONG(units.x, units.y);
}
