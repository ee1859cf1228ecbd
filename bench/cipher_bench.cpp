// SPDX-License-Identifier: MIT
// The field cipher against its baselines: bare Crypto++ doing exactly the cipher's AES work
// (construct, key, one block) and OpenSSL's AES-128-ECB with a fresh key for one block.
#include <benchmark/benchmark.h>
#include <cryptopp/aes.h>
#include <openssl/evp.h>

#include <array>
#include <string>

#include "cipher/base64.h"
#include "cipher/encoder.h"
#include "cipher/field_cipher.h"

namespace {

using Molvan::System::Base64;
using Molvan::System::Encoder;

const std::string kKey = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86";
const std::string kField = "P@ssw0rd-2024";
using Block = std::array<unsigned char, 16>;
const Block kKeyBlock = {'7', 'D', '3', 'F', '0', '9', 'A', '2',
                         '-', '4', 'C', '6', 'E', '-', '4', '1'};
const Block kPlainBlock = {'P', '@', 's', 's', 'w', '0', 'r', 'd', '-', '2', '0', '2', '4'};

void EncryptText(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Molvan::System::EncryptText(kField, kKey));
}
BENCHMARK(EncryptText);

void DecryptText(benchmark::State& state) {
    const std::string cipherText = Molvan::System::EncryptText(kField, kKey);
    for (auto _ : state) benchmark::DoNotOptimize(Molvan::System::DecryptText(cipherText, kKey));
}
BENCHMARK(DecryptText);

// The longest text an edit field holds: the cipher text, then more Base64 that the cipher never
// reads. Its time is DecryptText's, whatever the length.
void DecryptLongText(benchmark::State& state) {
    std::string cipherText = Molvan::System::EncryptText(kField, kKey);
    cipherText.resize(32767, 'Q');
    for (auto _ : state) benchmark::DoNotOptimize(Molvan::System::DecryptText(cipherText, kKey));
}
BENCHMARK(DecryptLongText)->Name("DecryptText/32767");

template <typename Cipher>
void CryptoPPBlock(benchmark::State& state) {
    const Block xorBlock{};
    Block input = kPlainBlock;
    Block output{};
    for (auto _ : state) {
        Cipher cipher;
        cipher.SetKey(kKeyBlock.data(), kKeyBlock.size());
        cipher.ProcessAndXorBlock(input.data(), xorBlock.data(), output.data());
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(CryptoPPBlock<CryptoPP::AES::Encryption>)->Name("CryptoPP/EncryptBlock");
BENCHMARK(CryptoPPBlock<CryptoPP::AES::Decryption>)->Name("CryptoPP/DecryptBlock");

void OpenSslBlock(benchmark::State& state, int encrypt) {
    Block output{};
    for (auto _ : state) {
        EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
        int written = 0;
        EVP_CipherInit_ex(context, EVP_aes_128_ecb(), nullptr, kKeyBlock.data(), nullptr, encrypt);
        EVP_CIPHER_CTX_set_padding(context, 0);
        EVP_CipherUpdate(context, output.data(), &written, kPlainBlock.data(), 16);
        EVP_CIPHER_CTX_free(context);
        benchmark::DoNotOptimize(output);
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(OpenSslBlock, EncryptBlock, 1)->Name("OpenSSL/EncryptBlock");
BENCHMARK_CAPTURE(OpenSslBlock, DecryptBlock, 0)->Name("OpenSSL/DecryptBlock");

void Base64Encode(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Base64::Encode(kPlainBlock.data(), 16));
}
BENCHMARK(Base64Encode);

void Base64Decode(benchmark::State& state) {
    const std::string text = Base64::Encode(kPlainBlock.data(), 16);
    for (auto _ : state) {
        int count = 0;
        benchmark::DoNotOptimize(Base64::Decode(text.data(), static_cast<int>(text.size()), count));
    }
}
BENCHMARK(Base64Decode);

// CStringToAnsi then AnsiToCString of a 16-character field, ASCII or not (code page 1252).
void AnsiRoundTrip(benchmark::State& state, const CString& field) {
    std::string bytes;
    CString text;
    for (auto _ : state) {
        Encoder::CStringToAnsi(field, bytes);
        Encoder::AnsiToCString(bytes, text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK_CAPTURE(AnsiRoundTrip, Ascii, CString(u"account-name-016"));
BENCHMARK_CAPTURE(AnsiRoundTrip, Accented, CString(u"Gr\u00FC\u00DFe-aus-K\u00F6ln!"));

}  // namespace
