// SPDX-License-Identifier: MIT
// Where the dialogs appear: the main dialog in the middle of its monitor's work area, the About
// box over the main dialog, both kept inside the work area.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/res/resource.h"
#include "session.h"

namespace e2e {
namespace {

const headless::Monitor kPrimary{{0, 0, 1024, 768}, {0, 0, 1024, 728}};
const headless::Monitor kRight{{1024, 0, 2048, 768}, {1024, 0, 2048, 740}};

// One axis: centred over [overLow, overHigh] and then moved into [workLow, workHigh], its low
// edge winning when the window is larger. Within a pixel, for halving.
void ExpectPlacedOnAxis(long low, long high, long overLow, long overHigh, long workLow,
                        long workHigh) {
    const long size = high - low;
    long expected = (overLow + overHigh) / 2 - size / 2;
    if (expected + size > workHigh) expected = workHigh - size;
    if (expected < workLow) expected = workLow;
    EXPECT_LE(std::abs(low - expected), 1) << low << ".." << high << " over " << overLow << ".."
                                           << overHigh << " in " << workLow << ".." << workHigh;
}

void ExpectPlaced(const RECT& window, const RECT& over, const RECT& work) {
    ExpectPlacedOnAxis(window.left, window.right, over.left, over.right, work.left, work.right);
    ExpectPlacedOnAxis(window.top, window.bottom, over.top, over.bottom, work.top, work.bottom);
}

using PlacementTest = test::HeadlessCasesTest;

TEST_F(PlacementTest, MainDialogOnTheWorkAreaAndAboutBoxOverIt) {
    struct Case {
        const char* name;
        std::vector<headless::Monitor> monitors;
        int show = SW_SHOWDEFAULT;
        bool move = false;  // the person drags the main dialog's top left to `to` first
        POINT to{};
        int aboutMonitor = 0;  // whose work area holds the About box
    };
    const Case cases[] = {
        {"task bar at the bottom", {kPrimary}},
        {"task bar at the top", {{{0, 0, 1024, 768}, {0, 40, 1024, 768}}}},
        {"task bar on the left, odd width left", {{{0, 0, 1024, 768}, {61, 0, 1024, 768}}}},
        {"work area smaller than the main dialog", {{{0, 0, 320, 240}, {0, 20, 300, 200}}}},
        {"main dialog near the top left", {kPrimary}, SW_SHOWDEFAULT, true, {5, 5}},
        {"main dialog on the second monitor",
         {kPrimary, kRight},
         SW_SHOWDEFAULT,
         true,
         {1300, 100},
         1},
        {"main dialog off the bottom right",
         {kPrimary, kRight},
         SW_SHOWDEFAULT,
         true,
         {1800, 600},
         1},
        {"main dialog off the top left", {kPrimary}, SW_SHOWDEFAULT, true, {-300, -250}},
        {"main dialog minimised", {kPrimary}, SW_SHOWMINIMIZED},
        {"main dialog hidden", {kPrimary}, SW_HIDE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        headless::Options screen;
        screen.monitors = c.monitors;
        Start(screen);
        const RECT work = c.monitors[0].work;
        const bool shown = c.show == SW_SHOWDEFAULT;
        Session s;
        s.Then([&] {
            if (shown) ExpectPlaced(RectOf(s.Main()), work, work);
            if (c.move) {
                SetWindowPos(s.Main(), nullptr, c.to.x, c.to.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        });
        s.PostCommand(ID_APP_ABOUT).Then([&] {
            ASSERT_NE(AboutBox(), nullptr);
            const RECT aboutWork = c.monitors[static_cast<std::size_t>(c.aboutMonitor)].work;
            // Over a minimised or hidden main dialog: the middle of the work area.
            ExpectPlaced(RectOf(AboutBox()), shown ? RectOf(s.Main()) : aboutWork, aboutWork);
        });
        s.Press(VK_ESCAPE).PostCommand(IDCANCEL);
        EXPECT_EQ(s.Run(u"", c.show), kExitCancel);
    }
}

}  // namespace
}  // namespace e2e
