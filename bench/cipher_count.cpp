// SPDX-License-Identifier: MIT
// The field cipher and bare Crypto++ doing exactly its AES work (construct, SetKey with 16
// bytes, one ProcessAndXorBlock with a zero xor block), each called many times in a loop of its
// own, for counting instructions: run under valgrind --tool=callgrind, the program dumps the
// count of each loop apart (scripts/count-instructions.sh divides by the calls).
#include <cryptopp/aes.h>
#include <valgrind/callgrind.h>

#include <array>
#include <cstdlib>
#include <string>

#include "cipher/field_cipher.h"
#include "cipher/field_key.h"

namespace {

using Block = std::array<CryptoPP::byte, CryptoPP::AES::BLOCKSIZE>;

const std::string kKey = Molvan::System::kFieldKey;
const std::string kField = "account-000001";
const std::string kCipherText = Molvan::System::EncryptText(kField, kKey);

// Keeps the compiler from dropping work whose result nothing reads.
template <typename T>
void Use(const T& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

__attribute__((noinline)) void EncryptText() { Use(Molvan::System::EncryptText(kField, kKey)); }

__attribute__((noinline)) void DecryptText() {
    Use(Molvan::System::DecryptText(kCipherText, kKey));
}

template <typename Cipher>
__attribute__((noinline)) void BareBlock() {
    static const Block key{'7', 'D', '3', 'F', '0', '9', 'A', '2',
                           '-', '4', 'C', '6', 'E', '-', '4', '1'};
    static const Block xorBlock{};
    static Block block{'a', 'c', 'c', 'o', 'u', 'n', 't', '-', '0', '0', '0', '0', '0', '1'};
    Cipher cipher;
    cipher.SetKey(key.data(), key.size());
    cipher.ProcessAndXorBlock(block.data(), xorBlock.data(), block.data());
    Use(block);
}

struct Loop {
    const char* name;
    void (*call)();
};

constexpr Loop kLoops[] = {
    {"EncryptText", &EncryptText},
    {"DecryptText", &DecryptText},
    {"CryptoPP/EncryptBlock", &BareBlock<CryptoPP::AES::Encryption>},
    {"CryptoPP/DecryptBlock", &BareBlock<CryptoPP::AES::Decryption>},
};

}  // namespace

// Usage: cipher_count CALLS
int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::atoi(argv[1]) : 1000;
    for (const Loop& loop : kLoops) {
        loop.call();  // first calls (lazy binding, the library's processor check) apart
        CALLGRIND_ZERO_STATS;
        for (int i = 0; i < calls; ++i) loop.call();
        CALLGRIND_DUMP_STATS_AT(loop.name);
    }
}
