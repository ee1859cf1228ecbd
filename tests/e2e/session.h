// SPDX-License-Identifier: MIT
// A person's session with the program on the headless display: each step (a key, typing, a
// click, a look at the screen) is handed over when the program waits for input, so a click lands
// where the control is at that moment.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>

#include "support/headless_test.h"

namespace e2e {

namespace headless = win32::headless;

constexpr int kExitOk = 1;
constexpr int kExitCancel = 2;

HWND FindWindowByCaption(std::u16string_view caption);
inline HWND AboutBox() { return FindWindowByCaption(u"About"); }
using test::TextOf;
RECT RectOf(HWND hWnd);
POINT CenterOf(HWND hWnd);
// The middle of the close box at the right end of the window's caption.
POINT CloseBoxOf(HWND hWnd);

// The tool's cipher text of `ansi` (the text in the ANSI code page), computed by OpenSSL.
std::u16string ReferenceCipherText(const std::string& ansi);

class Session {
public:
    Session& Press(UINT virtualKey, unsigned modifiers = 0);
    Session& Type(std::u16string text);
    // Clicks the middle of the main dialog's control id.
    Session& Click(int controlId);
    Session& ClickAt(std::function<POINT()> where);
    // Clicks into a field and replaces all of its text.
    Session& Fill(int id, const std::u16string& text);
    // Copies one field's text into another through the clipboard.
    Session& Copy(int from, int to);
    // Runs look (checks, or an act of the outside world) while the program waits.
    Session& Then(std::function<void()> look);
    // Sends the main dialog a command as another program would.
    Session& PostCommand(WORD id);

    // Runs wWinMain with the steps and returns its exit code; a step never reached fails.
    int Run(std::u16string commandLine = u"", int showCommand = SW_SHOWDEFAULT);

    HWND Main() const { return m_main; }
    HWND Control(int id) const { return GetDlgItem(m_main, id); }
    std::u16string Field(int id) const { return TextOf(Control(id)); }

private:
    void Next();

    std::deque<std::function<void()>> m_steps;
    HWND m_main = nullptr;
};

using SessionTest = test::HeadlessTest;

}  // namespace e2e
