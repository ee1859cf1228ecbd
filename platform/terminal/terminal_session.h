// SPDX-License-Identifier: MIT
// The terminal while the program owns it: the locale, curses on standard input and output, the
// modes the program sets (raw keys, keypad, mouse reports, bracketed paste, alternate screen) and
// one tear-down that puts all of it back. The tear-down runs when the session ends, at exit, and
// from the handlers of SIGINT, SIGTERM, SIGHUP and the crash signals, with async-signal-safe
// calls only; the signal then takes its default action. After Ctrl+Z and fg (SIGCONT) the modes
// are set again.
#pragma once

#include <curses.h>

#include <memory>
#include <string_view>

namespace win32::terminal {

// Key codes curses gives the bracketed-paste markers.
inline constexpr int kPasteStartKey = KEY_MAX + 1;
inline constexpr int kPasteEndKey = KEY_MAX + 2;

class TerminalSession {
public:
    // A session on standard input and output; nullptr when they are not a usable terminal (one
    // line on stderr says why when a terminal was there).
    static std::unique_ptr<TerminalSession> Open();
    ~TerminalSession();

    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    // Readable when a signal needs the display's attention; Drain() empties it.
    int wakeFd() const;
    void Drain();
    // Each true once after the terminal was resized, or continued after a stop.
    bool TakeResized();
    bool TakeContinued();
    // Sets the program's modes again (a continued program finds the terminal as the shell
    // left it).
    void SetModes();

    // Writes a control sequence of the program's own (not through curses).
    static void Send(std::string_view sequence);

    // The terminal went away: there is nobody to answer the dialog.
    [[noreturn]] static void HangUp();

private:
    TerminalSession() = default;
};

}  // namespace win32::terminal
