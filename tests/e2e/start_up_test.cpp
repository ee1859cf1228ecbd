// Starting the program: without a display, several times in one process, and the real program
// as a person's shell starts it.
#include <windows.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "app/res/resource.h"
#include "app/win_main.h"
#include "session.h"
#include "win32/headless.h"

namespace {

using e2e::Session;
namespace headless = win32::headless;

int RunWithoutScript() {
    WCHAR empty[1] = {0};
    return wWinMain(GetModuleHandleW(nullptr), nullptr, empty, SW_SHOWDEFAULT);
}

TEST(StartUpTest, WithoutADisplayTheProgramEndsWithZeroAtOnce) {
    headless::Stop();
    EXPECT_EQ(RunWithoutScript(), 0);
    EXPECT_EQ(RunWithoutScript(), 0) << "and again";
}

TEST(StartUpTest, RunsAgainAndAgainInOneProcess) {
    for (const int code : {1, 2, 0, 1}) {
        SCOPED_TRACE(code);
        if (code == 0) {
            headless::Stop();
            EXPECT_EQ(RunWithoutScript(), 0);
            continue;
        }
        headless::Start();
        Session s;
        s.Click(IDC_ENCRYPT).Then([&] { EXPECT_EQ(s.Field(IDC_PASSWORD_OUT).size(), 24u); });
        s.Click(code == 1 ? IDOK : IDCANCEL);
        EXPECT_EQ(s.Run(), code);
    }
    headless::Stop();
}

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

TEST(StartUpTest, TheProgramWithoutADisplayExitsWithZeroAndSaysNothing) {
    const std::string program = CREDCIPHER_PROGRAM;
    const std::string runs[] = {
        "WIN32_DISPLAY=none " + program,
        "WIN32_DISPLAY=none " + program + " --help extra arguments",
        // Neither a terminal nor a test display: no display at all.
        "env -u WIN32_DISPLAY " + program + " </dev/null",
    };
    for (const std::string& run : runs) {
        SCOPED_TRACE(run);
        const auto [code, output] = Shell(run);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(output, "");
    }
}

}  // namespace
