// SPDX-License-Identifier: MIT
// libcredcipher gives what the dialog gives. One session on the headless display enciphers and
// deciphers every field with the dialog's buttons; the library then does the same with the
// locale's ANSI code page (0) and with that page by number. The suite runs once per locale, so
// once per ANSI code page: CP_ACP is fixed for a process's life.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/res/resource.h"
#include "cipher/encoder.h"
#include "cipher/field_cipher.h"
#include "cipher/field_key.h"
#include "credcipher.h"
#include "session.h"

namespace {

using Molvan::System::Encoder;

std::string Utf8(const std::u16string& text) {
    std::string bytes;
    Encoder::CStringToUtf8(text, bytes);
    return bytes;
}

std::string LibraryEncrypt(const std::string& text, unsigned int page) {
    char out[CREDCIPHER_CIPHER_TEXT_SIZE] = {};
    EXPECT_EQ(credcipher_encrypt(text.data(), text.size(), page, out), CREDCIPHER_OK);
    return out;
}

std::string LibraryDecrypt(const std::string& cipherText, unsigned int page) {
    char out[CREDCIPHER_PLAIN_TEXT_SIZE] = {};
    std::size_t length = 0;
    EXPECT_EQ(
        credcipher_decrypt(cipherText.data(), cipherText.size(), page, out, sizeof out, &length),
        CREDCIPHER_OK);
    return std::string(out, length);
}

// The cipher text of raw bytes, for blocks no typed text gives in this page.
std::u16string CipherOfBytes(const std::string& bytes) {
    const std::string text = Molvan::System::EncryptText(bytes, Molvan::System::kFieldKey);
    return std::u16string(text.begin(), text.end());
}

std::vector<std::u16string> Fields() {
    return {u"",
            u"alice",
            u"0123456789abcdef",
            u"0123456789abcdefXYZ",
            u"caf\u00e9",
            u"Gr\u00fc\u00dfe",
            u"\u041f\u0440\u0438\u0432\u0435\u0442",
            u"\u039a\u03b1\u03bb\u03b7\u03bc\u03ad\u03c1\u03b1",
            u"\u5f20\u4e09",
            u"\u5bc6\u7801123",
            u"\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b\u4e5d",
            u"a\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b",
            u"\u3053\u3093\u306b\u3061\u306f\uff71",
            u"\uc548\ub155\ud558\uc138\uc694",
            u"\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35",
            u"\u05e9\u05dc\u05d5\u05dd",
            u"\u0645\u0631\u062d\u0628\u0627",
            u"Ti\u1ebfng Vi\u1ec7t",
            u"\u0105\u010d\u0119\u0117\u012f\u0161\u0173\u016b\u017e",
            u"\u20ac\u201a\u0192\u201e\u00a0\u00ff",
            u"\U0001F600 \u00e0\u0301"};
}

// Cipher texts for Decrypt alone: every byte from 0x80 to 0xFF in two pairings and as a lone
// last byte (a lead byte with no trail), and text that is not canonical cipher text.
std::vector<std::u16string> CipherTexts() {
    std::vector<std::u16string> texts;
    for (int first = 0x80; first < 0x100; first += 16) {
        std::string block, shifted = "a";
        for (int b = first; b < first + 16; ++b) block += static_cast<char>(b);
        shifted += block.substr(0, 15);
        texts.push_back(CipherOfBytes(block));
        texts.push_back(CipherOfBytes(shifted));
        texts.push_back(CipherOfBytes(std::string(15, 'a') + block[1]));
    }
    for (const char16_t* text :
         {u"QUJD", u"QUJD\r\nQUJD", u"====", u"-_-_ QUJD", u"cXKlGa5MQXDcK1Dph3gdiQ==extra",
          u"\u5f20\u4e09QUJDQUJD", u"\u00e9cXKlGa5MQXDcK1Dph3gdiQ=="}) {
        texts.push_back(text);
    }
    return texts;
}

using LibraryMatchesDialogTest = e2e::SessionTest;

TEST_F(LibraryMatchesDialogTest, EncryptAndDecryptGiveTheDialogsResults) {
    const char* pageName = std::getenv("CREDCIPHER_TEST_PAGE");
    ASSERT_NE(pageName, nullptr) << "CREDCIPHER_TEST_PAGE names the locale's ANSI code page";
    const unsigned int page = static_cast<unsigned int>(std::atoi(pageName));

    // The dialog first: every field through Encrypt, then every cipher text through Decrypt.
    const std::vector<std::u16string> fields = Fields();
    std::vector<std::u16string> cipherTexts = CipherTexts();
    std::vector<std::u16string> dialogCipher(fields.size()), dialogPlain;
    e2e::Session s;
    auto enter = [&s](const std::u16string& text) {
        return [&s, text] { SetWindowTextW(s.Control(IDC_ACCOUNT_IN), text.c_str()); };
    };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        s.Then(enter(fields[i])).Click(IDC_ENCRYPT).Then([&, i] {
            dialogCipher[i] = s.Field(IDC_ACCOUNT_OUT);
            cipherTexts.push_back(dialogCipher[i]);
        });
    }
    // Decrypt's steps are queued once Encrypt's results are known.
    s.Then([&] {
        dialogPlain.resize(cipherTexts.size());
        for (std::size_t i = 0; i < cipherTexts.size(); ++i) {
            s.Then(enter(cipherTexts[i])).Click(IDC_DECRYPT).Then([&, i] {
                dialogPlain[i] = s.Field(IDC_ACCOUNT_OUT);
            });
        }
        s.Press(VK_ESCAPE);
    });
    ASSERT_EQ(s.Run(), e2e::kExitCancel);

    for (std::size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE("encrypt " + Utf8(fields[i]));
        EXPECT_EQ(LibraryEncrypt(Utf8(fields[i]), CREDCIPHER_ANSI_CODE_PAGE),
                  Utf8(dialogCipher[i]));
        EXPECT_EQ(LibraryEncrypt(Utf8(fields[i]), page), Utf8(dialogCipher[i]));
    }
    for (std::size_t i = 0; i < cipherTexts.size(); ++i) {
        SCOPED_TRACE("decrypt " + Utf8(cipherTexts[i]));
        EXPECT_EQ(LibraryDecrypt(Utf8(cipherTexts[i]), CREDCIPHER_ANSI_CODE_PAGE),
                  Utf8(dialogPlain[i]));
        EXPECT_EQ(LibraryDecrypt(Utf8(cipherTexts[i]), page), Utf8(dialogPlain[i]));
    }
}

// The sessions' own environment sets a Chinese system; this one, added later, sets it up after
// that and so chooses the locale under test.
class LocaleUnderTest : public testing::Environment {
public:
    void SetUp() override {
        const char* locale = std::getenv("CREDCIPHER_TEST_LOCALE");
        if (locale != nullptr) setenv("LC_ALL", locale, 1);
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new LocaleUnderTest);
    return RUN_ALL_TESTS();
}
