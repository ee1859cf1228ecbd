// SPDX-License-Identifier: MIT
// The accessible tree of the real dialogs on the headless display, and the events between two
// readings: what the screen reader is told when the About box opens over the main dialog and
// closes again (the About box is reached only by its command, so the bus suite cannot open it).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/res/resource.h"
#include "session.h"
#include "x11/atspi/accessible_tree.h"

namespace e2e {
namespace {

namespace atspi = win32::atspi;
using atspi::Bit;

using AccessibleTreeTest = SessionTest;

atspi::AccessibleTree Now() { return atspi::ReadTree(win32::ViewsOfScreen()); }

// An event as "member:detail detail1 source's name", the way a listener would log it.
std::vector<std::string> Told(const atspi::AccessibleTree& before,
                              const atspi::AccessibleTree& after) {
    std::vector<std::string> told;
    for (const atspi::Event& event : atspi::Changes(before, after)) {
        const atspi::Accessible* source = after.Find(event.source);
        if (source == nullptr) source = before.Find(event.source);
        told.push_back(std::string(event.member) + ":" + event.detail + " " +
                       std::to_string(event.detail1) + " " +
                       (source != nullptr ? source->name : "application"));
    }
    return told;
}

TEST_F(AccessibleTreeTest, TheAboutBoxIsAModalDialogOverTheDisabledMainWindow) {
    Session s;
    atspi::AccessibleTree main;
    atspi::AccessibleTree about;
    s.Then([&] { main = Now(); });
    s.PostCommand(ID_APP_ABOUT).Then([&] {
        about = Now();
        ASSERT_EQ(about.topLevel.size(), 2u);
        const atspi::Accessible& frame = *about.Find(s.Main());
        const atspi::Accessible& box = *about.Find(AboutBox());
        EXPECT_EQ(frame.role, atspi::kRoleFrame);
        EXPECT_FALSE(frame.states & (Bit(atspi::kStateEnabled) | Bit(atspi::kStateSensitive) |
                                     Bit(atspi::kStateActive)));
        EXPECT_EQ(box.role, atspi::kRoleDialog);
        EXPECT_EQ(box.name, "About");
        const atspi::States modalActive = Bit(atspi::kStateModal) | Bit(atspi::kStateActive);
        EXPECT_EQ(box.states & modalActive, modalActive);
        struct Child {
            std::uint32_t role;
            const char* name;
            atspi::States states;
        };
        const atspi::States focusedDefault =
            Bit(atspi::kStateFocused) | Bit(atspi::kStateIsDefault) | Bit(atspi::kStateFocusable);
        const Child expected[] = {
            {atspi::kRolePushButton, "OK", focusedDefault},
            {atspi::kRoleLabel, "credcipher Version 1.0", 0},
            {atspi::kRoleIcon, "", 0},
            {atspi::kRolePanel, "", 0},
        };
        ASSERT_EQ(box.children.size(), std::size(expected));
        for (std::size_t i = 0; i < box.children.size(); ++i) {
            const atspi::Accessible& child = *about.Find(box.children[i]);
            SCOPED_TRACE(expected[i].name);
            EXPECT_EQ(child.role, expected[i].role);
            EXPECT_EQ(child.name, expected[i].name);
            EXPECT_EQ(child.states & focusedDefault, expected[i].states);
            EXPECT_TRUE(child.states & Bit(atspi::kStateShowing));
        }
        EXPECT_EQ(about.focused, GetDlgItem(AboutBox(), IDOK));
    });
    s.Press(VK_ESCAPE).Then([&] {
        const atspi::AccessibleTree closed = Now();
        // Opening: the window joins the application, the main window is left for it, and the
        // focus goes from the main window's OK button to the box's.
        EXPECT_EQ(
            Told(main, about),
            (std::vector<std::string>{
                "ChildrenChanged:add 1 application", "Create: 0 About", "StateChanged:active 0 App",
                "Deactivate: 0 App", "StateChanged:active 1 About", "Activate: 0 About",
                "StateChanged:focused 0 OK", "StateChanged:focused 1 OK", "Focus: 0 OK",
                "StateChanged:enabled 0 App", "StateChanged:sensitive 0 App"}));
        // Closing: the focus comes back to where it was in the main window.
        std::vector<std::string> back = Told(about, closed);
        EXPECT_EQ(back.front(), "ChildrenChanged:remove 1 application");
        EXPECT_NE(std::find(back.begin(), back.end(), "Activate: 0 App"), back.end());
        EXPECT_EQ(closed.focused, main.focused);
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

// A field made a password field tells its role and its mask, never its text; a read-only one
// is no longer editable. Each keeps the name of the label on its row.
TEST_F(AccessibleTreeTest, PasswordAndReadOnlyFieldsSayWhatTheyAre) {
    struct Case {
        int field;
        UINT message;
        WPARAM value;
        std::uint32_t role;
        const char* name;
        atspi::States states;  // of editable and read-only
        std::u32string text;
    };
    const Case cases[] = {
        {IDC_ACCOUNT_IN, 0, 0, atspi::kRoleText, "帐号：", Bit(atspi::kStateEditable), U"秘密 pw"},
        {IDC_PASSWORD_IN, EM_SETPASSWORDCHAR, u'*', atspi::kRolePasswordText, "密码：",
         Bit(atspi::kStateEditable), U"*****"},
        {IDC_ACCOUNT_OUT, EM_SETREADONLY, TRUE, atspi::kRoleText, "帐号：",
         Bit(atspi::kStateReadOnly), U"秘密 pw"},
    };
    const atspi::States looks = Bit(atspi::kStateEditable) | Bit(atspi::kStateReadOnly);
    Session s;
    for (const Case& c : cases) s.Fill(c.field, u"秘密 pw");
    s.Then([&] {
        for (const Case& c : cases) {
            if (c.message != 0) SendMessageW(s.Control(c.field), c.message, c.value, 0);
        }
        const atspi::AccessibleTree tree = Now();
        for (const Case& c : cases) {
            SCOPED_TRACE(c.field);
            const atspi::Accessible& field = *tree.Find(s.Control(c.field));
            EXPECT_EQ(field.role, c.role);
            EXPECT_EQ(field.name, c.name);
            EXPECT_EQ(field.states & looks, c.states);
            EXPECT_EQ(field.text, c.text);
        }
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

// Names are read as shown: a mnemonic's "&" is not spoken, "&&" is one "&", and a field named by
// its label gets the label's name as shown.
TEST_F(AccessibleTreeTest, NamesLeaveOutTheMnemonicsAmpersand) {
    Session s;
    s.Then([&] {
        const HWND label = Now().Find(s.Control(IDC_ACCOUNT_IN))->labelledBy;
        ASSERT_NE(label, nullptr);
        const struct {
            HWND window;
            const char16_t* text;
            HWND named;  // the object whose name is checked
            const char* name;
        } cases[] = {
            {s.Control(IDC_ENCRYPT), u"&Encrypt", s.Control(IDC_ENCRYPT), "Encrypt"},
            {s.Control(IDC_DECRYPT), u"R&&D", s.Control(IDC_DECRYPT), "R&D"},
            {label, u"&Account:", label, "Account:"},
            {label, u"&Account:", s.Control(IDC_ACCOUNT_IN), "Account:"},
        };
        for (const auto& c : cases) SetWindowTextW(c.window, c.text);
        const atspi::AccessibleTree tree = Now();
        for (const auto& c : cases) EXPECT_EQ(tree.Find(c.named)->name, c.name);
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), kExitCancel);
}

}  // namespace
}  // namespace e2e
