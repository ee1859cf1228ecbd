// SPDX-License-Identifier: MIT
// Starting the program where there is no display, and without its dialog templates.
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace {

// Runs command with the shell; returns its exit status and everything it wrote.
std::pair<int, std::string> Shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return {-1, output};
    std::array<char, 256> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) {
        output.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

// Without a display the program exits 0, as on a Windows session without a desktop; when no
// display was chosen it says why in one line. A headless run whose script is missing, runs out
// or is malformed says so and ends with a code of its own instead of aborting.
TEST(StartUpTest, EachWayOfStartingEndsWithItsCodeAndMessage) {
    const std::string program = CREDCIPHER_PROGRAM;
    const struct {
        std::string run;
        int code;
        const char* message;  // a part of the output; "" for none at all
    } runs[] = {
        {"WIN32_DISPLAY=none " + program, 0, ""},
        {"WIN32_DISPLAY=none " + program + " --help extra arguments", 0, ""},
        {"env -u WIN32_DISPLAY -u DISPLAY " + program + " </dev/null", 0, "set WIN32_DISPLAY="},
        {"env -u WIN32_DISPLAY -u DISPLAY " + program + " 2>&1 | cat", 0, "not a terminal"},
        // An X server that does not answer is passed over, unless X11 was asked for.
        {"env -u WIN32_DISPLAY DISPLAY=:7777 " + program + " </dev/null", 0, "not a terminal"},
#if CREDCIPHER_DISPLAY_X11
        {"WIN32_DISPLAY=x11 DISPLAY=:7777 " + program, 0, "no X server answers at DISPLAY=:7777"},
#else
        {"WIN32_DISPLAY=x11 DISPLAY=:7777 " + program, 0, "this build has no x11 display"},
#endif
#if !CREDCIPHER_DISPLAY_TERMINAL
        {"WIN32_DISPLAY=terminal " + program, 0, "this build has no terminal display"},
#endif
        {"WIN32_DISPLAY=headless " + program, 66, "the script is exhausted"},
        {"WIN32_DISPLAY=headless WIN32_HEADLESS_SCRIPT=key:ESCAPE " + program, 2, ""},
        {"WIN32_DISPLAY=headless WIN32_HEADLESS_SCRIPT='key:NOPE' " + program, 64,
         "WIN32_HEADLESS_SCRIPT: "},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.run);
        const auto [code, output] = Shell(run.run);
        EXPECT_EQ(code, run.code);
        if (*run.message == '\0') {
            EXPECT_EQ(output, "");
        } else {
            EXPECT_NE(output.find(run.message), std::string::npos) << output;
            if (code == 0) {
                EXPECT_EQ(output.find('\n'), output.size() - 1) << "one line";
            }
        }
    }
}

// WIN32_TRACE=messages: one line per message sent, posted and dispatched, on stderr, with the
// window's class and id and the message's name.
TEST(StartUpTest, MessageTraceNamesEachMessageAndItsWindow) {
    const auto [code, output] = Shell(
        "WIN32_TRACE=messages WIN32_DISPLAY=headless WIN32_HEADLESS_SCRIPT='text:a key:ESCAPE' " +
        std::string(CREDCIPHER_PROGRAM));
    EXPECT_EQ(code, 2);
    for (const char* line : {"sent       0x10001 #32770 id=0 WM_INITDIALOG wp=",
                             "dispatched 0x10002 Button id=1 WM_CHAR wp=0x61 lp=0x1\n",
                             "sent       0x10001 #32770 id=0 WM_COMMAND wp=0x2 lp="}) {
        EXPECT_NE(output.find(std::string("trace:msg: ") + line), std::string::npos) << line;
    }
    EXPECT_EQ(Shell("WIN32_DISPLAY=headless WIN32_HEADLESS_SCRIPT=key:ESCAPE " +
                    std::string(CREDCIPHER_PROGRAM)),
              std::make_pair(2, std::string()))
        << "no trace without WIN32_TRACE";
}

}  // namespace
