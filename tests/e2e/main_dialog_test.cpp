// Sessions with the main dialog: typing, Encrypt and Decrypt, and the ways of closing it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/res/resource.h"
#include "reference_cipher.h"
#include "session.h"
#include "win32/headless.h"

namespace {

using e2e::ReferenceCipherText;
using e2e::Session;
namespace headless = win32::headless;

constexpr int kExitOk = 1;
constexpr int kExitCancel = 2;

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override { headless::Start(); }
    void TearDown() override { headless::Stop(); }

    // Clicks into a field and replaces all of its text with text.
    static void Fill(Session& s, int id, const std::u16string& text) {
        s.Click(id).Press(VK_END).Press(VK_HOME, headless::kShift).Type(text);
    }

    // Copies the text of field from into field to with the clipboard, as a person would.
    static void CopyField(Session& s, int from, int to) {
        s.Click(from).Press(VK_END).Press(VK_HOME, headless::kShift).Press('C', headless::kControl);
        s.Click(to).Press(VK_END).Press(VK_HOME, headless::kShift).Press('V', headless::kControl);
    }
};

TEST_F(MainDialogTest, EnterInAnyFieldClosesWithOkAtOnce) {
    for (const int field : {IDC_ACCOUNT_IN, IDC_PASSWORD_IN, IDC_ACCOUNT_OUT, IDC_PASSWORD_OUT}) {
        SCOPED_TRACE(field);
        headless::Start();
        Session s;
        std::u16string outputSeen = u"unread";
        s.Click(field).Type(u"alice").Then(
            [&] { outputSeen = s.Field(IDC_ACCOUNT_OUT) + s.Field(IDC_PASSWORD_OUT); });
        // Enter is the last step: had it done anything but close, the program would wait on.
        s.Press(VK_RETURN);
        EXPECT_EQ(s.Run(), kExitOk);
        EXPECT_EQ(outputSeen,
                  field == IDC_ACCOUNT_OUT || field == IDC_PASSWORD_OUT ? u"alice" : u"");
    }
}

struct Closing {
    const char* name;
    std::function<void(Session&)> act;
    int exitCode;
};

TEST_F(MainDialogTest, EachWayOfClosingGivesItsExitCode) {
    const Closing closings[] = {
        {"OK button", [](Session& s) { s.Click(IDOK); }, kExitOk},
        {"Enter on the focused OK button", [](Session& s) { s.Press(VK_RETURN); }, kExitOk},
        {"Cancel button", [](Session& s) { s.Click(IDCANCEL); }, kExitCancel},
        {"Escape", [](Session& s) { s.Press(VK_ESCAPE); }, kExitCancel},
        {"Escape in a field", [](Session& s) { s.Click(IDC_PASSWORD_IN).Press(VK_ESCAPE); },
         kExitCancel},
        {"Alt+F4", [](Session& s) { s.Press(VK_F4, headless::kAlt); }, kExitCancel},
        {"close box", [](Session& s) { s.ClickAt([&s] { return e2e::CloseBoxOf(s.Main()); }); },
         kExitCancel},
        {"Space on Cancel after Tab", [](Session& s) { s.Press(VK_TAB).Press(VK_SPACE); },
         kExitCancel},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.name);
        headless::Start();
        Session s;
        closing.act(s);
        EXPECT_EQ(s.Run(), closing.exitCode);
    }
}

TEST_F(MainDialogTest, EncryptOfEmptyFieldsWritesTheZeroBlockIntoBoth) {
    Session s;
    const std::u16string zeroBlock = ReferenceCipherText("");
    s.Click(IDC_ENCRYPT).Then([&] {
        EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), zeroBlock);
        EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), zeroBlock);
        EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"");
        EXPECT_EQ(s.Field(IDC_PASSWORD_IN), u"");
        EXPECT_EQ(zeroBlock.size(), 24u);
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
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
        {"exactly 16 bytes", u"0123456789abcdef", u"ABCDEFGHIJKLMNOP", "0123456789abcdef",
         "ABCDEFGHIJKLMNOP", u"0123456789abcdef", u"ABCDEFGHIJKLMNOP"},
        {"longer texts are cut to 16 bytes", u"abcdefghijklmnopqrstuvwxyz", u"p@ss word 123456789",
         "abcdefghijklmnop", "p@ss word 123456", u"abcdefghijklmnop", u"p@ss word 123456"},
        // 帐号 and 张三 are two bytes each in code page 936.
        {"Chinese", u"帐号ABCDEFGHIJKLMN", u"张三",
         "\xD5\xCA\xBA\xC5"
         "ABCDEFGHIJKL",
         "\xD5\xC5\xC8\xFD", u"帐号ABCDEFGHIJKL", u"张三"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Start();
        Session s;
        Fill(s, IDC_ACCOUNT_IN, c.account);
        Fill(s, IDC_PASSWORD_IN, c.password);
        s.Click(IDC_ENCRYPT).Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText(c.accountAnsi));
            EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), ReferenceCipherText(c.passwordAnsi));
        });
        CopyField(s, IDC_ACCOUNT_OUT, IDC_ACCOUNT_IN);
        CopyField(s, IDC_PASSWORD_OUT, IDC_PASSWORD_IN);
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
    Fill(s, IDC_ACCOUNT_OUT, u"previous output");
    Fill(s, IDC_ACCOUNT_IN, u"hello, world!");
    Fill(s, IDC_PASSWORD_IN, u"QUJD");  // Base64 of three bytes only
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
    Fill(s, IDC_ACCOUNT_OUT, u"some very long text typed into the output field by hand");
    Fill(s, IDC_PASSWORD_OUT, u"more");
    Fill(s, IDC_ACCOUNT_IN, u"bob");
    Fill(s, IDC_PASSWORD_IN, u"hunter2");
    s.Click(IDC_ENCRYPT).Then([&] {
        EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText("bob"));
        EXPECT_EQ(s.Field(IDC_PASSWORD_OUT), ReferenceCipherText("hunter2"));
        EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"bob");
        EXPECT_EQ(s.Field(IDC_PASSWORD_IN), u"hunter2");
        // What the person sees, too.
        const std::string picture = headless::Picture();
        EXPECT_NE(picture.find("bob"), std::string::npos) << picture;
    });
    s.Click(IDC_DECRYPT).Then([&] {
        EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"bob");
        EXPECT_EQ(s.Field(IDC_PASSWORD_IN), u"hunter2");
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

TEST_F(MainDialogTest, EnterOnTheFocusedEncryptButtonEncryptsAndKeepsTheDialogOpen) {
    Session s;
    // Tab order: OK, Cancel, account, password, Encrypt.
    s.Press(VK_TAB).Press(VK_TAB).Type(u"carol").Press(VK_TAB).Press(VK_TAB).Press(VK_RETURN);
    s.Then([&] {
        EXPECT_EQ(GetFocus(), s.Control(IDC_ENCRYPT));
        EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText("carol"));
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

TEST_F(MainDialogTest, CommandLineArgumentsChangeNothing) {
    for (const std::u16string line : {u"", u"--help", u"/decrypt alice secret", u"\"a b\" -x"}) {
        headless::Start();
        Session s;
        Fill(s, IDC_ACCOUNT_IN, u"dave");
        s.Click(IDC_ENCRYPT).Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"dave");
            EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT), ReferenceCipherText("dave"));
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
    for (const Case c : {Case{SW_SHOWDEFAULT, true, false}, Case{SW_SHOWNORMAL, true, false},
                         Case{SW_SHOWMINIMIZED, true, true}, Case{SW_MINIMIZE, true, true},
                         Case{SW_HIDE, false, false}}) {
        SCOPED_TRACE(c.show);
        headless::Start();
        Session s;
        s.Then([&] {
            ASSERT_NE(s.Main(), nullptr);
            EXPECT_EQ(IsWindowVisible(s.Main()) != FALSE, c.visible);
            EXPECT_EQ(IsIconic(s.Main()) != FALSE, c.minimised);
        });
        s.PostCommand(IDCANCEL);
        EXPECT_EQ(s.Run(u"", c.show), kExitCancel);
    }
}

}  // namespace
