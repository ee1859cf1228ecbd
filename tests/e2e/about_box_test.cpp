// SPDX-License-Identifier: MIT
// Sessions with the About box, which command 57664 opens over the main dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/res/resource.h"
#include "session.h"

namespace e2e {
namespace {

using AboutBoxTest = SessionTest;

TEST_F(AboutBoxTest, OpensModallyAndEachWayOfClosingLeavesTheMainDialogOpen) {
    struct Closing {
        const char* name;
        std::function<void(Session&)> act;
    };
    const Closing closings[] = {
        {"Enter", [](Session& s) { s.Press(VK_RETURN); }},
        {"OK button",
         [](Session& s) { s.ClickAt([] { return CenterOf(GetDlgItem(AboutBox(), IDOK)); }); }},
        {"Escape", [](Session& s) { s.Press(VK_ESCAPE); }},
        {"Alt+F4", [](Session& s) { s.Press(VK_F4, headless::kAlt); }},
        {"close box", [](Session& s) { s.ClickAt([] { return CloseBoxOf(AboutBox()); }); }},
    };
    for (const Closing& closing : closings) {
        SCOPED_TRACE(closing.name);
        Session s;
        s.PostCommand(ID_APP_ABOUT).Then([&] {
            HWND about = AboutBox();
            ASSERT_NE(about, nullptr);
            EXPECT_TRUE(IsWindowVisible(about));
            EXPECT_EQ(GetActiveWindow(), about);
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDOK));
            EXPECT_EQ(GetWindow(about, GW_OWNER), s.Main());
            EXPECT_FALSE(IsWindowEnabled(s.Main())) << "the main dialog takes no input";
            const std::string picture = headless::Picture();
            EXPECT_NE(picture.find("credcipher Version 1.0"), std::string::npos) << picture;
            int icons = 0;  // the icon static is the only child holding an icon
            for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                if (SendMessageW(c, STM_GETICON, 0, 0) != 0) ++icons;
            }
            EXPECT_EQ(icons, 1);
        });
        // Clicks and keys meant for the main dialog change nothing while the box is open (its
        // OK button and the account field lie outside the box).
        s.Click(IDOK).Click(IDC_ACCOUNT_IN).Type(u"x").Then([&] {
            EXPECT_EQ(s.Field(IDC_ACCOUNT_IN), u"");
            EXPECT_NE(AboutBox(), nullptr);
        });
        closing.act(s);
        s.Then([&] {
            EXPECT_EQ(AboutBox(), nullptr);
            EXPECT_TRUE(IsWindowEnabled(s.Main()));
            EXPECT_EQ(GetActiveWindow(), s.Main());
        });
        // The main dialog works again, and the box opens again.
        s.Click(IDC_ENCRYPT).Then([&] { EXPECT_EQ(s.Field(IDC_ACCOUNT_OUT).size(), 24u); });
        s.PostCommand(ID_APP_ABOUT).Then([] { EXPECT_NE(AboutBox(), nullptr); });
        s.Press(VK_ESCAPE).Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(), kExitCancel);
    }
}

}  // namespace
}  // namespace e2e
