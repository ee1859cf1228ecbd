// SPDX-License-Identifier: MIT
// credcipher-cli gives what the dialog gives: each field goes through Encrypt and Decrypt in a
// session with the program on the headless display, and through the command line under the same
// locale (the test runs once per locale, so once per ANSI code page).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/res/resource.h"
#include "cipher/encoder.h"
#include "run_cli.h"
#include "session.h"

namespace {

std::string Utf8(const std::u16string& text) {
    std::string bytes;
    Molvan::System::Encoder::CStringToUtf8(text, bytes);
    return bytes;
}

using CliMatchesDialogTest = e2e::SessionTest;

TEST_F(CliMatchesDialogTest, EncryptAndDecryptGiveTheDialogsResults) {
    const std::string locale = std::getenv("LC_ALL") != nullptr ? std::getenv("LC_ALL") : "C";
    const std::u16string fields[] = {
        u"alice", u"", u"0123456789abcdefX", u"caf\u00e9", u"\u5f20\u4e09", u"\u5bc6\u7801123",
        // Best fit in one page, exact in the other.
        u"\u00a5", u"\u0101",
        // 18 bytes in 936, and the same with the cut inside the eighth character.
        u"\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b\u4e5d",
        u"a\u4e00\u4e8c\u4e09\u56db\u4e94\u516d\u4e03\u516b"};
    for (const std::u16string& field : fields) {
        SCOPED_TRACE(Utf8(field));
        e2e::Session s;
        std::u16string cipher, back;
        s.Fill(IDC_ACCOUNT_IN, field).Click(IDC_ENCRYPT).Then([&] {
            cipher = s.Field(IDC_ACCOUNT_OUT);
        });
        s.Copy(IDC_ACCOUNT_OUT, IDC_ACCOUNT_IN).Click(IDC_DECRYPT).Then([&] {
            back = s.Field(IDC_ACCOUNT_OUT);
        });
        s.Press(VK_ESCAPE);
        ASSERT_EQ(s.Run(), e2e::kExitCancel);

        EXPECT_EQ(clitest::RunCli({"-q", "encrypt", Utf8(field)}, "", locale).out,
                  Utf8(cipher) + "\n");
        EXPECT_EQ(clitest::RunCli({"-q", "decrypt"}, Utf8(cipher), locale).out, Utf8(back) + "\n");
    }
}

}  // namespace
