// SPDX-License-Identifier: MIT
// The tool's cipher text computed without the tool, by OpenSSL: AES-128 in ECB mode of one
// block, under the first 16 bytes of the key string, in Base64.
#pragma once

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace test {

using Block = std::array<unsigned char, 16>;

// The first 16 bytes of text, completed with zeros.
inline Block ToBlock(std::string_view text) {
    Block block{};
    std::copy_n(text.begin(), std::min(text.size(), block.size()), block.begin());
    return block;
}

// One AES-128-ECB block, no padding, under the first 16 bytes of `key` (zero-padded).
inline Block OpenSslAes(std::string_view key, const Block& in, bool encrypt) {
    const Block keyBlock = ToBlock(key);
    const std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
        EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    Block out{};
    int written = 0;
    if (context == nullptr ||
        EVP_CipherInit_ex(context.get(), EVP_aes_128_ecb(), nullptr, keyBlock.data(), nullptr,
                          encrypt ? 1 : 0) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1 ||
        EVP_CipherUpdate(context.get(), out.data(), &written, in.data(), 16) != 1 || written != 16)
        throw std::runtime_error("OpenSSL's AES failed");
    return out;
}

inline std::string OpenSslBase64(const Block& block) {
    std::array<unsigned char, 25> text{};
    EVP_EncodeBlock(text.data(), block.data(), 16);
    return reinterpret_cast<const char*>(text.data());
}

// The cipher text of the first 16 bytes of `ansi` (the text in the ANSI code page), zero-padded.
inline std::string ReferenceCipherText(std::string_view ansi) {
    return OpenSslBase64(OpenSslAes("7D3F09A2-4C6E-41", ToBlock(ansi), true));
}

}  // namespace test
