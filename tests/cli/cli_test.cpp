// SPDX-License-Identifier: MIT
// credcipher-cli run as a script runs it: known answers through arguments and standard input,
// the warnings and --strict, exit statuses, terminals, and input that never ends.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
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
         alice + "\n" + admin,
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
        {"strict lenient", {"decrypt", "--strict", "cXKlGa5MQXDcK1Dph3gdiQ"}, "", "\n", "error", 1},
        // café in 1252 ends in E9, a lead byte without its trail byte in 936.
        {"invalid text",
         {"decrypt", "--code-page=gbk", "CwsjeRbK74upcuQWK8B8pA=="},
         "",
         "caf?\n",
         "argument 1: warning: the deciphered bytes are not text in code page 936",
         0},
        {"all pages", {"decrypt", "-c", "all", "bCQm6P5z5CiQU9rGFAKeGg=="}, "", "", "", 0},
        {"field after --", {"encrypt", "--", "-x"}, "", "QXzHd7BTDv8Mj7lyK+xdDg==\n", "", 0},
        // A usage error shows no more of an argument than its start: it may be a password.
        {"no command", {"s3cret"}, "", "", "unknown command 's3...'", 2},
        {"unknown option", {"encrypt", "--s3cret"}, "", "", "unknown option '--s3...'", 2},
        {"non-ASCII shown as it is", {"\u0448\u0438\u0444\u0440"}, "", "", "'\u0448\u0438...'", 2},
        // getopt's conventions.
        {"attached value", {"encrypt", "-c1252", "alice"}, "", alice, "", 0},
        {"attached with =", {"encrypt", "-c=1252", "alice"}, "", alice, "", 0},
        {"bundled", {"encrypt", "-qc", "1252", "0123456789abcdefX"}, "", cut, "", 0},
        {"long prefix", {"encrypt", "--code=cp1252", "--qui", "0123456789abcdefX"}, "", cut, "", 0},
        {"options after fields", {"encrypt", "0123456789abcdefX", "-q"}, "", cut, "", 0},
        {"ALL", {"decrypt", "-c", "ALL", "cXKlGa5MQXDcK1Dph3gdiQ=="}, "", "", "", 0},
        {"latin1 is 1252",
         {"encrypt", "-c", "latin1", "caf\u00e9"},
         "",
         "CwsjeRbK74upcuQWK8B8pA==\n",
         "",
         0},
        {"ascii is its own page", {"encrypt", "-c", "ascii", "x"}, "", "", "code page 20127", 2},
        {"gb18030 is its own page",
         {"encrypt", "-c", "gb18030", "x"},
         "",
         "",
         "code page 54936",
         2},
        {"missing value", {"encrypt", "-c"}, "", "", "option -c needs a value", 2},
        // Input as Windows reads it.
        {"byte order mark",
         {"encrypt"},
         "\xEF\xBB\xBF"
         "admin\n",
         admin,
         "",
         0},
        {"invalid UTF-8 under 65001",
         {"encrypt", "-c", "65001"},
         "caf\xE9\n",
         "yCey9yGIh8D2tq48wybfBg==\n",  // caf and EF BF BD, the bytes of U+FFFD
         "line 1: warning: bytes that are not valid",
         0},
        {"unknown code page", {"encrypt", "-c", "klingon", "x"}, "", "", "unknown code page", 2},
        {"unavailable code page", {"encrypt", "-c", "12345", "x"}, "", "", "not available", 2},
        {"all pages to encrypt", {"encrypt", "-c", "all", "x"}, "", "", "decrypt only", 2},
        {"help", {"--help"}, "", "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = RunCli(c.args, c.input);
        if (std::string(c.name) == "ALL") {
            EXPECT_EQ(outcome.out.find('\n'), outcome.out.size() - 2) << "ASCII: one line";
        } else if (std::string(c.name) == "all pages") {
            EXPECT_NE(outcome.out.find("936\t\u5f20\u4e09\n"), std::string::npos) << outcome.out;
            EXPECT_TRUE(outcome.out.ends_with("\n\n"));
        } else if (std::string(c.name) == "help") {
            EXPECT_NE(outcome.out.find("Exit status"), std::string::npos);
            EXPECT_NE(outcome.out.find("obfuscation, not protection"), std::string::npos);
            EXPECT_NE(outcome.out.find("seen by other users"), std::string::npos);
            std::size_t longest = 0;
            for (std::size_t start = 0, end;
                 (end = outcome.out.find('\n', start)) != std::string::npos; start = end + 1) {
                longest = std::max(longest, end - start);
            }
            EXPECT_LE(longest, 80u) << "columns";
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
        {">&- 2>/dev/null", 3},  // no standard output at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.redirection);
        const std::string command =
            std::string(CliPath()) + " encrypt 0123456789abcdefX " + c.redirection;
        const int status = std::system(command.c_str());
        ASSERT_TRUE(WIFEXITED(status)) << "the program crashed";
        EXPECT_EQ(WEXITSTATUS(status), c.status);
    }
    FILE* closed = popen((std::string(CliPath()) + " encrypt x 2>&1 >&-").c_str(), "r");
    ASSERT_NE(closed, nullptr);
    char message[256] = {};
    EXPECT_NE(fgets(message, sizeof message, closed), nullptr);
    pclose(closed);
    EXPECT_NE(std::string(message).find("cannot write standard output"), std::string::npos)
        << message;
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

// Starts "credcipher-cli encrypt" reading the pipe in (whose reading end it then closes here),
// writing to out unless it is -1; the child holds neither other end (nor parentEnd).
pid_t StartEncrypt(const int in[2], int out, int parentEnd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    if (out != -1) posix_spawn_file_actions_adddup2(&actions, out, 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    if (parentEnd != -1) posix_spawn_file_actions_addclose(&actions, parentEnd);
    std::string program = CliPath(), command = "encrypt";
    char* argv[] = {program.data(), command.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, CliPath(), &actions, nullptr, argv, environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    return pid;
}

TEST(Cli, EachResultIsWrittenBeforeTheNextLineIsRead) {
    int in[2], out[2];
    ASSERT_EQ(pipe(in), 0);
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = StartEncrypt(in, out[1], out[0]);
    ASSERT_GT(pid, 0);
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

// Every field gives one record, whatever its text: a line break in it is escaped (or, with
// --strict, the record is empty), and with -z records end in NUL so that any text passes whole.
TEST(Cli, EachFieldGivesOneRecord) {
    const std::string broken = RunCli({"-q", "encrypt", "a\nb"}).out.substr(0, 24);
    const std::string alice = "cXKlGa5MQXDcK1Dph3gdiQ==";
    struct Case {
        std::vector<std::string> args;
        std::string input;
        std::string out;
        std::string err;
        int status;
    };
    const Case cases[] = {
        {{"decrypt", alice, broken, alice}, "", "alice\na\\x0Ab\nalice\n", "line break", 0},
        {{"decrypt", "--strict", alice, broken, alice}, "", "alice\n\nalice\n", "argument 2", 1},
        {{"decrypt", "-z", broken}, "", std::string("a\nb\0", 4), "", 0},
        {{"decrypt", "-z"}, alice + '\0' + broken, std::string("alice\0a\nb\0", 10), "", 0},
        {{"decrypt", "-c", "all", broken}, "", "", "line break", 0},
        {{"encrypt", "a\nb"}, "", broken + "\n", "line break", 0},
        {{"encrypt", "--strict", "alice", "a\rb", "alice"},
         "",
         alice + "\n\n" + alice + "\n",
         "",
         1},
        {{"encrypt", "--zero-terminated"},
         std::string("alice\0a\nb", 10),
         alice + '\0' + broken + '\0',
         "record 2: warning: the text holds a line break",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const Outcome outcome = RunCli(c.args, c.input);
        if (c.args[1] == "-c") {
            EXPECT_NE(outcome.out.find("\ta\\x0Ab\n"), std::string::npos) << outcome.out;
        } else if (!c.out.empty()) {
            EXPECT_EQ(outcome.out, c.out);
        }
        EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.status, c.status);
    }
    // 10,000 cipher texts of random blocks give 10,000 lines whatever they decipher to.
    std::string ciphers;
    for (int i = 0; i < 10000; ++i) {
        const unsigned int v = static_cast<unsigned int>(i) * 2654435761u;
        std::string block(16, '\0');
        for (int k = 0; k < 16; ++k) block[k] = static_cast<char>((v >> (k % 4 * 8)) + k * 37 + i);
        ciphers += std::string(22, 'A');
        for (int k = 0; k < 22; ++k) {
            ciphers[ciphers.size() - 22 + k] =
                "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
                    [static_cast<unsigned char>(block[k % 16] + k) % 64];
        }
        ciphers.back() = 'A';
        ciphers += "==\n";
    }
    const std::string out = RunCli({"-q", "decrypt"}, ciphers).out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 10000);
}

TEST(Cli, InputBytesInvalidInTheirEncodingAreWarnedAbout) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"\xE2\x82\xAC", true},      {"\xF0\x9D\x84\x9E", true},
        {"\xEF\xBF\xBD", true},      {"\xC0\x80", false},
        {"\xED\xA0\x80", false},     {"\xF4\x90\x80\x80", false},
        {"\xE2\x82", false},         {"\x80", false},
        {"\xF5\x80\x80\x80", false},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunCli({"encrypt", "-c", "65001"}, "a" + c.bytes + "\n");
        EXPECT_EQ(outcome.err.find("not valid") == std::string::npos, c.valid) << c.bytes;
        EXPECT_EQ(RunCli({"encrypt", "-c", "65001", "a" + c.bytes}).err.find("not valid") ==
                      std::string::npos,
                  c.valid);
    }
}

// The page the text was made in comes first; a page that gives the same text shares its line.
TEST(Cli, AllCodePagesRankTheMadePageFirst) {
    const struct {
        const char* page;
        std::string text;
    } cases[] = {
        {"1251", "\u0418\u0432\u0430\u043d\u043e\u0432"},  // Иванов
        {"1252", "Fran\u00e7ois"},
        {"1256", "\u0643\u0644\u0645\u0629"},        // كلمة
        {"936", "\u5f20\u4e09"},                     // 张三
        {"950", "\u5f35\u4e09"},                     // 張三
        {"932", "\u3059\u305a\u304d"},               // すずき
        {"1253", "\u0391\u03b8\u03ae\u03bd\u03b1"},  // Αθήνα
        {"1250", "\u0141\u00f3d\u017a"},             // Łódź
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        const std::string cipher = RunCli({"encrypt", "-c", c.page, c.text}).out.substr(0, 24);
        const std::string out = RunCli({"decrypt", "-c", "all", cipher}).out;
        EXPECT_EQ(out.substr(0, out.find('\n')).find(c.page), 0u) << out;
        EXPECT_NE(out.find('\t' + c.text + '\n'), std::string::npos) << out;
    }
}

// A copy of the child's state as the kernel shows it while the child waits for input.
TEST(Cli, NoCoreDumpHoldsASecret) {
    int in[2];
    ASSERT_EQ(pipe(in), 0);
    const pid_t pid = StartEncrypt(in, -1, -1);
    ASSERT_GT(pid, 0);
    const std::string proc = "/proc/" + std::to_string(pid);
    const std::string noCore = "Max core file size        0                    0 ";
    std::string limits;
    // The program sets its limits first thing; a guard against a hang, not a timing.
    for (int tries = 0; tries < 200 && limits.find(noCore) == std::string::npos; ++tries) {
        usleep(10000);
        std::ifstream file(proc + "/limits");
        limits.assign(std::istreambuf_iterator<char>(file), {});
    }
    EXPECT_NE(limits.find(noCore), std::string::npos) << limits;
    struct stat info {};
    // Not dumpable: its /proc files belong to root, and no process of the user can read them.
    if (getuid() != 0 && stat((proc + "/environ").c_str(), &info) == 0) {
        EXPECT_EQ(info.st_uid, 0u);
    }
    close(in[1]);
    waitpid(pid, nullptr, 0);
}

// At a terminal the program asks for each field and does not show what is typed, and the
// terminal shows typing again however the program ends.
TEST(Cli, ATerminalIsAskedWithoutEchoAndRestored) {
    enum class End { kEndOfInput, kInterrupt, kTerminate };
    for (End end : {End::kEndOfInput, End::kInterrupt, End::kTerminate}) {
        SCOPED_TRACE(static_cast<int>(end));
        int master = -1, slave = -1;
        ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        // Opened after setsid, the terminal becomes the child's own, which Ctrl+C signals.
        posix_spawn_file_actions_addopen(&actions, 0, ptsname(master), O_RDWR, 0);
        for (int fd : {1, 2}) posix_spawn_file_actions_adddup2(&actions, 0, fd);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
        std::string program = CliPath(), command = "encrypt";
        char* argv[] = {program.data(), command.data(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, CliPath(), &actions, &attributes, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        std::string shown;
        const auto readUntil = [&](const std::string& what, std::size_t from) {
            char buffer[256];
            while (shown.find(what, from) == std::string::npos) {
                pollfd ready{master, POLLIN, 0};
                // Only a guard against a hang: the text comes at once or never.
                if (poll(&ready, 1, 20000) != 1) break;
                const ssize_t n = read(master, buffer, sizeof buffer);
                if (n <= 0) break;
                shown.append(buffer, static_cast<std::size_t>(n));
            }
        };
        const std::string prompt = "Text to encrypt (not shown; Ctrl+D ends): ";
        readUntil(prompt, 0);
        ASSERT_EQ(write(master, "s3cret\n", 7), 7);
        readUntil(prompt, shown.find(prompt) + 1);
        EXPECT_EQ(shown.find("s3cret"), std::string::npos) << shown;
        EXPECT_NE(shown.find("lLJCwZG0Z4BxrQPDV3GeXg=="), std::string::npos) << shown;
        // Ctrl+D ends the input; Ctrl+C interrupts the program; kill terminates it.
        if (end == End::kTerminate) {
            kill(pid, SIGTERM);
        } else {
            ASSERT_EQ(write(master, end == End::kEndOfInput ? "\x04" : "\x03", 1), 1);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        termios settings{};
        ASSERT_EQ(tcgetattr(slave, &settings), 0);
        EXPECT_NE(settings.c_lflag & ECHO, 0u) << "the terminal shows typing again";
        EXPECT_EQ(end == End::kEndOfInput ? WIFEXITED(status) && WEXITSTATUS(status) == 0
                                          : WIFSIGNALED(status),
                  true);
        close(slave);
        close(master);
    }
}

}  // namespace
}  // namespace clitest
