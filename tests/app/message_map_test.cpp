// The message map table: order, command matching and the handled flag.
#include <windows.h>

#include <gtest/gtest.h>

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
    LRESULT OnCommand7(WORD code, WORD id, HWND ctl, BOOL&) {
        calls += "command7(" + std::to_string(code) + "," + std::to_string(id) + "," +
                 std::to_string(reinterpret_cast<std::uintptr_t>(ctl)) + ") ";
        return 7;
    }
    LRESULT OnCommand8(WORD, WORD, HWND, BOOL&) {
        calls += "command8 ";
        return 8;
    }

    using Entry = MessageMapEntry<Target>;
    static constexpr UINT kMessage = WM_USER + 5;
    static inline const Entry kMap[] = {
        Entry::Message(kMessage, &Target::OnFirst),
        Entry::Command(7, &Target::OnCommand7),
        Entry::Message(kMessage, &Target::OnSecond),
        Entry::Command(8, &Target::OnCommand8),
    };
};

TEST(MessageMapTest, FirstMatchingEntryHandlesTheMessage) {
    Target t;
    LRESULT result = 0;
    EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, Target::kMessage, 0, 0, result));
    EXPECT_EQ(result, 10);
    EXPECT_EQ(t.calls, "first ");
}

TEST(MessageMapTest, AHandlerThatDeclinesLetsTheSearchGoOn) {
    Target t;
    t.declineFirst = true;
    LRESULT result = 0;
    EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, Target::kMessage, 0, 0, result));
    EXPECT_EQ(result, 20);
    EXPECT_EQ(t.calls, "first second ");
}

TEST(MessageMapTest, CommandsMatchOnTheLowWordOnlyAndPassTheRest) {
    Target t;
    LRESULT result = 0;
    const WPARAM wParam = MAKEWPARAM(8, 0x300);
    EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, WM_COMMAND, wParam, 0x1234, result));
    EXPECT_EQ(result, 8);
    EXPECT_TRUE(DispatchToMessageMap(t, Target::kMap, WM_COMMAND, MAKEWPARAM(7, 1), 0x99, result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(t.calls, "command8 command7(1,7,153) ");
}

TEST(MessageMapTest, UnlistedMessagesAndCommandsAreNotHandled) {
    Target t;
    LRESULT result = 42;
    EXPECT_FALSE(DispatchToMessageMap(t, Target::kMap, WM_CLOSE, 0, 0, result));
    EXPECT_FALSE(DispatchToMessageMap(t, Target::kMap, WM_COMMAND, MAKEWPARAM(9, 0), 0, result));
    EXPECT_EQ(result, 42);
    EXPECT_EQ(t.calls, "");
}

}  // namespace
