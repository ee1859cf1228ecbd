// SPDX-License-Identifier: MIT
// The caret: one per thread, owned by the window that made it last.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "message_log.h"

namespace {

using CaretTest = test::DisplayTest;

TEST_F(CaretTest, OneCaretOwnedByTheWindowThatMadeItLast) {
    HWND first = Create(u"first", WS_POPUP | WS_VISIBLE);
    HWND second = Create(u"second", WS_POPUP | WS_VISIBLE);
    struct Step {
        const char* what;
        std::function<BOOL()> call;
        BOOL result;
        std::optional<POINT> position;  // where GetCaretPos finds it after; none: it fails
    };
    const Step steps[] = {
        {"SetCaretPos without a caret", [] { return SetCaretPos(1, 2); }, FALSE, {}},
        {"ShowCaret without a caret", [] { return ShowCaret(nullptr); }, FALSE, {}},
        {"HideCaret without a caret", [] { return HideCaret(nullptr); }, FALSE, {}},
        {"DestroyCaret without a caret", [] { return DestroyCaret(); }, FALSE, {}},
        {"CreateCaret for no window",
         [] { return CreateCaret(reinterpret_cast<HWND>(0x7777), nullptr, 1, 10); },
         FALSE,
         {}},
        {"CreateCaret", [&] { return CreateCaret(first, nullptr, 0, 0); }, TRUE, POINT{0, 0}},
        {"SetCaretPos anywhere", [] { return SetCaretPos(-1, -1); }, TRUE, POINT{-1, -1}},
        {"ShowCaret by another window", [&] { return ShowCaret(second); }, FALSE, POINT{-1, -1}},
        {"HideCaret by the owner", [&] { return HideCaret(first); }, TRUE, POINT{-1, -1}},
        {"ShowCaret of the thread's caret", [] { return ShowCaret(nullptr); }, TRUE, POINT{-1, -1}},
        {"ShowCaret when shown", [&] { return ShowCaret(first); }, TRUE, POINT{-1, -1}},
        {"CreateCaret replaces the other window's",
         [&] { return CreateCaret(second, nullptr, 2, 12); }, TRUE, POINT{0, 0}},
        {"HideCaret by the old owner", [&] { return HideCaret(first); }, FALSE, POINT{0, 0}},
        {"SetCaretPos moves it hidden", [] { return SetCaretPos(300, 400); }, TRUE,
         POINT{300, 400}},
        {"DestroyCaret", [] { return DestroyCaret(); }, TRUE, {}},
        {"SetCaretPos after DestroyCaret", [] { return SetCaretPos(0, 0); }, FALSE, {}},
        {"CreateCaret again", [&] { return CreateCaret(second, nullptr, 1, 1); }, TRUE,
         POINT{0, 0}},
        {"destroying another window", [&] { return DestroyWindow(first); }, TRUE, POINT{0, 0}},
        {"destroying the owner", [&] { return DestroyWindow(second); }, TRUE, {}},
        {"DestroyCaret after its owner", [] { return DestroyCaret(); }, FALSE, {}},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.call(), step.result) << step.what;
        POINT at{12345, 12345};
        EXPECT_EQ(GetCaretPos(&at), step.position ? TRUE : FALSE) << step.what;
        if (step.position) {
            EXPECT_EQ(at.x, step.position->x) << step.what;
            EXPECT_EQ(at.y, step.position->y) << step.what;
        }
    }
}

}  // namespace
