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
        EXPECT_EQ(Shell(run), std::make_pair(0, std::string()));
    }
}

}  // namespace
