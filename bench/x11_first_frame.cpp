// SPDX-License-Identifier: MIT
// Starts a program and reports how long its first window took to show a drawn frame on the X
// server in DISPLAY, and the program's peak resident memory with that window shown.
// A frame counts as drawn when the mapped window shows at least two colours: a blank window
// (its background, or nothing at all) shows one.
// Usage: x11_first_frame WM_CLASS-CLASS PROGRAM [ARGUMENT...]
// Prints: "<milliseconds> <peak RSS in KiB>"; exits non-zero when no frame came within 10 s.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

bool HasClass(Display* display, Window window, const char* wanted) {
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint) == 0) return false;
    const bool matches = hint.res_class != nullptr && std::strcmp(hint.res_class, wanted) == 0;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return matches;
}

bool ShowsAFrame(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 ||
        attributes.map_state != IsViewable)
        return false;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) return false;
    std::set<unsigned long> colours;
    for (int y = 0; y < attributes.height && colours.size() < 2; ++y) {
        for (int x = 0; x < attributes.width && colours.size() < 2; ++x)
            colours.insert(XGetPixel(image, x, y));
    }
    XDestroyImage(image);
    return colours.size() >= 2;
}

long PeakRssKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: x11_first_frame WM_CLASS-CLASS PROGRAM [ARGUMENT...]\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "x11_first_frame: no X server\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    Window shown = 0;
    const Clock::time_point deadline = start + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        while (shown == 0 && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && HasClass(display, event.xmap.window, argv[1]))
                shown = event.xmap.window;
        }
        if (shown != 0 && ShowsAFrame(display, shown)) break;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    const Clock::time_point framed = Clock::now();
    // Settled: what the program holds with its window shown.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rss = PeakRssKiB(child);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    if (framed >= deadline) {
        std::fprintf(stderr, "x11_first_frame: no frame from %s within 10 s\n", argv[2]);
        return 1;
    }
    std::printf("%.2f %ld\n", std::chrono::duration<double, std::milli>(framed - start).count(),
                rss);
    return 0;
}
