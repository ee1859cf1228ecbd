// A person's session with the program on the headless display: the steps (keys, typing, clicks,
// looks at the screen) are handed to the display one at a time, each when the program waits
// for input, so that a click lands where the control is at that moment.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "win32/headless.h"

namespace e2e {

// The top-level window with this caption, or nullptr.
HWND FindWindowByCaption(std::u16string_view caption);
// The text of a window, as GetWindowTextW gives it.
std::u16string TextOf(HWND hWnd);
RECT RectOf(HWND hWnd);
POINT CenterOf(HWND hWnd);
// The middle of the close box at the right end of the window's caption.
POINT CloseBoxOf(HWND hWnd);

class Session {
public:
    Session& Press(UINT virtualKey, unsigned modifiers = 0);
    Session& Type(std::u16string text);
    // Clicks the middle of the main dialog's control id.
    Session& Click(int controlId);
    // Clicks the point that where() gives while the program waits.
    Session& ClickAt(std::function<POINT()> where);
    // Runs look (checks, or an action of the outside world) while the program waits.
    Session& Then(std::function<void()> look);
    // Sends the main dialog a command as another program would.
    Session& PostCommand(WORD id);

    // Runs the program with the steps; returns its exit code. A step that is never reached
    // fails the test.
    int Run(std::u16string commandLine = u"", int showCommand = SW_SHOWDEFAULT);

    // The main dialog while the session runs.
    HWND Main() const { return m_main; }
    std::u16string Field(int id) const { return TextOf(GetDlgItem(m_main, id)); }
    HWND Control(int id) const { return GetDlgItem(m_main, id); }

private:
    void Next();

    std::deque<std::function<void()>> m_steps;
    HWND m_main = nullptr;
    std::size_t m_left = 0;
};

}  // namespace e2e
