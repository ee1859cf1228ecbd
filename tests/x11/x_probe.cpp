// SPDX-License-Identifier: MIT
// What the X11 suite asks of the server that the standard tools cannot.
// Usage: x_probe close WINDOW-ID   asks a window to close the way a window manager does (a
//                                  WM_DELETE_WINDOW client message)
//        x_probe fullscreen WINDOW-ID
//                                  asks the window manager to make a window full screen, as a
//                                  pager or a task bar does
//        x_probe owner SELECTION   prints the selection owner's window id, 0 for none
//        x_probe multiple SELECTION
//                                  asks for UTF8_STRING and TEXT at once (MULTIPLE) on one
//                                  window, takes each in pieces when it comes so (INCR), and
//                                  prints their sizes in bytes; "stalled" after them when a
//                                  transfer stopped before its end
//        x_probe monitors WxH+X+Y...
//                                  splits the screen into these monitors (RandR), the first
//                                  primary and on the screen's output, prints "ready" and keeps
//                                  them until killed: the server drops them with their client
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The whole of a property, deleted once read.
std::string Take(Display* display, Window window, Atom property, Atom* type) {
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string bytes;
    if (XGetWindowProperty(display, window, property, 0, 1 << 22, True, AnyPropertyType, type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr) {
        bytes.assign(reinterpret_cast<const char*>(data), format == 8 ? count : 0);
        XFree(data);
    }
    return bytes;
}

int Multiple(Display* display, const char* selection) {
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display, window, PropertyChangeMask);
    const Atom incr = XInternAtom(display, "INCR", False);
    const Atom pairsProperty = XInternAtom(display, "PROBE_PAIRS", False);
    const Atom properties[2] = {XInternAtom(display, "PROBE_ONE", False),
                                XInternAtom(display, "PROBE_TWO", False)};
    const long pairs[4] = {static_cast<long>(XInternAtom(display, "UTF8_STRING", False)),
                           static_cast<long>(properties[0]),
                           static_cast<long>(XInternAtom(display, "TEXT", False)),
                           static_cast<long>(properties[1])};
    XChangeProperty(display, window, pairsProperty, XInternAtom(display, "ATOM_PAIR", False), 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(pairs), 4);
    XConvertSelection(display, XInternAtom(display, selection, False),
                      XInternAtom(display, "MULTIPLE", False), pairsProperty, window, CurrentTime);
    std::string texts[2];
    bool notified = false;
    bool pieces[2] = {false, false};  // coming in pieces, not ended yet
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!notified || pieces[0] || pieces[1]) {
        if (XPending(display) == 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == SelectionNotify) {
            if (event.xselection.property == None) return 1;
            notified = true;
            for (int i = 0; i < 2; ++i) {
                Atom type = None;
                texts[i] = Take(display, window, properties[i], &type);
                pieces[i] = type == incr;
            }
        } else if (event.type == PropertyNotify && notified &&
                   event.xproperty.state == PropertyNewValue) {
            for (int i = 0; i < 2; ++i) {
                if (!pieces[i] || event.xproperty.atom != properties[i]) continue;
                Atom type = None;
                const std::string piece = Take(display, window, properties[i], &type);
                pieces[i] = !piece.empty();
                texts[i] += piece;
            }
        }
    }
    std::printf("%zu %zu%s\n", texts[0].size(), texts[1].size(),
                !notified || pieces[0] || pieces[1] ? " stalled" : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: x_probe close WINDOW-ID | fullscreen WINDOW-ID | owner SELECTION | "
                     "multiple SELECTION | monitors WxH+X+Y...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    if (std::strcmp(argv[1], "monitors") == 0) {
        const Window root = DefaultRootWindow(display);
        XRRScreenResources* resources = XRRGetScreenResources(display, root);
        for (int i = 2; i < argc; ++i) {
            XRRMonitorInfo* monitor = XRRAllocateMonitor(display, i == 2 && resources->noutput > 0);
            if (std::sscanf(argv[i], "%dx%d+%d+%d", &monitor->width, &monitor->height, &monitor->x,
                            &monitor->y) != 4)
                return 2;
            const std::string name = "probe-" + std::to_string(i - 1);
            monitor->name = XInternAtom(display, name.c_str(), False);
            monitor->mwidth = monitor->width / 4;
            monitor->mheight = monitor->height / 4;
            monitor->primary = i == 2;
            if (monitor->noutput > 0) monitor->outputs[0] = resources->outputs[0];
            XRRSetMonitor(display, root, monitor);
            XRRFreeMonitors(monitor);
        }
        XRRFreeScreenResources(resources);
        XSync(display, False);
        std::printf("ready\n");
        std::fflush(stdout);
        pause();
    } else if (std::strcmp(argv[1], "fullscreen") == 0) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::strtoul(argv[2], nullptr, 0);
        event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = 1;  // add
        event.xclient.data.l[1] =
            static_cast<long>(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
        event.xclient.data.l[3] = 2;  // asked by the person, through a pager
        XSendEvent(display, DefaultRootWindow(display), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else if (std::strcmp(argv[1], "multiple") == 0) {
        const int status = Multiple(display, argv[2]);
        XCloseDisplay(display);
        return status;
    } else if (std::strcmp(argv[1], "owner") == 0) {
        std::printf("0x%lx\n", XGetSelectionOwner(display, XInternAtom(display, argv[2], False)));
    } else {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = std::strtoul(argv[2], nullptr, 0);
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] =
            static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    }
    XCloseDisplay(display);
    return 0;
}
