// SPDX-License-Identifier: MIT
// Windows: classes, creation and destruction in Windows' message order, handles that go stale,
// window data, and window text with its truncation rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::MessageLog;
using test::SequenceIs;

using WindowsTest = test::DisplayTest;

TEST_F(WindowsTest, CreationSendsNcCreateCreateSizeMoveThenShows) {
    HWND parent = Create(u"parent", WS_POPUP);
    MessageLog::Current().Clear();
    HWND child = Create(u"child", WS_CHILD | WS_VISIBLE, parent, 7);
    ASSERT_NE(child, nullptr);
    // A child without WS_EX_NOPARENTNOTIFY tells its parent it was created.
    EXPECT_TRUE(SequenceIs(
        MessageLog::Current().seen(),
        {{child, WM_NCCREATE},
         {child, WM_CREATE},
         {child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100)},
         {child, WM_MOVE, 0, MAKELPARAM(10, 20)},
         {parent, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 7), reinterpret_cast<LPARAM>(child)},
         {child, WM_SHOWWINDOW, TRUE, 0}}));
    EXPECT_TRUE(IsWindowVisible(child) == FALSE) << "the parent is hidden";
    EXPECT_EQ(GetDlgCtrlID(child), 7);
    EXPECT_EQ(GetParent(child), parent);
}

TEST_F(WindowsTest, CreateStructCarriesTheArguments) {
    CREATESTRUCTW seen{};
    test::RecordingHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_CREATE) seen = *reinterpret_cast<CREATESTRUCTW*>(lParam);
        return std::optional<LRESULT>();
    };
    int param = 42;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, u"recordingwindow", u"Title", WS_POPUP, 1, 2, 3,
                                4, nullptr, nullptr, GetModuleHandleW(nullptr), &param);
    ASSERT_NE(hwnd, nullptr) << "class names are case-insensitive";
    EXPECT_EQ(seen.lpCreateParams, &param);
    EXPECT_EQ(seen.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(std::tuple(seen.x, seen.y, seen.cx, seen.cy), std::tuple(1, 2, 3, 4));
    EXPECT_EQ(seen.style, static_cast<LONG>(WS_POPUP));
    EXPECT_EQ(seen.dwExStyle, static_cast<DWORD>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(std::u16string(seen.lpszName), u"Title");
}

TEST_F(WindowsTest, RefusedCreationFailsCleanly) {
    test::RecordingHook() = [](HWND, UINT message, WPARAM, LPARAM) {
        return message == WM_CREATE ? std::optional<LRESULT>(-1) : std::nullopt;
    };
    EXPECT_EQ(Create(u"refused", WS_POPUP), nullptr);
    // WM_CREATE returning -1 destroys the window: WM_DESTROY and WM_NCDESTROY follow.
    const auto& seen = MessageLog::Current().seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[2].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(seen[3].message, static_cast<UINT>(WM_NCDESTROY));
    EXPECT_FALSE(IsWindow(seen[0].hwnd));
}

TEST_F(WindowsTest, CreationErrors) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    // A child needs a parent.
    EXPECT_EQ(CreateWindowExW(0, test::RecordingClass(), u"", WS_CHILD, 0, 0, 1, 1, nullptr,
                              nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
    HWND stale = Create(u"gone", WS_POPUP);
    DestroyWindow(stale);
    EXPECT_EQ(Create(u"orphan", WS_CHILD, stale), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowsTest, RegisteringAClassTwiceFailsWhateverTheCase) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"TwiceClass";
    ATOM atom = RegisterClassExW(&wc);
    EXPECT_GE(atom, 0xC000);
    wc.lpszClassName = u"TWICECLASS";
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
    wc.cbSize = 0;
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // A window can be created by atom, and its class keeps the registered spelling.
    HWND hwnd = CreateWindowExW(0, MAKEINTATOM(atom), u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    WCHAR name[8];
    EXPECT_EQ(GetClassNameW(hwnd, name, 8), 7) << "truncated to the buffer, terminated";
    EXPECT_EQ(std::u16string(name), u"TwiceCl");
    EXPECT_EQ(UnregisterClassW(u"twiceclass", nullptr), FALSE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(hwnd);
    EXPECT_EQ(UnregisterClassW(u"twiceclass", nullptr), TRUE);
}

TEST_F(WindowsTest, DestroyWindowOrderAndHandleInvalidation) {
    HWND top = Create(u"top", WS_POPUP | WS_VISIBLE);
    HWND a = Create(u"a", WS_CHILD | WS_VISIBLE, top, 1);
    HWND a1 = Create(u"a1", WS_CHILD | WS_VISIBLE, a, 2);
    HWND b = Create(u"b", WS_CHILD | WS_VISIBLE, top, 3);
    HWND owned = Create(u"owned", WS_POPUP | WS_VISIBLE, top);
    EXPECT_EQ(GetWindow(owned, GW_OWNER), top);
    bool childrenAlive = false;
    test::RecordingHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) {
        if (hwnd == top && message == WM_DESTROY) childrenAlive = IsWindow(a1) != FALSE;
        return std::optional<LRESULT>();
    };
    MessageLog::Current().Clear();
    ASSERT_TRUE(DestroyWindow(top));
    EXPECT_TRUE(childrenAlive) << "children exist while the parent handles WM_DESTROY";
    // Owned windows go first; WM_DESTROY goes from the parent down, WM_NCDESTROY comes back up
    // with the parent last.
    EXPECT_TRUE(
        SequenceIs(MessageLog::Current().Only({WM_DESTROY, WM_NCDESTROY}), {{owned, WM_DESTROY},
                                                                            {owned, WM_NCDESTROY},
                                                                            {top, WM_DESTROY},
                                                                            {a, WM_DESTROY},
                                                                            {a1, WM_DESTROY},
                                                                            {b, WM_DESTROY},
                                                                            {a1, WM_NCDESTROY},
                                                                            {a, WM_NCDESTROY},
                                                                            {b, WM_NCDESTROY},
                                                                            {top, WM_NCDESTROY}}));
    for (HWND gone : {top, a, a1, b, owned}) EXPECT_FALSE(IsWindow(gone));
}

TEST_F(WindowsTest, DestroyingTheActiveWindowMovesActivationAndFocus) {
    HWND first = Create(u"first", WS_POPUP | WS_VISIBLE);
    HWND second = Create(u"second", WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), second);
    MessageLog::Current().Clear();
    DestroyWindow(second);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    EXPECT_TRUE(
        SequenceIs(MessageLog::Current().Only({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_DESTROY}),
                   {{second, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(first)},
                    {first, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(second)},
                    {second, WM_KILLFOCUS, reinterpret_cast<WPARAM>(first)},
                    {first, WM_SETFOCUS, reinterpret_cast<WPARAM>(second)},
                    {second, WM_DESTROY}}));
    DestroyWindow(first);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowsTest, PostedMessagesOfADestroyedWindowAreDropped) {
    HWND hwnd = Create(u"w", WS_POPUP);
    PostMessageW(hwnd, WM_USER, 1, 2);
    PostMessageW(nullptr, WM_USER, 3, 4);
    DestroyWindow(hwnd);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

// Every call given a destroyed or made-up handle fails the Windows way instead of crashing.
TEST_F(WindowsTest, StaleAndBogusHandlesFailWithInvalidWindowHandle) {
    HWND stale = Create(u"stale", WS_POPUP);
    DestroyWindow(stale);
    HWND reused = Create(u"reused", WS_POPUP);
    ASSERT_NE(reused, stale) << "a new window never gets a dead window's handle";
    const HWND bad[] = {stale, reinterpret_cast<HWND>(0x12345678),
                        reinterpret_cast<HWND>(~uintptr_t{0} - 7),
                        reinterpret_cast<HWND>(uintptr_t{1} << 40)};
    RECT rect;
    POINT point{};
    WCHAR text[4] = u"xyz";
    MSG msg{};
    HWND hwnd = nullptr;
    using Call = std::pair<const char*, std::function<bool()>>;  // the call fails: returns 0
#define TEST_CALL(call) Call(#call, [&] { return !(call); })
    const Call calls[] = {
        TEST_CALL(DestroyWindow(hwnd)),
        TEST_CALL(SendMessageW(hwnd, WM_USER, 0, 0)),
        TEST_CALL(PostMessageW(hwnd, WM_USER, 0, 0)),
        TEST_CALL(GetWindowLongW(hwnd, GWL_STYLE)),
        TEST_CALL(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 1)),
        TEST_CALL(GetWindowRect(hwnd, &rect)),
        TEST_CALL(GetClientRect(hwnd, &rect)),
        TEST_CALL(MapWindowPoints(hwnd, nullptr, &point, 1)),
        TEST_CALL(SetWindowPos(hwnd, nullptr, 0, 0, 1, 1, SWP_NOZORDER)),
        TEST_CALL(ShowWindow(hwnd, SW_SHOW)),
        TEST_CALL(EnableWindow(hwnd, FALSE)),
        TEST_CALL(SetFocus(hwnd)),
        TEST_CALL(GetParent(hwnd)),
        TEST_CALL(GetWindow(hwnd, GW_OWNER)),
        TEST_CALL(GetDlgItem(hwnd, 1)),
        TEST_CALL(GetDlgCtrlID(hwnd)),
        TEST_CALL(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST)),
        TEST_CALL(GetWindowTextW(hwnd, text, 4)),
        TEST_CALL(SetWindowTextW(hwnd, u"x")),
        TEST_CALL(GetClassNameW(hwnd, text, 4)),
        TEST_CALL(DispatchMessageW(&msg)),
    };
#undef TEST_CALL
    for (HWND bogus : bad) {
        hwnd = bogus;
        msg = MSG{hwnd, WM_USER, 0, 0, 0, {}};
        for (const auto& [call, fails] : calls) {
            SetLastError(0);
            EXPECT_TRUE(fails()) << call;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)) << call;
        }
        EXPECT_EQ(text[0], 0) << "GetWindowTextW empties the buffer";
        EXPECT_FALSE(IsWindow(hwnd));
        EXPECT_FALSE(IsWindowVisible(hwnd));
        EXPECT_FALSE(IsWindowEnabled(hwnd));
        EXPECT_FALSE(IsDialogMessageW(hwnd, &msg));
        EXPECT_EQ(DefWindowProcW(hwnd, WM_GETTEXTLENGTH, 0, 0), 0);
        EXPECT_EQ(GetMessageW(&msg, hwnd, 0, 0), -1) << "a filter on a dead window is an error";
    }
}

TEST_F(WindowsTest, ExtraBytesAndWindowFields) {
    HWND hwnd = Create(u"w", WS_POPUP);  // 16 extra bytes
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 0), 0) << "extra bytes start zeroed";
    EXPECT_EQ(SetWindowLongPtrW(hwnd, 8, 0x1122334455667788), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 8), 0x1122334455667788);
    EXPECT_EQ(GetWindowLongW(hwnd, 8), 0x55667788) << "the low four bytes";
    EXPECT_EQ(SetWindowLongW(hwnd, 12, -1), 0x11223344);
    EXPECT_EQ(GetWindowLongW(hwnd, 12), -1);
    // One byte past the end, and negative offsets that name no field, are refused.
    for (int index : {9, 16, -2, -100}) {
        SetLastError(0);
        EXPECT_EQ(GetWindowLongPtrW(hwnd, index), 0) << index;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX)) << index;
        EXPECT_EQ(SetWindowLongPtrW(hwnd, index, 5), 0) << index;
    }
    EXPECT_EQ(GetWindowLongW(hwnd, 13), 0) << "still four bytes inside";
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(hwnd, 14), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    // Handles and procedures only through the pointer-sized calls, as on 64-bit Windows.
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(hwnd, GWLP_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC),
              reinterpret_cast<LONG_PTR>(test::RecordingWindowProc));
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 77), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 77);
}

TEST_F(WindowsTest, StyleChangesAreAnnounced) {
    HWND hwnd = Create(u"w", WS_POPUP);
    MessageLog::Current().Clear();
    LONG old = GetWindowLongW(hwnd, GWL_STYLE);
    EXPECT_EQ(SetWindowLongW(hwnd, GWL_STYLE, old | WS_DISABLED), old);
    EXPECT_TRUE(SequenceIs(MessageLog::Current().seen(), {{hwnd, WM_STYLECHANGING, GWL_STYLE},
                                                          {hwnd, WM_STYLECHANGED, GWL_STYLE}}));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
}

// The default procedure and the edit control keep their text each their own way; both follow
// the same truncation rules.
TEST_F(WindowsTest, WindowTextTruncatesAndTerminates) {
    for (HWND hwnd :
         {Create(u"Hello", WS_POPUP), CreateWindowExW(0, u"Edit", u"Hello", WS_POPUP, 0, 0, 60, 20,
                                                      nullptr, nullptr, nullptr, nullptr)}) {
        WCHAR buffer[8];
        struct Case {
            int size;
            int copied;
            std::u16string text;
        } cases[] = {{8, 5, u"Hello"}, {6, 5, u"Hello"}, {5, 4, u"Hell"}, {1, 0, u""}};
        for (const Case& c : cases) {
            std::fill(std::begin(buffer), std::end(buffer), u'#');
            EXPECT_EQ(GetWindowTextW(hwnd, buffer, c.size), c.copied) << c.size;
            EXPECT_EQ(std::u16string(buffer), c.text) << c.size;
        }
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(SendMessageW(hwnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
        EXPECT_EQ(buffer[0], u'#') << "a zero-sized buffer is not touched";
        EXPECT_EQ(GetWindowTextLengthW(hwnd), 5);
        EXPECT_TRUE(SetWindowTextW(hwnd, nullptr));
        EXPECT_EQ(GetWindowTextLengthW(hwnd), 0);
        EXPECT_TRUE(SetWindowTextW(hwnd, u"中文"));
        EXPECT_EQ(GetWindowTextW(hwnd, buffer, 8), 2);
        EXPECT_EQ(std::u16string(buffer), u"中文");
    }
}

TEST_F(WindowsTest, IconsAreKeptPerWindow) {
    HWND first = Create(u"first", WS_POPUP);
    HWND second = Create(u"second", WS_POPUP);
    HICON big = reinterpret_cast<HICON>(0x100);
    HICON small = reinterpret_cast<HICON>(0x200);
    EXPECT_EQ(SendMessageW(first, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big)), 0);
    EXPECT_EQ(SendMessageW(first, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small)), 0);
    EXPECT_EQ(SendMessageW(first, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(small)),
              reinterpret_cast<LRESULT>(big))
        << "returns the previous icon";
    EXPECT_EQ(SendMessageW(first, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(small));
    EXPECT_EQ(SendMessageW(second, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_EQ(SendMessageW(second, WM_GETICON, ICON_SMALL2, 0), 0);
}

TEST_F(WindowsTest, TreeQueries) {
    HWND owner = Create(u"owner", WS_OVERLAPPED);
    HWND popup = Create(u"popup", WS_POPUP, owner);
    HWND overlapped = Create(u"overlapped", WS_OVERLAPPED, owner);
    HWND child1 = Create(u"child1", WS_CHILD, popup, 1);
    HWND child2 = Create(u"child2", WS_CHILD, popup, 2);
    HWND grandchild = Create(u"grandchild", WS_CHILD, child1, 3);
    // GetParent: a pop-up's owner, nothing for an owned overlapped window.
    EXPECT_EQ(GetParent(popup), owner);
    EXPECT_EQ(GetParent(overlapped), nullptr);
    EXPECT_EQ(GetWindow(overlapped, GW_OWNER), owner);
    EXPECT_EQ(GetWindow(child1, GW_OWNER), nullptr);
    // The owner of a window created with a child as its parent is that child's top window.
    HWND ownedByChild = Create(u"ownedByChild", WS_POPUP, grandchild);
    EXPECT_EQ(GetWindow(ownedByChild, GW_OWNER), popup);
    // Children in creation order.
    EXPECT_EQ(GetWindow(popup, GW_CHILD), child1);
    EXPECT_EQ(GetWindow(child1, GW_HWNDNEXT), child2);
    EXPECT_EQ(GetWindow(child2, GW_HWNDNEXT), nullptr);
    EXPECT_TRUE(IsChild(popup, grandchild));
    EXPECT_FALSE(IsChild(owner, popup)) << "owned is not a child";
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOT), popup);
    EXPECT_EQ(GetAncestor(grandchild, GA_ROOTOWNER), owner);
    EXPECT_EQ(GetAncestor(popup, GA_PARENT), GetDesktopWindow());
    SetLastError(0);
    EXPECT_EQ(GetWindow(popup, 99), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_GW_COMMAND));
}

TEST(NoDisplay, WindowCreationFailsAndWaitingThrows) {
    win32::headless::Stop();
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 0);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    MSG msg;
    EXPECT_THROW(GetMessageW(&msg, nullptr, 0, 0), win32::InputExhausted);
}

}  // namespace
