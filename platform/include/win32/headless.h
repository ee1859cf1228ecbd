// SPDX-License-Identifier: MIT
// The headless display, for tests: monitors set by the test, scripted input delivered one item at
// a time whenever the program waits for input with an empty queue, and a text picture of the
// screen. When the script is exhausted and the program would wait, the wait throws
// win32::InputExhausted instead of hanging.
//
//   win32::headless::Start();                       // fresh window system on a headless display
//   win32::headless::Type(u"secret");
//   win32::headless::PressKey(VK_TAB, win32::headless::kShift);
//   win32::headless::Run([] { /* inspect or act while the program waits */ });
//   win32::headless::PressKey(VK_RETURN);
//   int code = wWinMain(...);
//
// All calls belong to the thread that runs the windows.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "win32/input_exhausted.h"

namespace win32 {

namespace headless {

enum Modifier : unsigned { kShift = 1, kControl = 2, kAlt = 4 };

struct Monitor {
    RECT monitor;
    RECT work;
};

struct Options {
    // The first monitor is the primary one.
    std::vector<Monitor> monitors{{{0, 0, 1024, 768}, {0, 0, 1024, 728}}};
    // The dialog font: every character is charWidth pixels wide (wide CJK characters twice
    // that), fontHeight pixels high. 6 x 13 gives Windows' familiar base units of 6 x 13.
    int charWidth = 6;
    int fontHeight = 13;
};

// Makes the window system as at start (every window left over destroyed without calling the
// program's procedures, which may be gone after a failed test; no focus, queued message, timer,
// registered class or clipboard text) with a new headless display with `options` current.
void Start(const Options& options = {});
// Back to no display at all (window creation fails), also destroying every window.
void Stop();

// Changes the monitors while running; windows get WM_DISPLAYCHANGE.
void SetMonitors(std::vector<Monitor> monitors);

// Script items, delivered in order, one per wait.
void PressKey(UINT virtualKey, unsigned modifiers = 0);
void Type(std::u16string_view text);  // one item for the whole text
void Type(std::string_view utf8);
void Click(POINT screen, unsigned modifiers = 0);       // left button down and up
void RightClick(POINT screen, unsigned modifiers = 0);  // right button down and up
void Run(std::function<void()> action);
// Items not yet delivered.
std::size_t Pending();
// Forgets the items not yet delivered.
void ClearScript();

// Parses a script such as "text:hello key:TAB key:shift+TAB key:alt+F4 click:120,80" and
// queues its items. Keys are VK names without "VK_" (A-Z and 0-9 as themselves), modifiers
// shift, ctrl, alt; "rclick:<x>,<y>" clicks the right button. Throws std::invalid_argument on a
// malformed script.
void QueueScript(std::string_view script);

// The screen as text: one character cell per charWidth x fontHeight pixels of the primary
// monitor; windows as boxes with their captions, controls by kind. Drawn from the current state.
std::string Picture();
// The window tree as one line per visible window, indented by depth: class, id, text and state
// (focus, default button, selection and caret of edits, disabled, active).
std::string Describe();
// How many times the window system asked the display to paint.
int PaintCount();
// How many times something rang the bell (MessageBeep, a refused key).
int BeepCount();

}  // namespace headless
}  // namespace win32
