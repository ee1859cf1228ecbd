// SPDX-License-Identifier: MIT
#include "cipher/field_cipher.h"

#include <cryptopp/aes.h>

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

#include "cipher/base64.h"

namespace Molvan::System {

namespace {

constexpr std::size_t kKeyLength = 16;
using Block = std::array<CryptoPP::byte, CryptoPP::AES::BLOCKSIZE>;

// Copies the first min(16, length) bytes of text; the rest of the block stays zero. Copies of
// fixed sizes (a whole block, or two overlapping halves) need no library call.
void CopyPrefix(Block& block, const std::string& text) {
    const std::size_t size = text.size();
    if (size >= block.size()) {
        std::memcpy(block.data(), text.data(), block.size());
    } else if (size >= 8) {
        std::memcpy(block.data(), text.data(), 8);
        std::memcpy(block.data() + size - 8, text.data() + size - 8, 8);
    } else {
        std::memcpy(block.data(), text.data(), size);
    }
}

// The number of bytes before the block's first zero byte, 16 when it has none. Each half is
// searched as one word: (x - 0x01..01) & ~x & 0x80..80 has its lowest set bit in the first zero
// byte (bits above it may be set too, which the lowest bit does not depend on).
std::size_t TextLength(const Block& block) {
    if constexpr (std::endian::native != std::endian::little) {
        return static_cast<std::size_t>(std::find(block.begin(), block.end(), 0) - block.begin());
    }
    constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    for (std::size_t half = 0; half < 2; ++half) {
        std::uint64_t word = 0;
        std::memcpy(&word, block.data() + 8 * half, 8);
        const std::uint64_t zeros = (word - kOnes) & ~word & kHighs;
        if (zeros != 0) return 8 * half + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
    }
    return block.size();
}

// One block through a cipher object of its own, keyed with the key's first 16 bytes
// (zero-padded) and XORed with an all-zero block: the plain AES-128 transform.
template <typename Cipher>
Block Transform(const std::string& key, const Block& input) {
    Cipher cipher;
    Block keyBlock{};
    CopyPrefix(keyBlock, key);
    cipher.SetKey(keyBlock.data(), kKeyLength);
    static constexpr Block kZeroBlock{};  // the xor block, which stays zero
    Block output{};
    cipher.ProcessAndXorBlock(input.data(), kZeroBlock.data(), output.data());
    return output;
}

}  // namespace

std::string EncryptText(const std::string& text, const std::string& key) {
    Block input{};
    CopyPrefix(input, text);
    const Block output = Transform<CryptoPP::AES::Encryption>(key, input);
    return Base64::Encode(output.data(), static_cast<int>(output.size()));
}

std::string DecryptText(const std::string& cipherText, const std::string& key) {
    // Only the first 16 decoded bytes matter, and they come from the start of the text: the
    // decoding stops there, however long the text.
    Block input{};
    const int length = static_cast<int>(std::min<std::size_t>(cipherText.size(), INT_MAX));
    Base64::DecodePrefix(cipherText.data(), length, input.data(), static_cast<int>(input.size()));
    const Block output = Transform<CryptoPP::AES::Decryption>(key, input);
    // The block read as a NUL-terminated text, all 16 bytes when none is zero.
    return std::string(reinterpret_cast<const char*>(output.data()), TextLength(output));
}

}  // namespace Molvan::System
