// CenterOverWindow: where a window goes relative to its owner, its parent or its monitor.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "app/dialog_impl.h"
#include "win32/headless.h"

namespace {

namespace headless = win32::headless;

// A window object that only places its window.
struct Placed : CDialogImplBaseT {
    explicit Placed(HWND hWnd) { m_hWnd = hWnd; }
    ~Placed() override { m_hWnd = nullptr; }
    BOOL ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD) override {
        return FALSE;
    }
};

const headless::Monitor kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
const headless::Monitor kRight{{1024, 0, 2048, 768}, {1024, 0, 2048, 740}};
const headless::Monitor kLeftOdd{{-1023, 0, 0, 767}, {-1023, 0, 0, 767}};

enum class Owner { kNone, kVisible, kMinimised, kHidden };

struct Case {
    const char* name;
    std::vector<headless::Monitor> monitors;
    Owner owner;
    RECT ownerRect;
    RECT window;  // where the window is before it is centred, and its size
    POINT expected;
};

class CenterOverWindowTest : public testing::Test {
protected:
    void TearDown() override { headless::Stop(); }

    static HWND MakeWindow(const RECT& r, DWORD style, HWND parent) {
        static const bool registered = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = u"CenterOverWindowTest";
            return RegisterClassExW(&wc) != 0;
        }();
        EXPECT_TRUE(registered);
        return CreateWindowExW(0, u"CenterOverWindowTest", u"", style, r.left, r.top,
                               r.right - r.left, r.bottom - r.top, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }
};

TEST_F(CenterOverWindowTest, TopLevelWindows) {
    const Case cases[] = {
        {"no owner: the work area of its monitor",
         {kPrimary},
         Owner::kNone,
         {},
         {10, 10, 210, 110},
         {412, 314}},
        {"a task bar on the left",
         {{{0, 0, 1024, 768}, {100, 0, 1024, 768}}},
         Owner::kNone,
         {},
         {10, 10, 210, 110},
         {462, 334}},
        {"a visible owner",
         {kPrimary},
         Owner::kVisible,
         {100, 100, 500, 400},
         {0, 0, 200, 100},
         {200, 200}},
        {"owner in the bottom right corner: right edge, then bottom edge",
         {kPrimary},
         Owner::kVisible,
         {900, 600, 1100, 760},
         {0, 0, 200, 100},
         {824, 628}},
        {"owner partly off the top left",
         {kPrimary},
         Owner::kVisible,
         {-300, -200, 100, 100},
         {0, 0, 200, 100},
         {0, 0}},
        {"larger than the work area: flush with its left and top",
         {kPrimary},
         Owner::kNone,
         {},
         {0, 0, 1200, 800},
         {0, 0}},
        {"only wider than the work area",
         {kPrimary},
         Owner::kNone,
         {},
         {0, 0, 1100, 100},
         {0, 314}},
        {"owner on the second monitor",
         {kPrimary, kRight},
         Owner::kVisible,
         {1200, 100, 1600, 500},
         {0, 0, 200, 100},
         {1300, 250}},
        {"owner off the right edge of the second monitor",
         {kPrimary, kRight},
         Owner::kVisible,
         {1900, 300, 2300, 500},
         {0, 0, 200, 100},
         {1848, 350}},
        {"minimised owner: the work area of the window's own monitor",
         {kPrimary, kRight},
         Owner::kMinimised,
         {100, 100, 500, 400},
         {1500, 300, 1700, 400},
         {1436, 320}},
        {"hidden owner: likewise",
         {kPrimary, kRight},
         Owner::kHidden,
         {1200, 100, 1600, 500},
         {10, 10, 210, 110},
         {412, 314}},
        // (-1023 + 0) / 2 is -511 when the division truncates, -512 when it floors.
        {"negative coordinates halve toward zero",
         {kPrimary, kLeftOdd},
         Owner::kNone,
         {},
         {-800, 100, -599, 201},
         {-611, 333}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Options options;
        options.monitors = c.monitors;
        headless::Start(options);

        HWND owner = nullptr;
        if (c.owner != Owner::kNone) {
            owner = MakeWindow(c.ownerRect, WS_POPUP | WS_CAPTION, nullptr);
            ASSERT_NE(owner, nullptr);
            if (c.owner == Owner::kVisible) ShowWindow(owner, SW_SHOWNOACTIVATE);
            if (c.owner == Owner::kMinimised) ShowWindow(owner, SW_SHOWMINNOACTIVE);
        }
        HWND window = MakeWindow(c.window, WS_POPUP | WS_CAPTION, owner);
        ASSERT_NE(window, nullptr);

        Placed placed(window);
        EXPECT_TRUE(placed.CenterOverWindow());
        RECT r{};
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        EXPECT_EQ(r.right - r.left, c.window.right - c.window.left) << "the size stays";
        EXPECT_EQ(r.bottom - r.top, c.window.bottom - c.window.top);
    }
}

TEST_F(CenterOverWindowTest, AnExplicitCenterWindowWinsOverTheOwner) {
    headless::Start();
    HWND owner = MakeWindow({600, 400, 1000, 700}, WS_POPUP | WS_VISIBLE, nullptr);
    HWND other = MakeWindow({0, 0, 400, 300}, WS_POPUP | WS_VISIBLE, nullptr);
    HWND window = MakeWindow({500, 500, 600, 550}, WS_POPUP, owner);
    Placed placed(window);
    EXPECT_TRUE(placed.CenterOverWindow(other));
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 125);
}

TEST_F(CenterOverWindowTest, AChildIsCentredInItsParentsClientArea) {
    struct ChildCase {
        const char* name;
        RECT child;
        POINT expected;  // in the parent's client coordinates
    };
    const ChildCase cases[] = {
        {"fits", {0, 0, 50, 20}, {125, 90}},
        {"wider than the parent: flush left", {0, 0, 400, 20}, {0, 90}},
        {"taller: flush top", {0, 0, 50, 300}, {125, 0}},
    };
    for (const ChildCase& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Start();
        HWND parent = MakeWindow({100, 100, 400, 300}, WS_POPUP | WS_VISIBLE, nullptr);
        HWND child = MakeWindow(c.child, WS_CHILD | WS_VISIBLE, parent);
        ASSERT_NE(child, nullptr);
        Placed placed(child);
        EXPECT_TRUE(placed.CenterOverWindow());
        RECT r{};
        GetWindowRect(child, &r);
        POINT topLeft{r.left, r.top};
        ScreenToClient(parent, &topLeft);
        EXPECT_EQ(topLeft.x, c.expected.x);
        EXPECT_EQ(topLeft.y, c.expected.y);
    }
}

}  // namespace
