// SPDX-License-Identifier: MIT
#include "cipher/field_cipher.h"

#include <gtest/gtest.h>

#include <string>

#include "support/openssl_reference.h"

namespace {

using Molvan::System::DecryptText;
using Molvan::System::EncryptText;
using namespace std::string_literals;

const std::string kKey = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86";

using test::Block;
using test::OpenSslAes;
using test::OpenSslBase64;
using test::ToBlock;

std::string UpToFirstZero(const Block& block) {
    return std::string(block.begin(), std::find(block.begin(), block.end(), 0));
}

const std::string kPlainTexts[] = {
    "",
    "a",
    "admin",
    "P@ssw0rd!",
    "0123456789ABCDE",
    "0123456789ABCDEF",
    "0123456789ABCDEFGHIJ",
    "\xD6\xD0\xCE\xC4\xD5\xCB\xBA\xC5",  // Chinese in code page 936
    "\xFF\x80\x01\x7F",
    "ab\0cd"s,
};

TEST(FieldCipher, EncryptsAsAes128EcbOfTheFirst16Bytes) {
    for (const std::string& text : kPlainTexts) {
        EXPECT_EQ(EncryptText(text, kKey), OpenSslBase64(OpenSslAes(kKey, ToBlock(text), true)))
            << text;
    }
}

// Only the first 16 bytes of the key count; a shorter key is completed with zeros.
TEST(FieldCipher, KnownCipherTextsAndKeyLength) {
    EXPECT_EQ(EncryptText("", kKey), "NGUwj+ODyAVBOoUAJSDNYw==");
    EXPECT_EQ(EncryptText("admin", kKey), "BoN3Iagl6omv5BDo67fmQQ==");
    EXPECT_EQ(EncryptText("admin", kKey), EncryptText("admin", kKey.substr(0, 16)));
    EXPECT_EQ(EncryptText("admin", "short"),
              OpenSslBase64(OpenSslAes("short", ToBlock("admin"), true)));
}

// Decryption inverts encryption up to the first zero byte and ignores what follows the first
// block; any text decodes leniently to some block.
TEST(FieldCipher, DecryptsTheFirstBlockUpToItsFirstZero) {
    for (const std::string& text : kPlainTexts) {
        const std::string cipherText = EncryptText(text, kKey);
        EXPECT_EQ(DecryptText(cipherText, kKey), UpToFirstZero(ToBlock(text))) << text;
        EXPECT_EQ(DecryptText(cipherText + "trailing", kKey), UpToFirstZero(ToBlock(text)));
    }
    const struct {
        std::string text;
        Block block;  // what the text decodes to, as one block
    } cases[] = {
        {"QUJD", ToBlock("ABC")},
        {"", Block{}},
        {"!!!!", Block{}},
        {"QUJD\r\nRA==", ToBlock("ABCD")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecryptText(c.text, kKey), UpToFirstZero(OpenSslAes(kKey, c.block, false)))
            << c.text;
    }
}

}  // namespace
