// Sessions with the About box, which opens on command 57664 over the main dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "app/res/resource.h"
#include "session.h"
#include "win32/headless.h"

namespace {

using e2e::FindWindowByCaption;
using e2e::Session;
namespace headless = win32::headless;

class AboutBoxTest : public testing::Test {
protected:
    void SetUp() override { headless::Start(); }
    void TearDown() override { headless::Stop(); }
};

struct Closing {
    const char* name;
    std::function<void(Session&)> act;
};

TEST_F(AboutBoxTest, OpensModallyAndEachWayOfClosingLeavesTheMainDialogOpen) {
    const Closing closings[] = {
        {"Enter", [](Session& s) { s.Press(VK_RETURN); }},
        {"OK button",
         [](Session& s) {
             s.ClickAt(
                 [] { return e2e::CenterOf(GetDlgItem(FindWindowByCaption(u"About"), IDOK)); });
         }},
        {"Escape", [](Session& s) { s.Press(VK_ESCAPE); }},
        {"Alt+F4", [](Session& s) { s.Press(VK_F4, headless::kAlt); }},
        {"close box",
         [](Session& s) {
             s.ClickAt([] { return e2e::CloseBoxOf(FindWindowByCaption(u"About")); });
         }},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.name);
        headless::Start();
        Session s;
        s.PostCommand(ID_APP_ABOUT).Then([&] {
            HWND about = FindWindowByCaption(u"About");
            ASSERT_NE(about, nullptr);
            EXPECT_TRUE(IsWindowVisible(about));
            EXPECT_EQ(GetActiveWindow(), about);
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDOK));
            EXPECT_EQ(GetWindow(about, GW_OWNER), s.Main());
            EXPECT_FALSE(IsWindowEnabled(s.Main())) << "the main dialog takes no input";
        });
        // Clicks and keys meant for the main dialog change nothing while the box is open (its
        // OK button and the account field lie outside the box).
        s.Click(IDOK).Click(IDC_ACCOUNT_IN).Type(u"x").Then([&] {
            EXPECT_TRUE(IsWindow(s.Main()));
            EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"");
            EXPECT_NE(FindWindowByCaption(u"About"), nullptr);
        });
        closing.act(s);
        s.Then([&] {
            EXPECT_EQ(FindWindowByCaption(u"About"), nullptr);
            EXPECT_TRUE(IsWindow(s.Main()));
            EXPECT_TRUE(IsWindowEnabled(s.Main()));
            EXPECT_EQ(GetActiveWindow(), s.Main());
        });
        // The main dialog works again.
        s.Click(IDC_ENCRYPT).Then([&] { EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT).size(), 24u); });
        s.Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(), 2);
    }
}

TEST_F(AboutBoxTest, ShowsTheVersionTextTheIconAndOk) {
    Session s;
    s.PostCommand(ID_APP_ABOUT).Then([] {
        HWND about = FindWindowByCaption(u"About");
        ASSERT_NE(about, nullptr);
        const std::string picture = headless::Picture();
        EXPECT_NE(picture.find("credcipher Version 1.0"), std::string::npos) << picture;
        EXPECT_EQ(e2e::TextOf(GetDlgItem(about, IDOK)), u"OK");
        // The icon static is the only child holding an icon.
        int icons = 0;
        for (HWND c = GetWindow(about, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (SendMessageW(c, STM_GETICON, 0, 0) != 0) ++icons;
        }
        EXPECT_EQ(icons, 1);
    });
    s.Press(VK_ESCAPE).Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), 2);
}

TEST_F(AboutBoxTest, OpensAgainAfterClosing) {
    Session s;
    for (int i = 0; i < 3; ++i) {
        s.PostCommand(ID_APP_ABOUT).Then([] { EXPECT_NE(FindWindowByCaption(u"About"), nullptr); });
        s.Press(VK_RETURN).Then([] { EXPECT_EQ(FindWindowByCaption(u"About"), nullptr); });
    }
    s.Press(VK_RETURN);
    EXPECT_EQ(s.Run(), 1);
}

}  // namespace
