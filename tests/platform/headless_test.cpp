// SPDX-License-Identifier: MIT
// The headless display: its picture and description of the screen, its script and the script
// language, and failing loudly when the program waits with nothing left to deliver.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "win32/headless.h"

namespace {

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class HeadlessTest : public test::DisplayTest {
protected:
    HWND CreateSample() {
        builder.Font(9, u"MS Shell Dlg")
            .Item(test::kButton, u"OK", IDOK, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 120, 60,
                  50, 14)
            .Item(test::kStatic, u"帐号：", -1, WS_VISIBLE | WS_GROUP, 5, 8, 37, 8)
            .Item(test::kEdit, u"abc", 1001, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 45, 5, 100, 14)
            .Item(test::kButton, u"Group", -1, WS_VISIBLE | BS_GROUPBOX, 2, 30, 100, 40);
        return CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, Quiet, 0);
    }

    test::DialogTemplateBuilder builder{
        WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 180, 80, u"应用"};
};

TEST_F(HeadlessTest, DescribeListsWindowsWithTheirState) {
    HWND dialog = CreateSample();
    ASSERT_NE(dialog, nullptr);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, 1001)), TRUE);
    EXPECT_EQ(win32::headless::Describe(),
              "#32770 \"应用\" at 0,0 size 276x159 active\n"
              "  Button 1 \"OK\" default\n"
              "  Static 65535 \"帐号：\"\n"
              "  Edit 1001 \"abc\" focus sel=0-3 caret=3\n"
              "  Button 65535 \"Group\"\n");
}

// The picture is the terminal's painting (its own suite compares the two cell by cell).
TEST_F(HeadlessTest, PictureDrawsTheWindowsAsText) {
    CreateSample();
    const std::string picture = win32::headless::Picture();
    // The active frame, the caption with its box, the default button, wide characters.
    for (const char* part : {"╔═", "║ 应用", "[X]", "<    OK    >", "帐号：", "abc", "┌ Group"})
        EXPECT_NE(picture.find(part), std::string::npos) << part << "\n" << picture;
}

// Counts what displays ask the edit when they read what it shows.
WNDPROC g_editProc = nullptr;
int g_textQueries = 0;
LRESULT CALLBACK CountingEdit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXTLENGTH) ++g_textQueries;
    return CallWindowProcW(g_editProc, hwnd, message, wParam, lParam);
}

TEST_F(HeadlessTest, PaintsWhenTheQueueRunsDryAfterAChange) {
    HWND dialog = CreateSample();
    g_editProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        GetDlgItem(dialog, 1001), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingEdit)));
    g_textQueries = 0;
    const int paints = win32::headless::PaintCount();
    // The queue runs dry once, and the script's last item ends the wait with a message.
    auto runDry = [dialog] {
        win32::headless::Run([dialog] { PostMessageW(dialog, WM_NULL, 0, 0); });
        test::Pump(dialog);
    };
    runDry();
    EXPECT_EQ(win32::headless::PaintCount(), paints + 1) << "once, before waiting";
    runDry();
    EXPECT_EQ(win32::headless::PaintCount(), paints + 1) << "nothing changed";
    SetDlgItemTextW(dialog, 1001, u"new");
    runDry();
    EXPECT_EQ(win32::headless::PaintCount(), paints + 2);
    EXPECT_EQ(g_textQueries, 0) << "nothing is read for a picture nobody asked for";
    win32::headless::Picture();
    EXPECT_EQ(g_textQueries, 1);
}

TEST_F(HeadlessTest, AnExhaustedScriptThrowsWithTheScreenInTheMessage) {
    ASSERT_NE(CreateSample(), nullptr);
    MSG msg;
    try {
        GetMessageW(&msg, nullptr, 0, 0);
        FAIL() << "GetMessageW returned with nothing to deliver";
    } catch (const win32::InputExhausted& e) {
        EXPECT_NE(std::string(e.what()).find("Edit 1001 \"abc\""), std::string::npos) << e.what();
    }
}

TEST_F(HeadlessTest, ScriptLanguage) {
    HWND dialog = CreateSample();
    HWND edit = GetDlgItem(dialog, 1001);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    win32::headless::QueueScript("text:\"x y\" key:shift+HOME text:中 key:END");
    EXPECT_EQ(win32::headless::Pending(), 4u);
    test::Pump(dialog);
    WCHAR text[16];
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"中");

    for (const char* bad :
         {"key:NOPE", "click:1", "click:a,b", "tap:1", "text:\"open", "key:meta+A", "justtext"}) {
        EXPECT_THROW(win32::headless::QueueScript(bad), std::invalid_argument) << bad;
    }
    EXPECT_EQ(win32::headless::Pending(), 0u) << "a bad script queues nothing";
    SendMessageW(edit, EM_SETSEL, 0, -1);
    win32::headless::Type("密码 ok");  // UTF-8
    test::Pump(dialog);
    GetWindowTextW(edit, text, 16);
    EXPECT_EQ(std::u16string(text), u"密码 ok");
}

TEST_F(HeadlessTest, CallsNeedTheHeadlessDisplay) {
    win32::headless::Stop();
    EXPECT_THROW(win32::headless::PressKey(VK_TAB), std::logic_error);
    EXPECT_THROW(win32::headless::Picture(), std::logic_error);
    win32::headless::Options none;
    none.monitors.clear();
    EXPECT_THROW(win32::headless::Start(none), std::invalid_argument);
}

}  // namespace

// Each test starts on the window system as a new process has it, whatever the last one left.
TEST_F(HeadlessTest, StartLeavesNothingOfTheLastTest) {
    HWND window = Create(u"left over", WS_POPUP | WS_VISIBLE);
    SetFocus(window);
    SetCapture(window);
    SetTimer(window, 1, 10, nullptr);
    SetPropW(window, u"prop", reinterpret_cast<HANDLE>(1));
    PostMessageW(window, WM_USER, 0, 0);
    PostQuitMessage(3);
    ASSERT_NE(test::RegisterTestClass(u"LeftOverClass", DefWindowProcW), 0);
    ASSERT_TRUE(OpenClipboard(window));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    HHOOK hook = SetWindowsHookExW(
        WH_CBT, [](int, WPARAM, LPARAM) -> LRESULT { return 1; }, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    SetLastError(ERROR_INVALID_PARAMETER);
    const UINT blinkTime = GetCaretBlinkTime();
    ASSERT_TRUE(SetCaretBlinkTime(blinkTime + 100));

    win32::headless::Start();
    EXPECT_EQ(GetCaretBlinkTime(), blinkTime);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(UnhookWindowsHookEx(hook)) << "the hook is gone";
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) << msg.message;
    EXPECT_NE(test::RegisterTestClass(u"LeftOverClass", DefWindowProcW), 0) << "the class is gone";
    EXPECT_TRUE(OpenClipboard(nullptr)) << "closed";
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr) << "empty";
    CloseClipboard();
}
