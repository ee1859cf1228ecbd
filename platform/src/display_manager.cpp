// SPDX-License-Identifier: MIT
#include "src/display_manager.h"

#include <algorithm>

#include "controls/clipboard.h"
#include "src/caret.h"
#include "src/focus.h"
#include "src/message_queue.h"
#include "src/window.h"
#include "src/window_class.h"
#include "src/window_system.h"

namespace win32 {

namespace {

struct DisplayState {
    std::unique_ptr<Display> display;
    bool chosen = false;
    bool dirty = true;
    std::vector<MonitorArea> placedOn;  // the monitors as windows were last placed on
};

// Where a window of this size is centred on `work`; its top left corner kept in it.
POINT CentredOrigin(const RECT& rect, const RECT& work) {
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    return POINT{work.left + std::max<LONG>(0, (work.right - work.left - width) / 2),
                 work.top + std::max<LONG>(0, (work.bottom - work.top - height) / 2)};
}

DisplayState& State() {
    static DisplayState* state = new DisplayState;
    return *state;
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
    ResetCaret();
    ResetHooks();
    ResetMessageQueue();
    ResetClasses();
    controls::ResetClipboard();
    SetLastError(ERROR_SUCCESS);
    DisplayState& state = State();
    state.display = std::move(display);
    state.chosen = true;
    state.dirty = true;
    state.placedOn.clear();
}

void EndDisplay() {
    // A display never chosen is not made now.
    DisplayState& state = State();
    if (state.display != nullptr) state.display->ProgramEnds();
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
    if (display == nullptr) return {};
    std::vector<MonitorArea> monitors = display->Monitors();
    if (State().placedOn.empty()) State().placedOn = monitors;
    return monitors;
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
    display->Paint(ViewsOfScreen);
}

int MeasureText(std::u16string_view text) {
    Display* display = CurrentDisplay();
    return display != nullptr ? display->MeasureText(text) : 0;
}

EditFont EditFontMetrics() {
    const FontMetrics font = CurrentFont();
    EditFont edit{font.height, (font.alphabetWidth + 26) / 52, std::nullopt};
    switch (GetACP()) {
        case 932:
        case 936:
        case 949:
        case 950:
            // The left margin makes room for what overhangs at the right, and the other way
            // round.
            if (font.overhangLeft > 0 || font.overhangRight > 0)
                edit.margins =
                    EditMargins{std::max(0, font.overhangRight), std::max(0, font.overhangLeft)};
            break;
        default:
            edit.margins = EditMargins{edit.averageWidth / 2, edit.averageWidth / 2};
            break;
    }
    return edit;
}

void Beep() {
    if (Display* display = CurrentDisplay()) display->Beep();
}

void KeepWindowsInWorkAreas() {
    const std::vector<MonitorArea> before = State().placedOn;
    for (HWND hwnd : std::vector<HWND>(TopLevelWindows())) {
        if (!IsWindowVisible(hwnd) || IsIconic(hwnd)) continue;
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        MONITORINFO info{sizeof info, {}, {}, 0};
        if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) continue;
        const RECT& work = info.rcWork;
        const bool inside = rect.left >= work.left && rect.top >= work.top &&
                            rect.right <= work.right && rect.bottom <= work.bottom;
        // A window centred on its work area before stays centred: so a dialog pushed into the
        // corner of a shrunk screen comes back to the middle when it grows again.
        const bool centred = std::any_of(before.begin(), before.end(), [&](const MonitorArea& m) {
            const POINT origin = CentredOrigin(rect, m.work);
            return origin.x == rect.left && origin.y == rect.top;
        });
        if (inside && !centred) continue;
        // Centred where it fits; else its top left corner (caption and close box) in view.
        const POINT origin = CentredOrigin(rect, work);
        if (origin.x == rect.left && origin.y == rect.top) continue;
        SetWindowPos(hwnd, nullptr, origin.x, origin.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    State().placedOn = CurrentMonitors();
}

void PublishClipboardText(std::u16string_view text) {
    if (Display* display = CurrentDisplay()) display->PublishClipboardText(text);
}

bool RequestClipboardPaste() {
    Display* display = CurrentDisplay();
    return display != nullptr && display->RequestClipboardPaste();
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
