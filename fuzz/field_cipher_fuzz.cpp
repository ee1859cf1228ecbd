// SPDX-License-Identifier: MIT
// DecryptText on arbitrary cipher text and keys: the result is at most 16 bytes without a zero
// byte; EncryptText's output always deciphers to the plain text's first 16 bytes up to a zero.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "cipher/field_cipher.h"

using Molvan::System::DecryptText;
using Molvan::System::EncryptText;

namespace {

void CheckPlainText(const std::string& plain) {
    if (plain.size() > 16 || plain.find('\0') != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string fixedKey = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86";

    CheckPlainText(DecryptText(input, fixedKey));
    // The first byte picks a key of 0 to 31 bytes from the rest of the input.
    const std::string key = size > 0 ? input.substr(1, data[0] % 32) : std::string();
    CheckPlainText(DecryptText(input, key));

    const std::string cipherText = EncryptText(input, key);
    if (cipherText.size() != 24 || !cipherText.ends_with("==")) std::abort();
    const std::string head = input.substr(0, 16);
    if (DecryptText(cipherText, key) != head.substr(0, head.find('\0'))) std::abort();
    return 0;
}
