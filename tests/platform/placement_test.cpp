// SPDX-License-Identifier: MIT
// Placement: window and client rectangles, mapping points, SetWindowPos, monitors (several of
// them), system metrics and dialog units.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialog_template_builder.h"
#include "message_log.h"
#include "win32/headless.h"

namespace {

using test::MessageLog;
using test::SequenceIs;

// Two monitors side by side, the second one higher and with a task bar on its left.
const std::vector<win32::headless::Monitor> kTwoMonitors = {
    {{0, 0, 1024, 768}, {0, 0, 1024, 728}},
    {{1024, -200, 2944, 880}, {1084, -200, 2944, 880}},
};

class PlacementTest : public test::DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        win32::headless::SetMonitors(kTwoMonitors);
        MessageLog::Current().Clear();
    }
};

TEST_F(PlacementTest, RectanglesOfAFramedWindowAndItsChild) {
    // A caption and a dialog frame around the client area (96-DPI metrics: 23 and 3 pixels).
    HWND window = Create(u"window", WS_POPUP | WS_CAPTION, nullptr, 0, {100, 50, 400, 250});
    HWND child = Create(u"child", WS_CHILD | WS_BORDER, window, 0, {10, 20, 60, 40});
    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.bottom, 250);
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 300 - 2 * GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(rect.bottom,
              200 - 2 * GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYCAPTION));
    // A child's window rectangle is in screen coordinates too.
    const int clientLeft = 100 + GetSystemMetrics(SM_CXDLGFRAME);
    const int clientTop = 50 + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    ASSERT_TRUE(GetWindowRect(child, &rect));
    EXPECT_EQ(rect.left, clientLeft + 10);
    EXPECT_EQ(rect.top, clientTop + 20);
    ASSERT_TRUE(GetClientRect(child, &rect));
    EXPECT_EQ(rect.right, 48) << "WS_BORDER takes one pixel each side";

    // MapWindowPoints returns the offsets packed in 16 bits each.
    POINT points[2] = {{0, 0}, {5, 5}};
    int offsets = MapWindowPoints(child, nullptr, points, 2);
    EXPECT_EQ(points[0].x, clientLeft + 11);
    EXPECT_EQ(points[1].y, clientTop + 26);
    EXPECT_EQ(LOWORD(offsets), clientLeft + 11);
    EXPECT_EQ(HIWORD(offsets), clientTop + 21);
    POINT back = points[0];
    offsets = MapWindowPoints(nullptr, child, &back, 1);
    EXPECT_EQ(back.x, 0);
    EXPECT_EQ(static_cast<short>(LOWORD(offsets)), -(clientLeft + 11)) << "negative offsets too";
}

TEST_F(PlacementTest, AdjustWindowRectExAddsTheFrame) {
    RECT rect{0, 0, 100, 50};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, WS_CAPTION | WS_SYSMENU, FALSE, 0));
    EXPECT_EQ(rect.left, -GetSystemMetrics(SM_CXDLGFRAME));
    EXPECT_EQ(rect.top, -GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYCAPTION));
    rect = RECT{0, 0, 100, 50};
    AdjustWindowRectEx(&rect, WS_CHILD, FALSE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(rect.left, -GetSystemMetrics(SM_CXEDGE));
}

TEST_F(PlacementTest, SetWindowPosMovesWithoutResizingAndReports) {
    HWND window = Create(u"window", WS_POPUP | WS_VISIBLE, nullptr, 0, {10, 10, 110, 60});
    MessageLog::Current().Clear();
    // The centring move: SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE with a size of -1.
    ASSERT_TRUE(SetWindowPos(window, nullptr, 300, 200, -1, -1, 0x15));
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(rect.right, 400);
    EXPECT_EQ(rect.bottom, 250);
    EXPECT_TRUE(
        SequenceIs(MessageLog::Current().seen(), {{window, WM_WINDOWPOSCHANGING},
                                                  {window, WM_WINDOWPOSCHANGED},
                                                  {window, WM_MOVE, 0, MAKELPARAM(300, 200)}}));
    // A window may move off any monitor; nothing clamps it.
    ASSERT_TRUE(SetWindowPos(window, nullptr, -5000, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, -5000);
}

TEST_F(PlacementTest, MonitorsAndWorkAreas) {
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024) << "the primary monitor";
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), 0);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), -200);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2944);

    HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTONULL);
    HMONITOR second = MonitorFromPoint(POINT{2000, -100}, MONITOR_DEFAULTTONULL);
    ASSERT_NE(primary, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(primary, second);
    EXPECT_EQ(MonitorFromPoint(POINT{500, 800}, MONITOR_DEFAULTTONULL), nullptr)
        << "below the primary monitor and left of the second is no monitor";

    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_EQ(sizeof info, 40u);
    ASSERT_TRUE(GetMonitorInfoW(second, &info));
    EXPECT_EQ(info.rcWork.left, 1084);
    EXPECT_EQ(info.rcMonitor.top, -200);
    EXPECT_EQ(info.dwFlags, 0u);
    ASSERT_TRUE(GetMonitorInfoW(primary, &info));
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(MONITORINFOF_PRIMARY));
    MONITORINFOEXW ex{};
    ex.cbSize = sizeof ex;
    ASSERT_TRUE(GetMonitorInfoW(second, &ex));
    EXPECT_EQ(std::u16string(ex.szDevice), u"\\\\.\\DISPLAY2");
    info.cbSize = 39;
    EXPECT_FALSE(GetMonitorInfoW(primary, &info));

    // A window belongs to the monitor that has most of it; off every monitor, to the nearest.
    HWND straddling = Create(u"straddling", WS_POPUP, nullptr, 0, {900, 100, 1200, 200});
    EXPECT_EQ(MonitorFromWindow(straddling, MONITOR_DEFAULTTONULL), second);
    HWND lost = Create(u"lost", WS_POPUP, nullptr, 0, {3500, 0, 3600, 100});
    EXPECT_EQ(MonitorFromWindow(lost, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromWindow(lost, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromWindow(lost, MONITOR_DEFAULTTONEAREST), second);
}

TEST_F(PlacementTest, ChangedMonitorsMakeOldMonitorHandlesStale) {
    HWND window = Create(u"window", WS_POPUP | WS_VISIBLE, nullptr, 0, {0, 0, 10, 10});
    HMONITOR before = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    win32::headless::SetMonitors({{{0, 0, 800, 600}, {0, 0, 800, 560}}});
    MONITORINFO info{};
    info.cbSize = sizeof info;
    SetLastError(0);
    EXPECT_FALSE(GetMonitorInfoW(before, &info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_MONITOR_HANDLE));
    HMONITOR after = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    ASSERT_TRUE(GetMonitorInfoW(after, &info));
    EXPECT_EQ(info.rcWork.bottom, 560);
    EXPECT_FALSE(GetMonitorInfoW(reinterpret_cast<HMONITOR>(window), &info))
        << "a window handle is no monitor";
    EXPECT_EQ(test::MessageLog::Current().Only({WM_DISPLAYCHANGE}).size(), 1u);
}

// A shrunk work area brings the windows that left it back: centred where they fit, else with
// their top left corner in view; windows still inside stay where they are.
TEST_F(PlacementTest, WindowsThatLeftAShrunkWorkAreaComeBack) {
    const struct {
        RECT before;
        POINT after;
    } cases[] = {
        {{900, 500, 1000, 550}, {350, 255}},  // off the new area, fits: centred
        {{10, 20, 110, 70}, {10, 20}},        // still inside: stays
        {{700, 0, 1600, 100}, {0, 230}},      // wider than the area: its left edge in view
        {{-50, -40, 50, 10}, {350, 255}},     // off the top left
    };
    for (const auto& c : cases) {
        win32::headless::SetMonitors(kTwoMonitors);
        const RECT& r = c.before;
        HWND window = Create(u"window", WS_POPUP | WS_VISIBLE, nullptr, 0, r);
        win32::headless::SetMonitors({{{0, 0, 800, 600}, {0, 0, 800, 560}}});
        RECT now{};
        GetWindowRect(window, &now);
        EXPECT_EQ(now.left, c.after.x) << r.left << "," << r.top;
        EXPECT_EQ(now.top, c.after.y) << r.left << "," << r.top;
        EXPECT_EQ(now.right - now.left, r.right - r.left) << "the size stays";
        DestroyWindow(window);
    }
}

// Dialog units come from the display's font: x = average width of A-Za-z, rounded; y = height.
using DialogUnits = test::HeadlessCasesTest;

TEST_F(DialogUnits, FollowTheDisplayFont) {
    struct Case {
        int charWidth, fontHeight;
        RECT dialogUnits, pixels;
    } cases[] = {
        {6, 13, {4, 8, 326, 249}, {6, 13, 489, 405}},
        {7, 16, {4, 8, 326, 249}, {7, 16, 571, 498}},
        {1, 1, {2, 4, 326, 249}, {1, 1, 82, 31}},  // MulDiv rounds half away from zero
    };
    for (const Case& c : cases) {
        win32::headless::Options font;
        font.charWidth = c.charWidth;
        font.fontHeight = c.fontHeight;
        Start(font);
        EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(c.charWidth, c.fontHeight));
        test::DialogTemplateBuilder builder(WS_POPUP | DS_SETFONT, 0, 0, 100, 50);
        builder.Font(8, u"MS Shell Dlg");
        HWND dialog = CreateDialogIndirectParamW(nullptr, builder.Build(), nullptr, nullptr, 0);
        ASSERT_NE(dialog, nullptr);
        RECT rect = c.dialogUnits;
        ASSERT_TRUE(MapDialogRect(dialog, &rect));
        EXPECT_TRUE(EqualRect(&rect, &c.pixels))
            << c.charWidth << "x" << c.fontHeight << ": " << rect.left << "," << rect.top << ","
            << rect.right << "," << rect.bottom;
        HWND plain = CreateWindowExW(0, u"Static", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
        ASSERT_NE(plain, nullptr);
        EXPECT_FALSE(MapDialogRect(plain, &rect)) << "only dialogs have dialog units";
    }
}

TEST(Rectangles, RightAndBottomEdgesAreOutside) {
    const RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, overlap{5, 5, 10, 10}, touching{10, 0, 20, 10};
    RECT out;
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(EqualRect(&out, &overlap));
    EXPECT_FALSE(IntersectRect(&out, &a, &touching));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 9}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
}

}  // namespace

// Alt+Space opens the window menu, M chooses Move; arrows move 8 pixels, Enter keeps the place,
// Escape puts the window back; the caption never leaves the work area.
TEST_F(PlacementTest, KeyboardMoveFromTheWindowMenu) {
    const struct {
        std::vector<UINT> keys;  // after Alt+Space and M
        POINT offset;
        int movings;  // WM_MOVING, one per arrow
    } cases[] = {
        {{VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}, {16, 8}, 3},
        {{VK_LEFT, VK_UP, VK_ESCAPE}, {0, 0}, 2},
        {{VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_UP, VK_RETURN}, {0, -50}, 7},
    };
    for (const auto& c : cases) {
        HWND window = Create(u"window", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, 0,
                             {100, 50, 400, 250});
        SetFocus(window);
        MessageLog::Current().Clear();
        // The window menu's loop reads M, the move's loop the case's keys.
        std::vector<test::Key> keys = {{VK_SPACE, win32::headless::kAlt}, {'M'}};
        for (UINT key : c.keys) keys.push_back({key});
        Press(keys);
        const std::vector<test::Expected> expected = {
            {window, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE},
            {window, WM_ENTERMENULOOP},
            {window, WM_EXITMENULOOP},
            {window, WM_SYSCOMMAND, SC_MOVE},
            {window, WM_ENTERSIZEMOVE},
        };
        std::vector<test::Expected> full = expected;
        for (int i = 0; i < c.movings; ++i) full.push_back({window, WM_MOVING});
        full.push_back({window, WM_EXITSIZEMOVE});
        EXPECT_TRUE(
            SequenceIs(MessageLog::Current().Only({WM_SYSCOMMAND, WM_ENTERMENULOOP, WM_EXITMENULOOP,
                                                   WM_ENTERSIZEMOVE, WM_MOVING, WM_EXITSIZEMOVE}),
                       full));
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_EQ(rect.left, 100 + c.offset.x);
        EXPECT_EQ(rect.top, 50 + c.offset.y);
        EXPECT_EQ(GetCapture(), nullptr);
        DestroyWindow(window);
    }
}
