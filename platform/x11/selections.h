// SPDX-License-Identifier: MIT
// CLIPBOARD and PRIMARY as X clients share them: the text this program owns, served to whoever
// asks (in pieces, INCR, when it is large), the text of another program's selection asked for
// and put together, whether another program's clipboard holds text (XFixes tells of each new
// owner, which is asked for its TARGETS), and at the end of the program the clipboard handed to
// a clipboard manager (SAVE_TARGETS) or, when none runs, served on by a child process until
// another program takes it. Copied text says it is a secret (x-kde-passwordManagerHint), so that
// clipboard managers that honour the hint keep it out of their history.
#pragma once

#include <X11/Xlib.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace win32::x11 {

class Selections {
public:
    explicit Selections(::Display* display);
    Selections(const Selections&) = delete;
    Selections& operator=(const Selections&) = delete;

    Atom clipboard() const { return clipboard_; }

    // Owns `selection` with UTF-8 `text`; does nothing when it already owns that text.
    void Own(Atom selection, std::string text, Time time);
    // Asks another program's `selection` for its text, which comes to Handle's `pasted` later.
    // False when nobody owns it or this program does.
    bool Request(Atom selection, Time time);
    // The text of `selection` while this program owns it.
    std::optional<std::string> OwnText(Atom selection) const;
    // What Handle reports besides the transfers' texts: another program took the clipboard from
    // this one; whether the clipboard of another program (as each new owner answers TARGETS)
    // holds text.
    struct Listener {
        std::function<void(std::string)> pasted;
        std::function<void()> clipboardTaken;
        std::function<void(bool)> clipboardOffersText;
    };
    // Takes the events of selections and of their transfers; false for any other event.
    bool Handle(const XEvent& event, const Listener& listener);
    // The program ends: PRIMARY is let go, the clipboard handed on. True when a child process
    // now serves it on this connection, which the caller must then leave alone.
    bool Outlive(Time time);

private:
    struct Outgoing {  // a large text handed out piece by piece
        ::Window requestor;
        Atom property;
        Atom type;
        std::string bytes;
        std::size_t sent = 0;
    };
    struct Property {
        Atom type = None;
        int format = 0;
        std::string bytes;
    };

    Property Read(::Window window, Atom property, bool take);
    void Serve(const XSelectionRequestEvent& request);
    bool Answer(const XSelectionRequestEvent& request, const std::string& text, Atom property);
    void ContinueSending(const XPropertyEvent& event);
    void AskTargets(::Window owner, Time time);
    void ReceivedTargets(const XSelectionEvent& event, const Listener& listener);
    void Received(const XSelectionEvent& event, const std::function<void(std::string)>& pasted);
    void ReceivedPiece(const std::function<void(std::string)>& pasted);
    bool HandToManager(Time time);
    [[noreturn]] void ServeUntilTaken();

    ::Display* display_;
    ::Window owner_;  // a window of its own, so that the selections outlive every dialog
    std::size_t piece_;
    Atom clipboard_, targets_, text_, utf8String_, plainText_, incr_, multiple_, atomPair_,
        passwordHint_, manager_, saveTargets_, pasted_, saved_, offered_;
    int fixesEvent_ = -1;         // XFixes' first event, which tells of each new clipboard owner
    ::Window askedOwner_ = None;  // another program whose TARGETS are not answered yet
    Time askedTime_ = CurrentTime;
    std::map<Atom, std::string> owned_;
    std::vector<Outgoing> outgoing_;
    bool receiving_ = false;  // an INCR transfer into `incoming_` is under way
    Atom requestedTarget_ = None;
    Atom requestedSelection_ = None;
    Time requestTime_ = CurrentTime;
    std::string incoming_;
};

}  // namespace win32::x11
