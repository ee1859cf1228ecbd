// SPDX-License-Identifier: MIT
// The parts of the message map that no session of the program reaches: a handler declining a
// message (none of the program's does), and commands that carry a notification code (every
// command in the sessions has code 0).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/message_map.h"

namespace {

struct Target {
    std::string calls;
    bool declineFirst = false;

    LRESULT OnFirst(UINT, WPARAM, LPARAM, BOOL& bHandled) {
        calls += "first ";
        if (declineFirst) bHandled = FALSE;
        return 10;
    }
    LRESULT OnSecond(UINT, WPARAM, LPARAM, BOOL&) {
        calls += "second ";
        return 20;
    }
    LRESULT OnCommand(WORD code, WORD id, HWND ctl, BOOL&) {
        calls += "command(" + std::to_string(code) + "," + std::to_string(id) + "," +
                 std::to_string(reinterpret_cast<std::uintptr_t>(ctl)) + ") ";
        return id;
    }

    using Entry = MessageMapEntry<Target>;
    static constexpr UINT kMessage = WM_USER + 5;
    static inline const Entry kMap[] = {
        Entry::Message(kMessage, &Target::OnFirst),
        Entry::Command(7, &Target::OnCommand),
        Entry::Message(kMessage, &Target::OnSecond),
        Entry::Command(8, &Target::OnCommand),
    };
};

TEST(MessageMapTest, TheFirstHandlerThatAcceptsEndsTheSearchAndOneThatDeclinesLetsItGoOn) {
    for (const bool declineFirst : {false, true}) {
        SCOPED_TRACE(declineFirst);
        Target t;
        t.declineFirst = declineFirst;
        LRESULT result = 0;
        EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, Target::kMessage, 0, 0, result));
        EXPECT_EQ(result, declineFirst ? 20 : 10);
        EXPECT_EQ(t.calls, declineFirst ? "first second " : "first ");
    }
}

TEST(MessageMapTest, CommandsMatchOnTheLowWordOnlyAndPassTheRest) {
    Target t;
    LRESULT result = 0;
    EXPECT_TRUE(
        DispatchToMessageMap(t, Target::kMap, WM_COMMAND, MAKEWPARAM(8, 0x300), 0x12, result));
    EXPECT_EQ(result, 8);
    EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, WM_COMMAND, MAKEWPARAM(7, 1), 0x99, result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(t.calls, "command(768,8,18) command(1,7,153) ");
}

}  // namespace
