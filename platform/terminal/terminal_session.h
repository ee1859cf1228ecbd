// SPDX-License-Identifier: MIT
// The terminal while the program owns it: the locale, curses on standard input and output, the
// modes the program sets (raw keys, keypad, mouse reports, bracketed paste, alternate screen) and
// one tear-down that puts all of it back. The tear-down runs when the session ends, at exit, and
// from the handler of every signal that ends the program, with async-signal-safe calls only;
// the signal then takes its default action, except SIGHUP, which ends the program as Cancel
// does. The signals that stop it (Ctrl+Z, and a background read or write) restore the terminal
// too; after fg (SIGCONT) the modes are set again. Signals ignored when the program started
// stay ignored.
#pragma once

#include <curses.h>

#include <memory>
#include <string_view>

namespace win32::terminal {

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
    // Sets the program's modes (again, when a stop restored the terminal).
    void SetModes();

    // Writes a control sequence of the program's own (not through curses).
    static void Send(std::string_view sequence);

    // The terminal went away: there is nobody to answer the dialog, which ends as Cancel.
    [[noreturn]] static void HangUp();

private:
    TerminalSession() = default;
};

}  // namespace win32::terminal
