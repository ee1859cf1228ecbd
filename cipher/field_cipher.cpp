#include "cipher/field_cipher.h"

#include <cryptopp/aes.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

#include "cipher/base64.h"

namespace Molvan::System {

namespace {

constexpr std::size_t kKeyLength = 16;
using Block = std::array<CryptoPP::byte, CryptoPP::AES::BLOCKSIZE>;

// Copies the first min(16, length) bytes of text; the rest of the block stays zero. A whole
// block is one fixed-size move.
void CopyPrefix(Block& block, const std::string& text) {
    if (text.size() >= block.size()) {
        std::memcpy(block.data(), text.data(), block.size());
    } else {
        std::memcpy(block.data(), text.data(), text.size());
    }
}

// One block through a cipher object of its own under the key's first 16 bytes (zero-padded).
// The key's length is always the valid 16, so it is set without SetKey's length check.
template <typename Cipher>
Block Transform(const std::string& key, const Block& input) {
    Cipher cipher;
    Block keyBlock{};
    CopyPrefix(keyBlock, key);
    cipher.UncheckedSetKey(keyBlock.data(), kKeyLength, CryptoPP::g_nullNameValuePairs);
    Block output;
    cipher.ProcessBlock(input.data(), output.data());
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
    return std::string(output.begin(), std::find(output.begin(), output.end(), 0));
}

}  // namespace Molvan::System
