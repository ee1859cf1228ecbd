// SPDX-License-Identifier: MIT
// Runs credcipher-cli as a separate process, as a script would.
#pragma once

#include <string>
#include <vector>

namespace clitest {

struct Outcome {
    std::string out;
    std::string err;
    int status = -1;  // the exit status; -1 when the program did not exit normally
};

// Runs the program with args under the locale (LC_ALL), standard input read from a file holding
// input (or from the file stdinPath when given).
Outcome RunCli(const std::vector<std::string>& args, const std::string& input = "",
               const std::string& locale = "C.UTF-8", const char* stdinPath = nullptr);

const char* CliPath();

}  // namespace clitest
