// SPDX-License-Identifier: MIT
#include "cipher/base64.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

using Molvan::System::Base64;
using namespace std::string_literals;

std::vector<unsigned char> Pattern(int length) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 37 + 11);
    return bytes;
}

// OpenSSL's Base64 of the bytes, in one line.
std::string OpenSslEncoding(const std::vector<unsigned char>& bytes) {
    std::string plain(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data()),
                                        bytes.data(), static_cast<int>(bytes.size()));
    plain.resize(static_cast<std::size_t>(written));
    return plain;
}

// OpenSSL's Base64 of the bytes, with a line break after every 76 characters of full groups.
std::string ReferenceEncoding(const std::vector<unsigned char>& bytes) {
    const std::string plain = OpenSslEncoding(bytes);
    const std::size_t fullChars = bytes.size() / 3 * 4;
    std::string broken;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        broken += plain[i];
        if (i + 1 <= fullChars && (i + 1) % 76 == 0) broken += "\r\n";
    }
    return broken;
}

// Decodes text from a heap block of exactly its length, so a read past it is caught by ASan.
std::string DecodeExact(const std::string& text, int& count) {
    auto block = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), block.get());
    return Base64::Decode(block.get(), static_cast<int>(text.size()), count);
}

TEST(Base64, EncodesAsOpenSslWithTheLineRuleAndDecodesBack) {
    for (int length = 0; length <= 200; ++length) {
        const std::vector<unsigned char> bytes = Pattern(length);
        const std::string text = Base64::Encode(bytes.data(), length);
        EXPECT_EQ(text, ReferenceEncoding(bytes)) << length;
        EXPECT_EQ(Base64::EncodeUnbroken(bytes.data(), length), OpenSslEncoding(bytes)) << length;
        int count = 0;
        EXPECT_EQ(DecodeExact(text, count), std::string(bytes.begin(), bytes.end())) << length;
        EXPECT_EQ(count, length);
    }
}

// Leniency: a line break between groups is skipped, one inside a group is a character of value
// 0; "-", "_", "{" (past the table) and negative codes are value 0 like "A"; "=" is padding only
// in the third and fourth place; the counter grows by 4 per group even when "=" ended the group
// early ("QQ==QUJD" never reaches its last group); places past the end read as 0, not as "=".
struct LenientCase {
    std::string text;
    std::string bytes;
};
const LenientCase kLenientCases[] = {
    {"QUJD", "ABC"},
    {"QQ==", "A"},
    {"QUI=", "AB"},
    {"====", "\0"s},
    {"QUJDQQ==", "ABCA"},
    {"QUJD\r\nQUJD", "ABCABC"},
    {"QUJD\n", "ABC"},
    {"\r\n\r\n", ""},
    {"QU\r\nJD", "\x41\x40\x00\x24\x30\x00"s},
    {"-_-_", "\0\0\0"s},
    {"{{{{", "\0\0\0"s},
    {"\xFF\x80QQ", "\x00\x04\x10"s},
    {"Q=QQ", "\x40\x04\x10"s},
    {"QQ==QUJD", "\x41\x00\x04\x14"s},
    {"Q", "\x40\x00\x00"s},
    {"QQ", "\x41\x00\x00"s},
    {"QUJ", "\x41\x42\x40"s},
};

TEST(Base64Decode, LenientRules) {
    for (const auto& c : kLenientCases) {
        int count = 0;
        EXPECT_EQ(DecodeExact(c.text, count), c.bytes) << c.text;
        EXPECT_EQ(count, static_cast<int>(c.bytes.size())) << c.text;
    }
}

// The bounded decode gives Decode's first bytes, for every capacity, and writes nothing past it.
TEST(Base64Decode, PrefixIsTheStartOfDecodeAndStaysInItsBlock) {
    std::vector<std::string> texts = {"QUJDREVGR0hJSktMTU5PUA==\r\nQUJD" + std::string(300, 'Q')};
    for (const auto& c : kLenientCases) texts.push_back(c.text + c.text + c.text + c.text);
    for (const std::string& text : texts) {
        const int length = static_cast<int>(text.size());
        int count = 0;
        const std::string whole = Base64::Decode(text.data(), length, count);
        for (int capacity = 0; capacity <= 20; ++capacity) {
            std::string block(24, '#');
            const int written = Base64::DecodePrefix(
                text.data(), length, reinterpret_cast<unsigned char*>(block.data()), capacity);
            const std::size_t expected = std::min(whole.size(), std::size_t(capacity));
            EXPECT_EQ(block.substr(0, written), whole.substr(0, expected)) << text << capacity;
            EXPECT_EQ(block.substr(expected), std::string(24 - expected, '#')) << text << capacity;
        }
    }
}

TEST(Base64, ReadsOnlyTheGivenLengthAndAddsToTheCallersCount) {
    const unsigned char zero = 0;
    EXPECT_EQ(Base64::Encode(&zero, 0), "");
    EXPECT_EQ(Base64::Encode(&zero, -5), "");
    int count = 5;
    EXPECT_EQ(Base64::Decode("QUJDQUJD", 4, count), "ABC");
    EXPECT_EQ(Base64::Decode("QUJD", 0, count), "");
    EXPECT_EQ(Base64::Decode("QUJD", -1, count), "");
    EXPECT_EQ(count, 8);
}

}  // namespace
