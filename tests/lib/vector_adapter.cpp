// SPDX-License-Identifier: MIT
// The library for a test driver in another language: each input line "encrypt PAGE HEX" or
// "decrypt PAGE HEX" (the text's UTF-8 bytes in hexadecimal) gives the line "STATUS HEX" with
// the result's bytes.
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "credcipher.h"

namespace {

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return bytes;
}

std::string ToHex(const std::string& bytes) {
    std::string hex;
    char digits[3];
    for (unsigned char b : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", b);
        hex += digits;
    }
    return hex;
}

}  // namespace

int main() {
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string operation, hex;
        unsigned int page = 0;
        fields >> operation >> page >> hex;
        const std::string input = FromHex(hex);
        char out[CREDCIPHER_PLAIN_TEXT_SIZE] = {};
        std::size_t length = 0;
        int status = 0;
        if (operation == "encrypt") {
            status = credcipher_encrypt(input.data(), input.size(), page, out);
            length = std::char_traits<char>::length(out);
        } else {
            status = credcipher_decrypt(input.data(), input.size(), page, out, sizeof out, &length);
        }
        std::cout << status << ' ' << ToHex(std::string(out, length)) << '\n';
    }
}
