// SPDX-License-Identifier: MIT
// Sessions with the main dialog: the ways of closing it, Encrypt and Decrypt, the command line
// and the show command.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/res/resource.h"
#include "session.h"

namespace e2e {
namespace {

using MainDialogTest = SessionTest;

TEST_F(MainDialogTest, EachWayOfClosingGivesItsExitCode) {
    struct Closing {
        const char* name;
        std::function<void(Session&)> act;
        int exitCode;
    };
    // Enter in an edit is the last step: had it encrypted instead of closing, the program would
    // wait for more input and the session fail.
    const auto enterIn = [](int field) {
        return [field](Session& s) { s.Click(field).Type(u"alice").Press(VK_RETURN); };
    };
    const Closing closings[] = {
        {"Enter in the account field", enterIn(IDC_ACCOUNT_IN), kExitOk},
        {"Enter in a lower field", enterIn(IDC_PASSWORD_OUT), kExitOk},
        {"OK button", [](Session& s) { s.Click(IDOK); }, kExitOk},
        {"Cancel button", [](Session& s) { s.Click(IDCANCEL); }, kExitCancel},
        {"Escape", [](Session& s) { s.Press(VK_ESCAPE); }, kExitCancel},
        {"Escape in a field", [](Session& s) { s.Click(IDC_PASSWORD_IN).Press(VK_ESCAPE); },
         kExitCancel},
        {"Alt+F4", [](Session& s) { s.Press(VK_F4, headless::kAlt); }, kExitCancel},
        {"close box", [](Session& s) { s.ClickAt([&s] { return CloseBoxOf(s.Main()); }); },
         kExitCancel},
        {"Space on Cancel after Tab", [](Session& s) { s.Press(VK_TAB).Press(VK_SPACE); },
         kExitCancel},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.name);
        Session s;
        closing.act(s);
        EXPECT_EQ(s.Run(), closing.exitCode);
    }
}

TEST_F(MainDialogTest, EncryptThenDecryptOfTheCopiedCipherTextGivesTheTextBack) {
    struct Case {
        const char* name;
        std::u16string account, password;
        std::string accountAnsi, passwordAnsi;  // the first 16 bytes in code page 936
        std::u16string accountBack, passwordBack;
    };
    const Case cases[] = {
        {"short ASCII", u"alice", u"s3cret!", "alice", "s3cret!", u"alice", u"s3cret!"},
        {"longer texts are cut to 16 bytes", u"abcdefghijklmnopqrstuvwxyz", u"0123456789abcdef",
         "abcdefghijklmnop", "0123456789abcdef", u"abcdefghijklmnop", u"0123456789abcdef"},
        // 帐号 and 张三 are two bytes each in code page 936.
        {"Chinese", u"帐号ABCDEFGHIJKLMN", u"张三",
         "\xD5\xCA\xBA\xC5"
         "ABCDEFGHIJKL",
         "\xD5\xC5\xC8\xFD", u"帐号ABCDEFGHIJKL", u"张三"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Session s;
        s.Fill(IDC_ACCOUNT_IN, c.account).Fill(IDC_PASSWORD_IN, c.password);
        s.Click(IDC_ENCRYPT).Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText(c.accountAnsi));
            EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), ReferenceCipherText(c.passwordAnsi));
        });
        s.Copy(IDC_ACCOUNT_OUT, IDC_ACCOUNT_IN).Copy(IDC_PASSWORD_OUT, IDC_PASSWORD_IN);
        s.Click(IDC_DECRYPT).Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), ReferenceCipherText(c.accountAnsi));
            EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), c.accountBack);
            EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), c.passwordBack);
        });
        s.Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(), kExitCancel);
    }
}

TEST_F(MainDialogTest, DecryptOfTextThatIsNoCipherTextFillsTheFieldsWithoutComplaint) {
    Session s;
    std::u16string first;
    const int beeps = headless::BeepCount();
    s.Fill(IDC_ACCOUNT_OUT, u"previous output").Fill(IDC_ACCOUNT_IN, u"hello, world!");
    s.Fill(IDC_PASSWORD_IN, u"QUJD");  // Base64 of three bytes only
    s.Click(IDC_DECRYPT).Then([&] {
        first = s.Field(IDC_ACCOUNT_OUT) + u"|" + s.Field(IDC_PASSWORD_OUT);
        EXPECT_NE(s.Field(IDC_ACCOUNT_OUT), u"previous output");
        EXPECT_EQ(GetActiveWindow(), s.Main()) << "no message box";
        EXPECT_EQ(headless::BeepCount(), beeps);
    });
    s.Click(IDC_DECRYPT).Then([&] {
        EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT) + u"|" + s.Field(IDC_PASSWORD_OUT), first)
            << "the same text deciphers the same way every time";
    });
    s.Click(IDOK);
    EXPECT_EQ(s.Run(), kExitOk);
}

TEST_F(MainDialogTest, APressReplacesTheWholeLowerFieldsAndNeverTouchesTheUpperOnes) {
    Session s;
    s.Fill(IDC_ACCOUNT_OUT, u"some very long text typed into the output field by hand");
    s.Fill(IDC_PASSWORD_OUT, u"more").Fill(IDC_PASSWORD_IN, u"hunter2");
    // Encrypt by Enter on the focused button (tab order: OK, Cancel, account, password, Encrypt),
    // which presses it and keeps the dialog open.
    s.Click(IDC_ACCOUNT_IN).Type(u"bob").Press(VK_TAB).Press(VK_TAB).Press(VK_RETURN).Then([&] {
        EXPECT_EQ(GetFocus(), s.Control(IDC_ENCRYPT));
        EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText("bob"));
        EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), ReferenceCipherText("hunter2"));
        EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"bob");
        EXPECT_EQ(s.Field(IDC_PASSWORD_IN), u"hunter2");
        EXPECT_NE(headless::Picture().find("bob"), std::string::npos) << headless::Picture();
    });
    s.Click(IDC_DECRYPT).Then([&] {
        EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"bob");
        EXPECT_EQ(s.Field(IDC_PASSWORD_IN), u"hunter2");
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

// Whatever the command line, the fields start empty, and Encrypt of empty fields writes the
// all-zero block's cipher text into both lower fields.
TEST_F(MainDialogTest, EncryptOfEmptyFieldsWritesTheZeroBlockWhateverTheCommandLine) {
    for (const std::u16string line : {u"", u"--help", u"/decrypt alice secret", u"\"a b\" -x"}) {
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        Session s;
        s.Click(IDC_ENCRYPT).Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_IN) + s.Field(IDC_PASSWORD_IN), u"");
            EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText(""));
            EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), ReferenceCipherText(""));
        });
        s.Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(line), kExitCancel);
    }
}

TEST_F(MainDialogTest, TheShowCommandDecidesHowTheDialogFirstAppears) {
    struct Case {
        int show;
        bool visible, minimised;
    };
    for (const Case c : {Case{SW_SHOWNORMAL, true, false}, Case{SW_SHOWMINIMIZED, true, true},
                         Case{SW_HIDE, false, false}}) {
        SCOPED_TRACE(c.show);
        Session s;
        s.Then([&] {
            EXPECT_EQ(IsWindowVisible(s.Main()) != FALSE, c.visible);
            EXPECT_EQ(IsIconic(s.Main()) != FALSE, c.minimised);
        });
        s.PostCommand(IDCANCEL);
        EXPECT_EQ(s.Run(u"", c.show), kExitCancel);
    }
}

}  // namespace
}  // namespace e2e
