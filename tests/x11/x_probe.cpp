// SPDX-License-Identifier: MIT
// What the X11 suite asks of the server that the standard tools cannot.
// Usage: x_probe close WINDOW-ID   asks a window to close the way a window manager does (a
//                                  WM_DELETE_WINDOW client message)
//        x_probe fullscreen WINDOW-ID
//                                  asks the window manager to make a window full screen, as a
//                                  pager or a task bar does
//        x_probe owner SELECTION   prints the selection owner's window id, 0 for none
//        x_probe monitors WxH+X+Y...
//                                  splits the screen into these monitors (RandR), the first
//                                  primary and on the screen's output, prints "ready" and keeps
//                                  them until killed: the server drops them with their client
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr,
                     "usage: x_probe close WINDOW-ID | fullscreen WINDOW-ID | owner SELECTION | "
                     "monitors WxH+X+Y...\n");
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
