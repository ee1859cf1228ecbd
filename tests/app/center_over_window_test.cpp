// SPDX-License-Identifier: MIT
// CenterOverWindow: where a window goes relative to its owner, its parent or its monitor.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "app/dialog_impl.h"
#include "support/headless_test.h"

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

HWND MakeWindow(const RECT& r, DWORD style, HWND parent) {
    return CreateWindowExW(0, u"CenterOverWindowTest", u"", style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
}

const headless::Monitor kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
const headless::Monitor kLeftBar{{0, 0, 1024, 768}, {100, 0, 1024, 768}};
const headless::Monitor kRight{{1024, 0, 2048, 768}, {1024, 0, 2048, 740}};
const headless::Monitor kLeftOdd{{-1023, 0, 0, 767}, {-1023, 0, 0, 767}};

// kExplicit: `other` is passed to CenterOverWindow while the window's owner lies elsewhere.
// kParent: `other` is the parent of a child window.
enum class Other { kNone, kOwner, kMinOwner, kHiddenOwner, kExplicit, kParent };
using enum Other;
const std::vector<headless::Monitor> kOne{kPrimary}, kTwo{kPrimary, kRight},
    kOdd{kPrimary, kLeftOdd};

// Each case on a fresh window system of its own monitors, with the class MakeWindow uses.
class CenterOverWindowTest : public test::HeadlessCasesTest {
protected:
    void StartWithTheClass(const headless::Options& with) {
        Start(with);
        EXPECT_NE(test::RegisterTestClass(u"CenterOverWindowTest", DefWindowProcW), 0);
    }
};

TEST_F(CenterOverWindowTest, WhereTheWindowGoes) {
    struct Case {
        const char* name;
        std::vector<headless::Monitor> monitors;
        Other kind;
        RECT other;
        RECT window;  // where the window is before it is centred, and its size
        POINT expected;
    };
    const RECT kSmall{0, 0, 200, 100}, kAway{10, 10, 210, 110}, kFrame{100, 100, 400, 300},
        kOnTwo{1200, 100, 1600, 500};
    const Case cases[] = {
        {"no owner: its monitor's work area", kOne, kNone, {}, kAway, {412, 314}},
        {"a task bar on the left", {kLeftBar}, kNone, {}, kAway, {462, 334}},
        {"a visible owner", kOne, kOwner, {100, 100, 500, 400}, kSmall, {200, 200}},
        {"owner at the bottom right", kOne, kOwner, {900, 600, 1100, 760}, kSmall, {824, 628}},
        {"owner partly off the top left", kOne, kOwner, {-300, -200, 100, 100}, kSmall, {0, 0}},
        {"larger than the work area: top left", kOne, kNone, {}, {0, 0, 1200, 800}, {0, 0}},
        {"only wider than the work area", kOne, kNone, {}, {0, 0, 1100, 100}, {0, 314}},
        {"owner on the second monitor", kTwo, kOwner, kOnTwo, kSmall, {1300, 250}},
        {"owner off monitor 2's right", kTwo, kOwner, {1900, 300, 2300, 500}, kSmall, {1848, 350}},
        {"minimised owner", kTwo, kMinOwner, kFrame, {1500, 300, 1700, 400}, {1436, 320}},
        {"hidden owner: likewise", kTwo, kHiddenOwner, kOnTwo, kAway, {412, 314}},
        // (-1023 + 0) / 2 is -511 when the division truncates, -512 when it floors.
        {"negative coordinates", kOdd, kNone, {}, {-800, 100, -599, 201}, {-611, 333}},
        {"explicit window", kOne, kExplicit, {0, 0, 400, 300}, {500, 500, 600, 550}, {150, 125}},
        {"child in its parent's client area", kOne, kParent, kFrame, {0, 0, 50, 20}, {225, 190}},
        {"child wider than parent: left", kOne, kParent, kFrame, {0, 0, 400, 20}, {100, 190}},
        {"child taller than parent: top", kOne, kParent, kFrame, {0, 0, 50, 300}, {225, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Options screen;
        screen.monitors = c.monitors;
        StartWithTheClass(screen);

        HWND other = nullptr;
        if (c.kind != kNone) {
            other =
                MakeWindow(c.other, c.kind == kParent ? WS_POPUP : WS_POPUP | WS_CAPTION, nullptr);
            ASSERT_NE(other, nullptr);
            if (c.kind == kMinOwner) ShowWindow(other, SW_SHOWMINNOACTIVE);
            if (c.kind != kMinOwner && c.kind != kHiddenOwner) {
                ShowWindow(other, SW_SHOWNOACTIVATE);
            }
        }
        HWND owner = c.kind == kExplicit
                         ? MakeWindow({600, 400, 1000, 700}, WS_POPUP | WS_VISIBLE, nullptr)
                         : other;
        const DWORD style = c.kind == kParent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_CAPTION;
        HWND window = MakeWindow(c.window, style, owner);
        ASSERT_NE(window, nullptr);

        Placed placed(window);
        EXPECT_TRUE(placed.CenterOverWindow(c.kind == kExplicit ? other : nullptr));
        RECT r{};
        GetWindowRect(window, &r);
        EXPECT_EQ(r.left, c.expected.x);
        EXPECT_EQ(r.top, c.expected.y);
        EXPECT_EQ(r.right - r.left, c.window.right - c.window.left) << "the size stays";
        EXPECT_EQ(r.bottom - r.top, c.window.bottom - c.window.top);
    }
}

}  // namespace
