// SPDX-License-Identifier: MIT
// A program image without the dialog templates: the main dialog cannot be created, so the
// program ends with zero at once, even with a display.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win_main.h"
#include "support/headless_test.h"

using NoResourcesTest = test::HeadlessTest;

TEST_F(NoResourcesTest, AMissingTemplateEndsTheProgramWithZero) {
    WCHAR empty[1] = {0};
    EXPECT_EQ(wWinMain(GetModuleHandleW(nullptr), nullptr, empty, SW_SHOWDEFAULT), 0);
    EXPECT_EQ(win32::headless::Pending(), 0u);
}
