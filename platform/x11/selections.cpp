// SPDX-License-Identifier: MIT
#include "x11/selections.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "src/utf.h"

namespace win32::x11 {

namespace {

// Larger texts go in pieces of this size; well below any server's largest request.
constexpr std::size_t kPieceBytes = 64 * 1024;
// How long a clipboard manager may take to save the clipboard at the end of the program.
constexpr auto kManagerPatience = std::chrono::seconds(5);

// STRING is Latin-1: characters beyond it become '?'.
std::string Latin1Of(const std::string& utf8) {
    std::string latin1;
    for (const CodePoint& point : DecodeUtf16(Utf8ToUtf16(utf8)))
        latin1 += point.value < 0x100 ? static_cast<char>(point.value) : '?';
    return latin1;
}

// While the program ends, what Handle reports concerns nobody.
const Selections::Listener kIgnored{[](std::string) {}, [] {}, [](bool) {}};

std::string Utf8OfLatin1(const std::string& latin1) {
    std::string utf8;
    for (unsigned char c : latin1) AppendUtf8(utf8, c);
    return utf8;
}

}  // namespace

Selections::Selections(::Display* display) : display_(display) {
    owner_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, owner_, PropertyChangeMask);
    const long largest = XExtendedMaxRequestSize(display_) > 0 ? XExtendedMaxRequestSize(display_)
                                                               : XMaxRequestSize(display_);
    piece_ = std::min<std::size_t>(kPieceBytes, static_cast<std::size_t>(largest) * 4 - 1024);
    for (auto [atom, name] : {std::pair{&clipboard_, "CLIPBOARD"},
                              {&targets_, "TARGETS"},
                              {&text_, "TEXT"},
                              {&utf8String_, "UTF8_STRING"},
                              {&plainText_, "text/plain;charset=utf-8"},
                              {&incr_, "INCR"},
                              {&multiple_, "MULTIPLE"},
                              {&atomPair_, "ATOM_PAIR"},
                              {&passwordHint_, "x-kde-passwordManagerHint"},
                              {&manager_, "CLIPBOARD_MANAGER"},
                              {&saveTargets_, "SAVE_TARGETS"},
                              {&pasted_, "CREDCIPHER_PASTE"},
                              {&saved_, "CREDCIPHER_SAVED"},
                              {&offered_, "CREDCIPHER_TARGETS"}}) {
        *atom = XInternAtom(display_, name, False);
    }
    // Each new owner of the clipboard is told, so that the program knows whether another
    // program's copy is text before anyone pastes; the owner there at the start is asked too.
    int error = 0;
    int major = 5;
    int minor = 0;
    if (XFixesQueryExtension(display_, &fixesEvent_, &error) &&
        XFixesQueryVersion(display_, &major, &minor)) {
        XFixesSelectSelectionInput(display_, owner_, clipboard_,
                                   XFixesSetSelectionOwnerNotifyMask |
                                       XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
        AskTargets(XGetSelectionOwner(display_, clipboard_), CurrentTime);
    } else {
        fixesEvent_ = -1;
    }
}

void Selections::Own(Atom selection, std::string text, Time time) {
    auto current = owned_.find(selection);
    if (current != owned_.end() && current->second == text) return;
    owned_[selection] = std::move(text);
    XSetSelectionOwner(display_, selection, owner_, time);
}

bool Selections::Request(Atom selection, Time time) {
    const ::Window owner = XGetSelectionOwner(display_, selection);
    if (owner == None || owner == owner_) return false;
    receiving_ = false;
    requestedSelection_ = selection;
    requestedTarget_ = utf8String_;
    requestTime_ = time;
    XConvertSelection(display_, selection, utf8String_, pasted_, owner_, time);
    return true;
}

std::optional<std::string> Selections::OwnText(Atom selection) const {
    auto owned = owned_.find(selection);
    if (owned == owned_.end()) return std::nullopt;
    return owned->second;
}

bool Selections::Handle(const XEvent& event, const Listener& listener) {
    if (fixesEvent_ >= 0 && event.type == fixesEvent_ + XFixesSelectionNotify) {
        const auto& notify = reinterpret_cast<const XFixesSelectionNotifyEvent&>(event);
        if (notify.selection != clipboard_) return true;
        // Until the new owner tells its targets, nothing is known to be there.
        listener.clipboardOffersText(false);
        AskTargets(notify.owner, notify.timestamp);
        return true;
    }
    switch (event.type) {
        case SelectionRequest:
            Serve(event.xselectionrequest);
            return true;
        case SelectionClear:
            owned_.erase(event.xselectionclear.selection);
            if (event.xselectionclear.selection == clipboard_) listener.clipboardTaken();
            return true;
        case SelectionNotify:
            if (event.xselection.requestor != owner_) return false;
            if (event.xselection.selection == clipboard_ && event.xselection.target == targets_) {
                ReceivedTargets(event.xselection, listener);
            } else {
                Received(event.xselection, listener.pasted);
            }
            return true;
        case PropertyNotify:
            if (event.xproperty.window == owner_) {
                if (receiving_ && event.xproperty.atom == pasted_ &&
                    event.xproperty.state == PropertyNewValue)
                    ReceivedPiece(listener.pasted);
                return true;
            }
            if (event.xproperty.state != PropertyDelete) return false;
            for (const Outgoing& out : outgoing_) {
                if (out.requestor == event.xproperty.window) {
                    ContinueSending(event.xproperty);
                    return true;
                }
            }
            return false;
        default:
            return false;
    }
}

// The whole of a property; deleted once read when taken (which asks an INCR sender for its next
// piece).
Selections::Property Selections::Read(::Window window, Atom property, bool take) {
    Property result;
    long offset = 0;
    for (;;) {
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, property, offset, 1 << 16, False, AnyPropertyType,
                               &result.type, &result.format, &count, &after, &data) != Success ||
            data == nullptr)
            break;
        // Format 32 comes as longs, whatever their size.
        const std::size_t unit = result.format == 8    ? 1
                                 : result.format == 16 ? sizeof(short)
                                                       : sizeof(long);
        result.bytes.append(reinterpret_cast<const char*>(data), count * unit);
        XFree(data);
        offset += static_cast<long>(count * static_cast<unsigned long>(result.format) / 32);
        if (after == 0 || count == 0) break;
    }
    if (take) XDeleteProperty(display_, window, property);
    return result;
}

void Selections::Received(const XSelectionEvent& event,
                          const std::function<void(std::string)>& pasted) {
    if (event.property == None) {
        // An owner without UTF-8 may still have Latin-1.
        if (event.target == utf8String_ && event.selection == requestedSelection_) {
            requestedTarget_ = XA_STRING;
            XConvertSelection(display_, requestedSelection_, XA_STRING, pasted_, owner_,
                              requestTime_);
        }
        return;
    }
    if (event.property != pasted_) return;
    Property property = Read(owner_, pasted_, true);
    if (property.type == incr_) {
        receiving_ = true;
        incoming_.clear();
        return;
    }
    if (property.format != 8) return;
    pasted(property.type == XA_STRING ? Utf8OfLatin1(property.bytes) : property.bytes);
}

// Another program's clipboard is asked what it holds; this program's own is no other's.
void Selections::AskTargets(::Window owner, Time time) {
    askedOwner_ = owner == owner_ ? None : owner;
    askedTime_ = time;
    if (askedOwner_ != None)
        XConvertSelection(display_, clipboard_, targets_, offered_, owner_, time);
}

// The answer of the owner asked last; an earlier owner's answer comes too late to count.
void Selections::ReceivedTargets(const XSelectionEvent& event, const Listener& listener) {
    if (askedOwner_ == None || event.time != askedTime_) return;
    askedOwner_ = None;
    if (event.property == None) return;
    const Property offered = Read(owner_, event.property, true);
    if (offered.format != 32) return;
    std::vector<long> targets(offered.bytes.size() / sizeof(long));
    std::memcpy(targets.data(), offered.bytes.data(), targets.size() * sizeof(long));
    listener.clipboardOffersText(std::any_of(targets.begin(), targets.end(), [&](long target) {
        const auto atom = static_cast<Atom>(target);
        return atom == utf8String_ || atom == XA_STRING || atom == text_ || atom == plainText_;
    }));
}

void Selections::ReceivedPiece(const std::function<void(std::string)>& pasted) {
    Property piece = Read(owner_, pasted_, true);
    if (!piece.bytes.empty()) {
        incoming_ += piece.bytes;
        return;
    }
    receiving_ = false;  // the empty piece ends the transfer
    std::string text = std::move(incoming_);
    incoming_.clear();
    pasted(requestedTarget_ == XA_STRING ? Utf8OfLatin1(text) : std::move(text));
}

void Selections::Serve(const XSelectionRequestEvent& request) {
    XSelectionEvent reply{};
    reply.type = SelectionNotify;
    reply.display = request.display;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.time = request.time;
    reply.property = None;
    // Obsolete clients name no property: the target is the property then.
    const Atom property = request.property != None ? request.property : request.target;
    auto owned = owned_.find(request.selection);
    if (owned != owned_.end() && request.target == multiple_ && request.property != None) {
        // Several targets at once, as (target, property) pairs; a target not given is None.
        Property pairs = Read(request.requestor, request.property, false);
        std::vector<long> list(pairs.bytes.size() / sizeof(long));
        std::memcpy(list.data(), pairs.bytes.data(), list.size() * sizeof(long));
        for (std::size_t i = 0; i + 1 < list.size(); i += 2) {
            XSelectionRequestEvent one = request;
            one.target = static_cast<Atom>(list[i]);
            one.property = static_cast<Atom>(list[i + 1]);
            if (one.target == multiple_ || !Answer(one, owned->second, one.property))
                list[i] = None;
        }
        XChangeProperty(display_, request.requestor, request.property, atomPair_, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(list.data()),
                        static_cast<int>(list.size()));
        reply.property = request.property;
    } else if (owned != owned_.end() && Answer(request, owned->second, property)) {
        reply.property = property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&reply));
}

bool Selections::Answer(const XSelectionRequestEvent& request, const std::string& text,
                        Atom property) {
    const Atom target = request.target;
    if (target == targets_) {
        const Atom offered[] = {targets_,  multiple_, utf8String_,  plainText_,
                                XA_STRING, text_,     passwordHint_};
        XChangeProperty(display_, request.requestor, property, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(offered), std::size(offered));
        return true;
    }
    std::string bytes;
    Atom type = utf8String_;
    if (target == passwordHint_) {
        bytes = "secret";
        type = passwordHint_;
    } else if (target == XA_STRING) {
        bytes = Latin1Of(text);
        type = XA_STRING;
    } else if (target == utf8String_ || target == text_ || target == plainText_) {
        bytes = text;
        type = target == plainText_ ? plainText_ : utf8String_;
    } else {
        return false;
    }
    if (bytes.size() <= piece_) {
        XChangeProperty(display_, request.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()),
                        static_cast<int>(bytes.size()));
        return true;
    }
    // INCR: the size first; each piece follows when the requestor has deleted the last.
    XSelectInput(display_, request.requestor, PropertyChangeMask);
    const long size = static_cast<long>(bytes.size());
    XChangeProperty(display_, request.requestor, property, incr_, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&size), 1);
    outgoing_.push_back(Outgoing{request.requestor, property, type, std::move(bytes)});
    return true;
}

void Selections::ContinueSending(const XPropertyEvent& event) {
    auto out = std::find_if(outgoing_.begin(), outgoing_.end(), [&](const Outgoing& o) {
        return o.requestor == event.window && o.property == event.atom;
    });
    if (out == outgoing_.end()) return;
    const std::size_t length = std::min(piece_, out->bytes.size() - out->sent);
    XChangeProperty(display_, out->requestor, out->property, out->type, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(out->bytes.data() + out->sent),
                    static_cast<int>(length));
    out->sent += length;
    if (length == 0) {  // the empty piece, just written, ends it
        const ::Window requestor = out->requestor;
        outgoing_.erase(out);
        // Another transfer to the same window still waits for its deletions.
        if (std::none_of(outgoing_.begin(), outgoing_.end(),
                         [&](const Outgoing& o) { return o.requestor == requestor; }))
            XSelectInput(display_, requestor, NoEventMask);
    }
}

bool Selections::Outlive(Time time) {
    if (XGetSelectionOwner(display_, XA_PRIMARY) == owner_)
        XSetSelectionOwner(display_, XA_PRIMARY, None, time);
    owned_.erase(XA_PRIMARY);
    if (!owned_.contains(clipboard_) || XGetSelectionOwner(display_, clipboard_) != owner_ ||
        HandToManager(time))
        return false;
    XSync(display_, False);
    const pid_t child = fork();
    if (child < 0) return false;  // nobody can keep it: it goes with the program
    if (child > 0) return true;
    ServeUntilTaken();
}

// The freedesktop convention: the manager copies every target of ours, takes the clipboard
// and answers; meanwhile this program serves it as usual.
bool Selections::HandToManager(Time time) {
    if (XGetSelectionOwner(display_, manager_) == None) return false;
    XConvertSelection(display_, manager_, saveTargets_, saved_, owner_, time);
    const auto deadline = std::chrono::steady_clock::now() + kManagerPatience;
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == SelectionNotify && event.xselection.selection == manager_)
                return event.xselection.property != None;
            Handle(event, kIgnored);
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left.count()));
    }
}

// The child: detached from the terminal and the caller's pipes, it serves the clipboard until
// another program owns it and the last large transfer is done.
void Selections::ServeUntilTaken() {
    setsid();
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, fd);
        if (null > STDERR_FILENO) close(null);
    }
    if (chdir("/") != 0) {
        // The folder it started in stays busy; nothing else depends on it.
    }
    while (owned_.contains(clipboard_) || !outgoing_.empty()) {
        XEvent event;
        XNextEvent(display_, &event);
        Handle(event, kIgnored);
    }
    _exit(0);
}

}  // namespace win32::x11
