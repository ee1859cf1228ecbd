// SPDX-License-Identifier: MIT
#include "run_cli.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace clitest {

namespace {

std::string TempPath(const char* name) {
    return std::string(std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp") +
           "/credcipher-cli-test-" + std::to_string(getpid()) + "-" + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// This process's environment with LC_ALL set to locale (and no other locale variable).
std::vector<std::string> EnvironmentWith(const std::string& locale) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (!entry.starts_with("LC_") && !entry.starts_with("LANG=")) env.push_back(entry);
    }
    env.push_back("LC_ALL=" + locale);
    return env;
}

}  // namespace

const char* CliPath() { return CREDCIPHER_CLI; }

Outcome RunCli(const std::vector<std::string>& args, const std::string& input,
               const std::string& locale, const char* stdinPath) {
    const std::string inPath = stdinPath != nullptr ? stdinPath : TempPath("in");
    const std::string outPath = TempPath("out");
    const std::string errPath = TempPath("err");
    if (stdinPath == nullptr) std::ofstream(inPath, std::ios::binary) << input;

    std::vector<std::string> argStrings{CliPath()};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings = EnvironmentWith(locale);
    std::vector<char*> argv, envp;
    for (std::string& a : argStrings) argv.push_back(a.data());
    for (std::string& e : envStrings) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, CliPath(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start credcipher-cli");
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);

    Outcome outcome{ReadAll(outPath), ReadAll(errPath),
                    WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
    for (const std::string& path : {outPath, errPath}) unlink(path.c_str());
    if (stdinPath == nullptr) unlink(inPath.c_str());
    return outcome;
}

}  // namespace clitest
