// SPDX-License-Identifier: MIT
// credcipher-cli's throughput: a million fields through the whole program (standard input from a
// file, standard output to /dev/null), each run followed in the same process by a million bare
// Crypto++ single-block operations (construct, SetKey, one block: the AES work of one field).
// The counter "ratio" is the program's processor time (user and system, from wait4) over the
// bare operations' (this process's processor time): unlike wall time, it does not count the
// time other work on a shared machine takes. The benchmark's own time is the program's wall time.
#include <cryptopp/aes.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {

constexpr int kFields = 1'000'000;
using Block = std::array<CryptoPP::byte, CryptoPP::AES::BLOCKSIZE>;
using Clock = std::chrono::steady_clock;

std::string ScratchPath(const char* name) {
    return std::string(P_tmpdir) + "/credcipher-cli-bench-" + std::to_string(getpid()) + name;
}

struct Times {
    double wall;
    double processor;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; }

double ProcessorSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec / 1e9;
}

// Runs credcipher-cli with command, standard input from inPath and output to outPath.
Times RunCli(const char* command, const std::string& inPath, const char* outPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string program = CREDCIPHER_CLI, quiet = "-q", cmd = command;
    char* argv[] = {program.data(), quiet.data(), cmd.data(), nullptr};
    const Clock::time_point start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        throw std::runtime_error("cannot start credcipher-cli");
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("credcipher-cli failed");
    }
    return {wall, Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

template <typename Cipher>
double BareBlocks() {
    const Block key{'7', 'D', '3', 'F', '0', '9', 'A', '2', '-', '4', 'C', '6', 'E', '-', '4', '1'};
    const Block xorBlock{};
    Block block{'a', 'c', 'c', 'o', 'u', 'n', 't', '-', '0', '0', '0', '0', '0', '1'};
    const double start = ProcessorSeconds();
    for (int i = 0; i < kFields; ++i) {
        Cipher cipher;
        cipher.SetKey(key.data(), key.size());
        cipher.ProcessAndXorBlock(block.data(), xorBlock.data(), block.data());
        benchmark::DoNotOptimize(block);
    }
    return ProcessorSeconds() - start;
}

// A million account names, one a line, and their cipher texts (made by the program itself).
struct Inputs {
    std::string texts = ScratchPath("-texts");
    std::string ciphers = ScratchPath("-ciphers");
    Inputs() {
        std::ofstream out(texts, std::ios::binary);
        char line[32];
        for (int i = 0; i < kFields; ++i) {
            std::snprintf(line, sizeof line, "account-%06d\n", i);
            out << line;
        }
        out.close();
        RunCli("encrypt", texts, ciphers.c_str());
    }
    ~Inputs() {
        unlink(texts.c_str());
        unlink(ciphers.c_str());
    }
};

const Inputs& TheInputs() {
    static const Inputs inputs;
    return inputs;
}

template <typename Cipher>
void CliMillionFields(benchmark::State& state, const char* command) {
    const Inputs& inputs = TheInputs();
    const std::string& in = std::string(command) == "encrypt" ? inputs.texts : inputs.ciphers;
    double bare = 0;
    Times program{};
    for (auto _ : state) {
        program = RunCli(command, in, "/dev/null");
        bare = BareBlocks<Cipher>();
        state.SetIterationTime(program.wall);
    }
    state.counters["cpu_ns_per_field"] = program.processor * 1e9 / kFields;
    state.counters["bare_ns_per_block"] = bare * 1e9 / kFields;
    state.counters["ratio"] = program.processor / bare;
}
void CliEncrypt(benchmark::State& state) {
    CliMillionFields<CryptoPP::AES::Encryption>(state, "encrypt");
}
void CliDecrypt(benchmark::State& state) {
    CliMillionFields<CryptoPP::AES::Decryption>(state, "decrypt");
}
BENCHMARK(CliEncrypt)
    ->Name("CliMillionFields/Encrypt")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(CliDecrypt)
    ->Name("CliMillionFields/Decrypt")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
