// SPDX-License-Identifier: MIT
// The field cipher: one dialog field as one AES-128 block under the key string, in Base64.
#pragma once

#include <string>

namespace Molvan::System {

// Enciphers the first 16 bytes of text (zero-padded) under the first 16 bytes of key;
// returns 24 characters of Base64.
std::string EncryptText(const std::string& text, const std::string& key);

// Decodes cipherText leniently, deciphers its first 16 bytes (zero-padded) and returns the
// block up to its first zero byte.
std::string DecryptText(const std::string& cipherText, const std::string& key);

}  // namespace Molvan::System
