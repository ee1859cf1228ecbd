// SPDX-License-Identifier: MIT
// What the X11 suite asks of the server that the standard tools cannot.
// Usage: x_probe close WINDOW-ID   asks a window to close the way a window manager does (a
//                                  WM_DELETE_WINDOW client message)
//        x_probe owner SELECTION   prints the selection owner's window id, 0 for none
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: x_probe close WINDOW-ID | owner SELECTION\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return 1;
    if (std::strcmp(argv[1], "owner") == 0) {
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
