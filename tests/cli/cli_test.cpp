// SPDX-License-Identifier: MIT
// credcipher-cli run as a script runs it: known answers through arguments and standard input,
// the warnings and --strict, exit statuses, terminals, and input that never ends.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "run_cli.h"

namespace clitest {
namespace {

// Worked out apart from the program: the text's bytes in the code page, cut or zero-padded to
// 16, enciphered with openssl enc -aes-128-ecb -nopad under the key string's first 16 bytes.
struct KnownAnswer {
    const char* locale;  // its ANSI code page is the default
    std::string text;
    std::string cipher;
    std::string back;  // what decrypt gives
};
const KnownAnswer kKnownAnswers[] = {
    {"C.UTF-8", "alice", "cXKlGa5MQXDcK1Dph3gdiQ==", "alice"},
    {"C.UTF-8", "", "NGUwj+ODyAVBOoUAJSDNYw==", ""},
    {"C.UTF-8", "0123456789abcdef", "99xPR6eld/1daFRfn8Bnrg==", "0123456789abcdef"},
    {"C.UTF-8", "0123456789abcdefX", "99xPR6eld/1daFRfn8Bnrg==", "0123456789abcdef"},
    {"C.UTF-8", "caf\u00e9", "CwsjeRbK74upcuQWK8B8pA==", "caf\u00e9"},
    // Windows' best fit: a with macron is "a" in 1252; the yen sign is the fullwidth one in 936.
    {"C.UTF-8", "\u00a5", "RYp0dX7QAJ4GQkT6KM5WTA==", "\u00a5"},
    {"C.UTF-8", "\u0101", "xTOuk19nW1bRTwOJhcs3oA==", "a"},
    {"zh_CN.UTF-8", "\u00a5", "xAmNjQhM+Ozvo0UIi2/eKg==", "\uffe5"},
    {"zh_CN.UTF-8", "\u0101", "DO0uFmz2SMrBf/xBP0nsQQ==", "\u0101"},
    {"zh_CN.UTF-8", "\u5f20\u4e09", "bCQm6P5z5CiQU9rGFAKeGg==", "\u5f20\u4e09"},
    {"zh_CN.UTF-8", "\u5bc6\u7801123", "RVcGeSFc1qmvX/TaL144Vg==", "\u5bc6\u7801123"},
};

TEST(Cli, KnownAnswersThroughArgumentsAndStandardInput) {
    for (const char* locale : {"C.UTF-8", "zh_CN.UTF-8"}) {
        SCOPED_TRACE(locale);
        std::string texts, ciphers, expectedCiphers, expectedBacks;
        for (const KnownAnswer& k : kKnownAnswers) {
            if (std::string(k.locale) != locale) continue;
            SCOPED_TRACE(k.text);
            EXPECT_EQ(RunCli({"encrypt", k.text}, "", locale).out, k.cipher + "\n");
            EXPECT_EQ(RunCli({"decrypt", k.cipher}, "", locale).out, k.back + "\n");
            // Lines alternate LF and CR LF endings; the last has none.
            texts += (texts.empty() ? "" : (texts.size() % 2 == 0 ? "\n" : "\r\n")) + k.text;
            ciphers += (ciphers.empty() ? "" : "\r\n") + k.cipher;
            expectedCiphers += k.cipher + "\n";
            expectedBacks += k.back + "\n";
        }
        EXPECT_EQ(RunCli({"encrypt"}, texts, locale).out, expectedCiphers);
        EXPECT_EQ(RunCli({"decrypt"}, ciphers + "\n", locale).out, expectedBacks);
    }
}

TEST(Cli, ALocaleInAnotherEncodingIsReadAndWrittenInIt) {
    const std::string folder = ::testing::TempDir() + "credcipher-cli-locales";
    const std::string make = "mkdir -p " + folder + " && localedef -i zh_CN -f GBK " + folder +
                             "/zh_CN.GBK >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) GTEST_SKIP() << "localedef cannot make zh_CN.GBK";
    setenv("LOCPATH", folder.c_str(), 1);
    const std::string zhangGbk = "\xD5\xC5\xC8\xFD";
    EXPECT_EQ(RunCli({"encrypt"}, zhangGbk + "\n", "zh_CN.GBK").out, "bCQm6P5z5CiQU9rGFAKeGg==\n");
    EXPECT_EQ(RunCli({"decrypt", "bCQm6P5z5CiQU9rGFAKeGg=="}, "", "zh_CN.GBK").out,
              zhangGbk + "\n");
    unsetenv("LOCPATH");
}

TEST(Cli, WarningsStrictAndExitStatuses) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string input;
        std::string out;
        std::string err;  // what stderr holds (a part of it), "" for nothing at all
        int status;
    };
    const std::string alice = "cXKlGa5MQXDcK1Dph3gdiQ==\n";
    const std::string admin = "BoN3Iagl6omv5BDo67fmQQ==\n";
    const std::string cut = "99xPR6eld/1daFRfn8Bnrg==\n";
    const Case cases[] = {
        {"cut",
         {"encrypt", "0123456789abcdefX"},
         "",
         cut,
         "argument 1: warning: the text is 17 bytes in code page 1252",
         0},
        {"cut, quiet", {"-q", "encrypt", "0123456789abcdefX"}, "", cut, "", 0},
        {"cut, named by its line",
         {"encrypt"},
         "alice\n0123456789abcdefX\n",
         alice + cut,
         "line 2: warning: the text is 17",
         0},
        {"strict refuses the field, keeps the others",
         {"encrypt", "--strict", "alice", "0123456789abcdefX", "admin"},
         "",
         alice + admin,
         "argument 2: error: the text is 17",
         1},
        {"unmappable",
         {"encrypt", "-c", "cp1252", "\u5f20\u4e09"},
         "",
         "appsRXPlsVWxpc0spCu+AQ==\n",
         "argument 1: warning: characters that code page 1252 lacks",
         0},
        {"NUL in a line",
         {"encrypt"},
         std::string("ab\0cd\n", 6),
         "vLvWkMFvysE0+5p+APnuAA==\n",
         "line 1: warning: the text has a NUL",
         0},
        {"lenient: no padding",
         {"decrypt", "cXKlGa5MQXDcK1Dph3gdiQ"},
         "",
         "alice\n",
         "argument 1: warning: not one block of canonical Base64",
         0},
        {"lenient: bits past the block",
         {"decrypt", "cXKlGa5MQXDcK1Dph3gdiR=="},
         "",
         "alice\n",
         "read leniently",
         0},
        {"strict lenient", {"decrypt", "--strict", "cXKlGa5MQXDcK1Dph3gdiQ"}, "", "", "error", 1},
        // café in 1252 ends in E9, a lead byte without its trail byte in 936.
        {"invalid text",
         {"decrypt", "--code-page=gbk", "CwsjeRbK74upcuQWK8B8pA=="},
         "",
         "caf?\n",
         "argument 1: warning: the deciphered bytes are not text in code page 936",
         0},
        {"all pages", {"decrypt", "-c", "all", "bCQm6P5z5CiQU9rGFAKeGg=="}, "", "", "", 0},
        {"field after --", {"encrypt", "--", "-x"}, "", "QXzHd7BTDv8Mj7lyK+xdDg==\n", "", 0},
        {"no command", {"alice"}, "", "", "unknown command 'alice'", 2},
        {"unknown option", {"encrypt", "--fast"}, "", "", "unknown option '--fast'", 2},
        {"unknown code page", {"encrypt", "-c", "klingon", "x"}, "", "", "unknown code page", 2},
        {"unavailable code page", {"encrypt", "-c", "12345", "x"}, "", "", "not available", 2},
        {"all pages to encrypt", {"encrypt", "-c", "all", "x"}, "", "", "decrypt only", 2},
        {"help", {"--help"}, "", "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunCli(c.args, c.input);
        if (std::string(c.name) == "all pages") {
            EXPECT_NE(outcome.out.find("936\t\u5f20\u4e09\n"), std::string::npos) << outcome.out;
            EXPECT_TRUE(outcome.out.ends_with("\n\n"));
        } else if (std::string(c.name) == "help") {
            EXPECT_NE(outcome.out.find("Exit status"), std::string::npos);
            EXPECT_NE(outcome.out.find("obfuscation, not protection"), std::string::npos);
        } else {
            EXPECT_EQ(outcome.out, c.out);
        }
        if (c.err.empty()) {
            EXPECT_EQ(outcome.err, "");
        } else {
            EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
        }
        EXPECT_EQ(outcome.status, c.status);
    }
    EXPECT_EQ(RunCli({"decrypt"}, "", "C.UTF-8", "/").status, 3) << "a folder as input";
}

TEST(Cli, OutputThatCannotBeWrittenIsAnErrorAndAMissingStderrIsNone) {
    struct Case {
        std::string redirection;
        int status;
    };
    const Case cases[] = {
        {"> /dev/full", 3},      // the results cannot be written
        {"2>&- >/dev/null", 0},  // the warning cannot be written; the result can
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redirection);
        const std::string command =
            std::string(CliPath()) + " encrypt 0123456789abcdefX " + c.redirection;
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << "the program crashed";
        EXPECT_EQ(WEXITSTATUS(status), c.status);
    }
}

// The child's stdout is the slave side of a pseudo-terminal; returns what the terminal got.
std::string RunOnTerminal(const std::vector<std::string>& args) {
    int master = -1;
    int slave = -1;
    EXPECT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    std::vector<std::string> all{CliPath()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, slave, 1);
    pid_t pid = 0;
    posix_spawn(&pid, CliPath(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(slave);
    std::string got;
    char buffer[256];
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) got.append(buffer, n);
    close(master);
    waitpid(pid, nullptr, 0);
    return got;
}

TEST(Cli, ControlCharactersReachATerminalOnlyEscaped) {
    const std::string text = "\x1b]0;x\x07\\ok";
    const std::string cipher = RunCli({"encrypt", text}).out;
    ASSERT_EQ(cipher.size(), 25u);
    const std::string field = cipher.substr(0, 24);
    // The terminal turns LF into CR LF.
    EXPECT_EQ(RunOnTerminal({"decrypt", field}), "\\x1B]0;x\\x07\\\\ok\r\n");
    EXPECT_EQ(RunCli({"decrypt", field}).out, text + "\n");
}

TEST(Cli, EachResultIsWrittenBeforeTheNextLineIsRead) {
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = CliPath(), command = "encrypt";
    char* argv[] = {program.data(), command.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, CliPath(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    for (const char* line : {"alice\n", "admin\n"}) {
        ASSERT_EQ(write(in[1], line, 6), 6);
        char result[25];
        std::size_t got = 0;
        while (got < sizeof result) {
            pollfd ready{out[0], POLLIN, 0};
            // Only a guard against a hang: the result comes at once or never.
            ASSERT_EQ(poll(&ready, 1, 20000), 1) << "no result while the input stays open";
            const ssize_t n = read(out[0], result + got, sizeof result - got);
            ASSERT_GT(n, 0);
            got += static_cast<std::size_t>(n);
        }
    }
    close(in[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    close(out[0]);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Cli, EndlessInputEndsWithItsReaderAndKeepsMemoryBounded) {
    const std::string program = CliPath();
    const std::string yes = "yes admin | timeout 20 " + program + " encrypt | head -n 3";
    FILE* pipeline = popen(yes.c_str(), "r");
    ASSERT_NE(pipeline, nullptr);
    std::string out;
    char buffer[256];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipeline)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipeline), 0);
    EXPECT_EQ(out,
              "BoN3Iagl6omv5BDo67fmQQ==\nBoN3Iagl6omv5BDo67fmQQ==\nBoN3Iagl6omv5BDo67fmQQ==\n");

    // 256 MiB without a line end: one field, kept to its first MiB.
    const std::string line = "head -c 268435456 /dev/zero | " + program + " -q encrypt";
    pipeline = popen(line.c_str(), "r");
    ASSERT_NE(pipeline, nullptr);
    out.clear();
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipeline)) > 0;) out.append(buffer, n);
    EXPECT_EQ(pclose(pipeline), 0);
    EXPECT_EQ(out, "NGUwj+ODyAVBOoUAJSDNYw==\n");
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 128 * 1024) << "kilobytes at most, of any child so far";
}

}  // namespace
}  // namespace clitest
