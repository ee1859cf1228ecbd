// SPDX-License-Identifier: MIT
// ANSI window procedures: what such a procedure receives from wide callers, what wide callers
// get back, and the views that stand for a procedure of the other kind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/headless_test.h"
#include "win32/ansi_procedures.h"

namespace {

// The texts an ANSI procedure was given, as the bytes it saw.
std::vector<std::string>& Received() {
    static std::vector<std::string> received;
    return received;
}

LRESULT CALLBACK AnsiProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) Received().emplace_back(reinterpret_cast<const char*>(lParam));
    if (message == WM_NCCREATE) {
        // CREATESTRUCTW's layout with ANSI names; an ordinal name is 0xFF and two bytes.
        const auto* name =
            reinterpret_cast<const char*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpszName);
        Received().emplace_back(name, name[0] == '\xFF' ? 3 : std::char_traits<char>::length(name));
    }
    return win32::DefAnsiWindowProc(hwnd, message, wParam, lParam);
}

class AnsiProceduresTest : public test::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        Received().clear();
        ASSERT_NE(test::RegisterTestClass(u"AnsiClass", win32::WideProcedure(AnsiProc)), 0);
    }
    static HWND Create(const char16_t* name) {
        return CreateWindowExW(0, u"AnsiClass", name, WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                               nullptr, nullptr);
    }
};

TEST_F(AnsiProceduresTest, WideCallersTextReachesTheProcedureAsAnsiAndComesBackWide) {
    HWND hwnd = Create(u"Abc");
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindowUnicode(hwnd));
    ASSERT_TRUE(SetWindowTextW(hwnd, u"Hello"));
    EXPECT_EQ(Received(), (std::vector<std::string>{std::string("Abc"), "Hello"}));
    EXPECT_EQ(test::TextOf(hwnd), u"Hello");
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 5);

    // A short buffer gets what fits, terminated, either way.
    char16_t wide[4] = {u'x', u'x', u'x', u'x'};
    EXPECT_EQ(GetWindowTextW(hwnd, wide, 3), 2);
    EXPECT_EQ(std::u16string(wide), u"He");
    char ansi[4] = "xxx";
    EXPECT_EQ(win32::SendAnsiMessage(hwnd, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(ansi)), 2);
    EXPECT_STREQ(ansi, "He");
    // A size no buffer has costs no more than the text.
    char16_t whole[8] = {};
    EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXT, ~WPARAM{0}, reinterpret_cast<LPARAM>(whole)), 5);
    EXPECT_EQ(std::u16string(whole), u"Hello");
}

TEST_F(AnsiProceduresTest, OrdinalNameIsFfAndTheOrdinalsBytes) {
    const char16_t ordinal[] = {0xFFFF, 0x6100, 0};
    ASSERT_NE(Create(ordinal), nullptr);
    ASSERT_EQ(Received().size(), 1u);
    EXPECT_EQ(Received()[0], std::string("\xFF\x00\x61", 3));
}

TEST_F(AnsiProceduresTest, ViewsStandForTheProcedureTheyShow) {
    HWND hwnd = Create(u"");
    const auto wideView = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    EXPECT_NE(wideView, AnsiProc);
    EXPECT_EQ(win32::GetWindowLongPtrAnsi(hwnd, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(AnsiProc));
    EXPECT_EQ(win32::AnsiProcedure(wideView), AnsiProc);

    // Called as a wide procedure, the view converts.
    CallWindowProcW(wideView, hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Via view"));
    wideView(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Direct"));
    EXPECT_EQ(Received().back(), "Direct");
    EXPECT_EQ(Received()[Received().size() - 2], "Via view");

    // Put back through a wide call, it is the ANSI procedure again, not a wide one.
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(wideView));
    EXPECT_FALSE(IsWindowUnicode(hwnd));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcW));
    EXPECT_TRUE(IsWindowUnicode(hwnd));
}

TEST_F(AnsiProceduresTest, ControlOfAnAnsiCallerIsAnsiAndAnswersBothKinds) {
    HWND edit = win32::CreateAnsiWindow(0, u"Edit", u"text", WS_POPUP, 0, 0, 80, 20, nullptr,
                                        nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(IsWindowUnicode(edit));
    EXPECT_EQ(test::TextOf(edit), u"text");
    char ansi[8] = {};
    EXPECT_EQ(win32::SendAnsiMessage(edit, WM_GETTEXT, sizeof ansi, reinterpret_cast<LPARAM>(ansi)),
              4);
    EXPECT_STREQ(ansi, "text");
}

}  // namespace
