#include "cipher/base64.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Molvan::System::Base64;

std::vector<unsigned char> Pattern(int length) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i * 37 + 11);
    return bytes;
}

// OpenSSL's Base64 of the bytes, with a line break after every 76 characters of full groups.
std::string ReferenceEncoding(const std::vector<unsigned char>& bytes) {
    std::string plain(4 * ((bytes.size() + 2) / 3) + 1, '\0');
    const int written = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(plain.data()),
                                        bytes.data(), static_cast<int>(bytes.size()));
    plain.resize(static_cast<std::size_t>(written));
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

TEST(Base64Encode, MatchesOpenSslWithTheLineRule) {
    for (int length = 0; length <= 200; ++length) {
        const std::vector<unsigned char> bytes = Pattern(length);
        EXPECT_EQ(Base64::Encode(bytes.data(), length), ReferenceEncoding(bytes)) << length;
    }
}

TEST(Base64Encode, LineBreaksFollowFullGroupsOnly) {
    const std::vector<unsigned char> bytes = Pattern(120);
    const struct {
        int length;
        std::size_t size;
        bool endsInBreak;
    } cases[] = {
        {16, 24, false}, {57, 78, true}, {58, 82, false}, {114, 156, true}, {115, 160, false}};
    for (const auto& c : cases) {
        const std::string text = Base64::Encode(bytes.data(), c.length);
        EXPECT_EQ(text.size(), c.size) << c.length;
        EXPECT_EQ(text.ends_with("\r\n"), c.endsInBreak) << c.length;
    }
    EXPECT_EQ(Base64::Encode(bytes.data(), 58).substr(76, 6),
              "\r\n" + Base64::Encode(&bytes[57], 1));
}

TEST(Base64Encode, SmallInputs) {
    const unsigned char zero = 0;
    EXPECT_EQ(Base64::Encode(&zero, 1), "AA==");
    EXPECT_EQ(Base64::Encode(&zero, 0), "");
    EXPECT_EQ(Base64::Encode(&zero, -5), "");
}

TEST(Base64Decode, LenientRules) {
    const struct {
        std::string text;
        std::string bytes;
    } cases[] = {
        {"QUJD", "ABC"},
        {"QQ==", "A"},
        {"QUI=", "AB"},
        {"====", std::string(1, '\0')},
        {"QUJDQQ==", "ABCA"},
        {"QUJD\r\nQUJD", "ABCABC"},
        {"QUJD\n", "ABC"},
        {"\r\n\r\n", ""},
        // A line break inside a group is a character of value 0.
        {"QU\r\nJD", std::string("\x41\x40\x00\x24\x30\x00", 6)},
        // "-", "_", "{" (past the table) and negative codes are all value 0, like "A".
        {"-_-_", std::string(3, '\0')},
        {"{{{{", std::string(3, '\0')},
        {"\xFF\x80QQ", std::string("\x00\x04\x10", 3)},
        // "=" is padding only in the third and fourth place.
        {"Q=QQ", std::string("\x40\x04\x10", 3)},
        // The counter grows by 4 per group even when "=" ended the group early, so the
        // last group here is never reached.
        {"QQ==QUJD", std::string("\x41\x00\x04\x14", 4)},
        // Places past the end read as value 0, not as "=".
        {"Q", std::string("\x40\x00\x00", 3)},
        {"QQ", std::string("\x41\x00\x00", 3)},
        {"QUJ", std::string("\x41\x42\x40", 3)},
    };
    for (const auto& c : cases) {
        int count = 0;
        EXPECT_EQ(DecodeExact(c.text, count), c.bytes) << c.text;
        EXPECT_EQ(count, static_cast<int>(c.bytes.size())) << c.text;
    }
}

TEST(Base64Decode, ReadsOnlyTheGivenLength) {
    int count = 0;
    EXPECT_EQ(Base64::Decode("QUJDQUJD", 4, count), "ABC");
    EXPECT_EQ(Base64::Decode("QUJD", 0, count), "");
    EXPECT_EQ(Base64::Decode("QUJD", -1, count), "");
    EXPECT_EQ(count, 3);
}

TEST(Base64Decode, AddsToTheCallersCount) {
    int count = 5;
    Base64::Decode("QUJD", 4, count);
    EXPECT_EQ(count, 8);
}

TEST(Base64Decode, InvertsEncode) {
    for (int length = 0; length <= 120; ++length) {
        const std::vector<unsigned char> bytes = Pattern(length);
        int count = 0;
        const std::string decoded = DecodeExact(Base64::Encode(bytes.data(), length), count);
        EXPECT_EQ(decoded, std::string(bytes.begin(), bytes.end())) << length;
        EXPECT_EQ(count, length);
    }
}

}  // namespace
