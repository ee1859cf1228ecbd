// SPDX-License-Identifier: MIT
// MessageBoxW on the headless display: the buttons of each type, the default one, what Enter,
// Escape and Tab choose, and the dialog it shows (its text in the static 0xFFFF).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win32/headless.h"

namespace {

class MessageBoxTest : public testing::Test {
protected:
    void SetUp() override { win32::headless::Start(); }
    void TearDown() override { win32::headless::Stop(); }
};

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
