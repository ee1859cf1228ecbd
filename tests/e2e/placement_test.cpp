// Where the dialogs appear: the main dialog in the middle of its monitor's work area, the About
// box over the main dialog, both kept inside the work area.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/res/resource.h"
#include "session.h"
#include "win32/headless.h"

namespace {

using e2e::FindWindowByCaption;
using e2e::RectOf;
using e2e::Session;
namespace headless = win32::headless;

headless::Monitor MakeMonitor(RECT monitor, RECT work) { return {monitor, work}; }

const headless::Monitor kPrimary = MakeMonitor({0, 0, 1024, 768}, {0, 0, 1024, 728});
const headless::Monitor kRight = MakeMonitor({1024, 0, 2048, 768}, {1024, 0, 2048, 740});

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// The window's middle lies on the middle of over, to the pixel that halving may lose.
void ExpectCentredOver(const RECT& window, const RECT& over) {
    EXPECT_LE(std::abs((window.left + window.right) - (over.left + over.right)), 2)
        << window.left << ".." << window.right << " over " << over.left << ".." << over.right;
    EXPECT_LE(std::abs((window.top + window.bottom) - (over.top + over.bottom)), 2)
        << window.top << ".." << window.bottom << " over " << over.top << ".." << over.bottom;
}

void ExpectInside(const RECT& window, const RECT& area) {
    EXPECT_GE(window.left, area.left);
    EXPECT_GE(window.top, area.top);
    EXPECT_LE(window.right, area.right);
    EXPECT_LE(window.bottom, area.bottom);
}

class PlacementTest : public testing::Test {
protected:
    void TearDown() override { headless::Stop(); }

    static void Start(std::vector<headless::Monitor> monitors) {
        headless::Options options;
        options.monitors = std::move(monitors);
        headless::Start(options);
    }
};

TEST_F(PlacementTest, MainDialogIsCentredOnTheWorkAreaOfItsMonitor) {
    const RECT works[] = {
        {0, 0, 1024, 728},   // task bar at the bottom
        {0, 40, 1024, 768},  // at the top
        {61, 0, 1024, 768},  // on the left, with an odd width left over
        {0, 0, 1920, 1080},  // a larger screen
    };
    for (const RECT& work : works) {
        SCOPED_TRACE(work.left * 10000 + work.top);
        Start({MakeMonitor({0, 0, work.right, work.bottom}, work)});
        Session s;
        s.Then([&] {
            const RECT r = RectOf(s.Main());
            ExpectCentredOver(r, work);
            ExpectInside(r, work);
        });
        s.Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(), 2);
    }
}

TEST_F(PlacementTest, MainDialogLargerThanTheWorkAreaIsFlushWithItsTopLeft) {
    const RECT work{0, 20, 300, 200};
    Start({MakeMonitor({0, 0, 320, 240}, work)});
    Session s;
    s.Then([&] {
        const RECT r = RectOf(s.Main());
        ASSERT_GT(Width(r), Width(work));
        ASSERT_GT(Height(r), Height(work));
        EXPECT_EQ(r.left, work.left);
        EXPECT_EQ(r.top, work.top);
    });
    s.Press(VK_ESCAPE);
    EXPECT_EQ(s.Run(), 2);
}

struct AboutCase {
    const char* name;
    std::vector<headless::Monitor> monitors;
    // Where the person drags the main dialog first (left, top), if anywhere.
    bool move;
    POINT to;
    // Which monitor's work area must hold the About box.
    int monitor;
};

TEST_F(PlacementTest, AboutBoxIsCentredOverTheMainDialogAndKeptInTheWorkArea) {
    const AboutCase cases[] = {
        {"where the main dialog opens", {kPrimary}, false, {}, 0},
        {"main dialog near the top left", {kPrimary}, true, {5, 5}, 0},
        {"main dialog on the second monitor", {kPrimary, kRight}, true, {1300, 100}, 1},
        {"main dialog hanging off the bottom right", {kPrimary, kRight}, true, {1800, 600}, 1},
        {"main dialog hanging off the top left", {kPrimary}, true, {-300, -250}, 0},
    };
    for (const AboutCase& c : cases) {
        SCOPED_TRACE(c.name);
        Start(c.monitors);
        Session s;
        if (c.move) {
            s.Then([&] {
                SetWindowPos(s.Main(), nullptr, c.to.x, c.to.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            });
        }
        s.PostCommand(ID_APP_ABOUT).Then([&] {
            HWND about = FindWindowByCaption(u"About");
            ASSERT_NE(about, nullptr);
            const RECT main = RectOf(s.Main());
            const RECT box = RectOf(about);
            const RECT work = c.monitors[static_cast<std::size_t>(c.monitor)].work;
            ExpectInside(box, work);
            // Centred over the main dialog as far as the work area allows.
            const bool fitsX = (main.left + main.right) / 2 - Width(box) / 2 >= work.left &&
                               (main.left + main.right) / 2 + Width(box) / 2 <= work.right;
            const bool fitsY = (main.top + main.bottom) / 2 - Height(box) / 2 >= work.top &&
                               (main.top + main.bottom) / 2 + Height(box) / 2 <= work.bottom;
            if (fitsX && fitsY) ExpectCentredOver(box, main);
            if (!fitsX) {
                EXPECT_TRUE(box.left == work.left || box.right == work.right);
            }
            if (!fitsY) {
                EXPECT_TRUE(box.top == work.top || box.bottom == work.bottom);
            }
        });
        s.Press(VK_ESCAPE).Press(VK_ESCAPE);
        EXPECT_EQ(s.Run(), 2);
    }
}

TEST_F(PlacementTest, AboutBoxOverAMinimisedOrHiddenMainDialogIsCentredOnTheWorkArea) {
    for (const int show : {SW_SHOWMINIMIZED, SW_HIDE}) {
        SCOPED_TRACE(show);
        Start({kPrimary});
        Session s;
        s.PostCommand(ID_APP_ABOUT).Then([&] {
            HWND about = FindWindowByCaption(u"About");
            ASSERT_NE(about, nullptr);
            ExpectCentredOver(RectOf(about), kPrimary.work);
        });
        s.Press(VK_ESCAPE).PostCommand(IDCANCEL);
        EXPECT_EQ(s.Run(u"", show), 2);
    }
}

}  // namespace
