// SPDX-License-Identifier: MIT
// libcredcipher's C interface: what it refuses and how, its buffer sizes, and many threads at
// once. What its results are is the business of the dialog-match suite and the test vectors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "credcipher.h"

namespace {

constexpr unsigned int kGbk = 936;
constexpr char kAlice[] = "cXKlGa5MQXDcK1Dph3gdiQ==";     // "alice" in every ANSI page
constexpr char kZhangSan[] = "bCQm6P5z5CiQU9rGFAKeGg==";  // "张三" in code page 936

TEST(LibraryTest, RefusesWhatItCannotTake) {
    char cipher[CREDCIPHER_CIPHER_TEXT_SIZE];
    char plain[CREDCIPHER_PLAIN_TEXT_SIZE];
    struct Case {
        const char* what;
        const char* text;
        std::size_t len;
        unsigned int page;
        int expected;
    };
    const Case cases[] = {
        {"a null text with a length", nullptr, 3, kGbk, CREDCIPHER_ERROR_ARGUMENT},
        {"an unknown code page", "alice", 5, 12345, CREDCIPHER_ERROR_CODE_PAGE},
        {"code page 1 (OEM), not a text page here", "alice", 5, 1, CREDCIPHER_ERROR_CODE_PAGE},
        {"a lone continuation byte", "a\x80", 2, kGbk, CREDCIPHER_ERROR_UTF8},
        {"a sequence cut short", "\xe5\xbc", 2, kGbk, CREDCIPHER_ERROR_UTF8},
        {"an overlong encoding", "\xc0\xaf", 2, kGbk, CREDCIPHER_ERROR_UTF8},
        {"a surrogate in UTF-8", "\xed\xa0\x80", 3, kGbk, CREDCIPHER_ERROR_UTF8},
        {"a code point past U+10FFFF", "\xf4\x90\x80\x80", 4, kGbk, CREDCIPHER_ERROR_UTF8},
        {"the bytes FE, FF", "\xfe\xff", 2, kGbk, CREDCIPHER_ERROR_UTF8},
        // Only the text before a NUL counts, as in the dialog's fields.
        {"malformed bytes after a NUL", "ok\0\xff", 4, kGbk, CREDCIPHER_OK},
        {"a null text of length 0", nullptr, 0, kGbk, CREDCIPHER_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(credcipher_encrypt(c.text, c.len, c.page, cipher), c.expected);
        std::size_t length = 99;
        EXPECT_EQ(credcipher_decrypt(c.text, c.len, c.page, plain, sizeof plain, &length),
                  c.expected);
    }
    EXPECT_EQ(credcipher_encrypt("alice", 5, kGbk, nullptr), CREDCIPHER_ERROR_ARGUMENT);
    EXPECT_EQ(credcipher_decrypt(kAlice, 24, kGbk, nullptr, 10, nullptr),
              CREDCIPHER_ERROR_ARGUMENT);
}

TEST(LibraryTest, DecryptTellsTheLengthItNeeds) {
    // "张三" is 6 bytes of UTF-8: 7 with the NUL.
    struct Case {
        std::size_t size;
        int expected;
    };
    for (const Case c : {Case{0, CREDCIPHER_ERROR_BUFFER_TOO_SMALL},
                         Case{6, CREDCIPHER_ERROR_BUFFER_TOO_SMALL}, Case{7, CREDCIPHER_OK}}) {
        SCOPED_TRACE(c.size);
        char plain[8];
        std::memset(plain, 'x', sizeof plain);
        std::size_t length = 0;
        EXPECT_EQ(
            credcipher_decrypt(kZhangSan, 24, kGbk, c.size == 0 ? nullptr : plain, c.size, &length),
            c.expected);
        EXPECT_EQ(length, 6u);
        if (c.size != 0) {
            EXPECT_STREQ(plain, c.expected == CREDCIPHER_OK ? "张三" : "");
        }
        EXPECT_EQ(plain[7], 'x') << "written past out_size";
    }
    EXPECT_EQ(credcipher_decrypt(kZhangSan, 24, kGbk, nullptr, 0, nullptr),
              CREDCIPHER_ERROR_BUFFER_TOO_SMALL);
}

TEST(LibraryTest, TheLongestPlainTextFitsItsBuffer) {
    // 16 bytes that UTF-8 reads as 16 replacement characters, 3 bytes each.
    const std::string block(16, '\xff');
    char cipher[CREDCIPHER_CIPHER_TEXT_SIZE];
    ASSERT_EQ(credcipher_encrypt("\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf"
                                 "\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf\xc3\xbf",
                                 32, 1252, cipher),
              CREDCIPHER_OK);  // ÿ x 16: the bytes FF in code page 1252
    char plain[CREDCIPHER_PLAIN_TEXT_SIZE];
    std::size_t length = 0;
    ASSERT_EQ(credcipher_decrypt(cipher, 24, 65001, plain, sizeof plain, &length), CREDCIPHER_OK);
    EXPECT_EQ(length, CREDCIPHER_PLAIN_TEXT_SIZE - 1);
}

TEST(LibraryTest, ThreadsGiveTheResultsOfOne) {
    struct Field {
        const char* text;
        unsigned int page;
    };
    const Field fields[] = {
        {"alice", 1252}, {"张三", kGbk},  {"こんにちは", 932}, {"Привет", 1251},
        {"안녕", 949},   {"€uro", 65001}, {"Καλημέρα", 1253},  {"0123456789abcdefXYZ", 874}};
    // Every round's results, in order.
    auto run = [&fields](std::vector<std::string>& results) {
        for (int round = 0; round < 200; ++round) {
            for (const Field& f : fields) {
                char cipher[CREDCIPHER_CIPHER_TEXT_SIZE] = {};
                char plain[CREDCIPHER_PLAIN_TEXT_SIZE] = {};
                std::size_t length = 0;
                const int encrypted =
                    credcipher_encrypt(f.text, std::strlen(f.text), f.page, cipher);
                const int decrypted =
                    credcipher_decrypt(cipher, 24, f.page, plain, sizeof plain, &length);
                results.push_back(std::to_string(encrypted) + std::to_string(decrypted) + cipher +
                                  plain);
            }
        }
    };
    std::vector<std::string> alone;
    run(alone);
    std::vector<std::vector<std::string>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) threads.emplace_back(run, std::ref(result));
    for (auto& thread : threads) thread.join();
    for (const auto& result : results) EXPECT_EQ(result, alone);
}

}  // namespace
