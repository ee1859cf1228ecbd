// SPDX-License-Identifier: MIT
// Where the displays are put together: the one place that knows them all and picks the one the
// program runs on. WIN32_DISPLAY (x11, terminal, headless or none) decides when set; else X11
// when DISPLAY names a server that answers; else the terminal when standard input and output are
// a terminal; else none, which says why on stderr. A display whose library the build did not find
// (CREDCIPHER_DISPLAY_* unset) is never chosen.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

#include "headless/headless_display.h"
#include "src/display.h"
#if CREDCIPHER_DISPLAY_TERMINAL
#include "terminal/terminal_display.h"
#endif
#if CREDCIPHER_DISPLAY_X11
#include "x11/x11_display.h"
#endif

namespace win32 {

namespace {

// A display asked for by name that this build has not got.
[[maybe_unused]] std::unique_ptr<Display> NotBuilt(const char* name) {
    std::fprintf(stderr, "%s: WIN32_DISPLAY=%s: this build has no %s display\n",
                 program_invocation_short_name, name, name);
    return nullptr;
}

}  // namespace

std::unique_ptr<Display> ChooseDisplay() {
    const char* requested = std::getenv("WIN32_DISPLAY");
    if (requested != nullptr && *requested != '\0') {
        const std::string_view name(requested);
        if (name == "terminal") {
#if CREDCIPHER_DISPLAY_TERMINAL
            return MakeTerminalDisplay();
#else
            return NotBuilt("terminal");
#endif
        }
        if (name == "x11") {
#if CREDCIPHER_DISPLAY_X11
            if (auto display = MakeX11Display()) return display;
            const char* server = std::getenv("DISPLAY");
            std::fprintf(stderr, "%s: WIN32_DISPLAY=x11: no X server answers at DISPLAY=%s\n",
                         program_invocation_short_name, server != nullptr ? server : "");
            return nullptr;
#else
            return NotBuilt("x11");
#endif
        }
        if (name == "headless") {
            try {
                return MakeHeadlessDisplayFromEnvironment();
            } catch (const std::invalid_argument& error) {
                std::fprintf(stderr, "%s: WIN32_HEADLESS_SCRIPT: %s\n",
                             program_invocation_short_name, error.what());
                std::exit(kExitBadScript);
            }
        }
        if (name != "none") {
            std::fprintf(
                stderr, "%s: WIN32_DISPLAY=%s is not x11, terminal, headless or none; using none\n",
                program_invocation_short_name, requested);
        }
        return nullptr;
    }
#if CREDCIPHER_DISPLAY_X11
    const char* server = std::getenv("DISPLAY");
    if (server != nullptr && *server != '\0') {
        if (auto display = MakeX11Display()) return display;
    }
#endif
#if CREDCIPHER_DISPLAY_TERMINAL
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return MakeTerminalDisplay();
#endif
    std::fprintf(stderr,
                 "%s: no dialog shown: standard input and output are not a terminal "
                 "and no X server answers (set WIN32_DISPLAY=x11, terminal or headless to choose a "
                 "display)\n",
                 program_invocation_short_name);
    return nullptr;
}

}  // namespace win32
