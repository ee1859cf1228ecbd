// SPDX-License-Identifier: MIT
// MessageBoxW on the headless display: the buttons of each type, the default one, what Enter,
// Escape and Tab choose, and the dialog it shows (its text in the static 0xFFFF).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/headless_test.h"
#include "win32/headless.h"

namespace {

using MessageBoxTest = test::HeadlessTest;

TEST_F(MessageBoxTest, ButtonsOfEachTypeAndWhatTheKeysChoose) {
    const struct {
        UINT type;
        std::vector<UINT> keys;
        int result;
    } cases[] = {
        {MB_OK, {VK_RETURN}, IDOK},
        {MB_OK, {VK_ESCAPE}, IDOK},  // a box with only OK closes with OK
        {MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, {VK_RETURN}, IDCANCEL},
        {MB_YESNO, {VK_ESCAPE, VK_TAB, VK_RETURN}, IDNO},  // no Cancel: Escape does nothing
        {MB_YESNO | MB_DEFBUTTON2, {VK_RETURN}, IDNO},
        {MB_YESNOCANCEL, {VK_RETURN}, IDYES},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {VK_RETURN}, IDIGNORE},
        {MB_RETRYCANCEL, {VK_RETURN}, IDRETRY},
        {MB_CANCELTRYCONTINUE, {VK_TAB, VK_TAB, VK_RETURN}, IDCONTINUE},
    };
    for (const auto& c : cases) {
        for (UINT key : c.keys) win32::headless::PressKey(key);
        EXPECT_EQ(MessageBoxW(nullptr, u"Text", u"Caption", c.type), c.result) << "type " << c.type;
    }
}

// Only the default button has the default look and the focus; a mnemonic, with Alt or (the
// focus being on a button) without, presses its button.
TEST_F(MessageBoxTest, DefaultButtonLookAndMnemonics) {
    const struct {
        UINT type;
        const char* script;
        const char* focused;  // the line of the focused button, as Describe shows it
        int result;
    } cases[] = {
        {MB_YESNOCANCEL | MB_DEFBUTTON2, "key:RETURN", "Button 7 \"&No\" focus default\n", IDNO},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, "key:alt+A", "Button 5 \"&Ignore\" focus default\n",
         IDABORT},
        {MB_YESNO, "text:n", "Button 6 \"&Yes\" focus default\n", IDNO},
        {MB_CANCELTRYCONTINUE | MB_DEFBUTTON2, "key:alt+C",
         "Button 10 \"&Try Again\" focus default\n", IDCONTINUE},
        {MB_RETRYCANCEL, "key:alt+X key:alt+R", "Button 4 \"&Retry\" focus default\n", IDRETRY},
    };
    for (const auto& c : cases) {
        std::string seen;
        win32::headless::Run([&] { seen = win32::headless::Describe(); });
        win32::headless::QueueScript(c.script);
        EXPECT_EQ(MessageBoxW(nullptr, u"Text", u"Caption", c.type), c.result) << c.script;
        EXPECT_NE(seen.find(c.focused), std::string::npos) << seen;
        EXPECT_EQ(seen.find(" default"), seen.rfind(" default")) << seen;
    }
}

TEST_F(MessageBoxTest, ShowsItsTextAndButtonsAsADialog) {
    std::string seen;
    win32::headless::Run([&] { seen = win32::headless::Describe(); });
    win32::headless::PressKey(VK_ESCAPE);
    EXPECT_EQ(MessageBoxW(nullptr, u"Line one\nline two", nullptr, MB_YESNOCANCEL | MB_DEFBUTTON2),
              IDCANCEL);
    EXPECT_NE(seen.find("#32770 \"Error\""), std::string::npos) << seen;
    EXPECT_NE(seen.find("modal"), std::string::npos) << seen;
    EXPECT_NE(seen.find("Static 65535 \"Line one\\nline two\""), std::string::npos) << seen;
    EXPECT_NE(seen.find("Button 7 \"&No\" focus"), std::string::npos) << seen;
    EXPECT_NE(seen.find("Button 2 \"Cancel\"\n"), std::string::npos) << seen;
}

}  // namespace
