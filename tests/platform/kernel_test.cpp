// SPDX-License-Identifier: MIT
// Kernel calls: last error per thread, recursive critical sections, RaiseException, MulDiv.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "src/command_line.h"
#include "win32/structured_exception.h"

namespace {

TEST(LastError, IsKeptPerThread) {
    SetLastError(ERROR_INVALID_INDEX);
    DWORD other = 12345;
    std::thread([&] { other = GetLastError(); }).join();
    EXPECT_EQ(other, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

TEST(CriticalSection, IsRecursiveAndExcludesOtherThreads) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);  // the owner may enter again, as on Windows
    EXPECT_EQ(section.RecursionCount, 2);
    BOOL entered_elsewhere = TRUE;
    std::thread([&] { entered_elsewhere = TryEnterCriticalSection(&section); }).join();
    EXPECT_FALSE(entered_elsewhere);
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    std::thread([&] {
        entered_elsewhere = TryEnterCriticalSection(&section);
        if (entered_elsewhere) LeaveCriticalSection(&section);
    }).join();
    EXPECT_TRUE(entered_elsewhere);
    DeleteCriticalSection(&section);
}

TEST(RaiseException, ThrowsTheCodeFlagsAndArguments) {
    const ULONG_PTR arguments[] = {7, 9};
    try {
        RaiseException(EXCEPTION_ARRAY_BOUNDS_EXCEEDED, EXCEPTION_NONCONTINUABLE, 2, arguments);
        FAIL() << "RaiseException returned";
    } catch (const win32::StructuredException& e) {
        EXPECT_EQ(e.code(), 0xC000008Cu);
        EXPECT_EQ(e.flags(), static_cast<std::uint32_t>(EXCEPTION_NONCONTINUABLE));
        EXPECT_EQ(e.arguments(), (std::vector<std::uintptr_t>{7, 9}));
        EXPECT_STREQ(e.what(), "structured exception 0xC000008C");
    }
}

TEST(MulDiv, RoundsHalfAwayFromZeroAndFailsWithMinusOne) {
    struct Case {
        int number, numerator, denominator, expected;
    } cases[] = {
        {7, 6, 4, 11},           // 10.5 rounds up
        {-7, 6, 4, -11},         // -10.5 rounds away from zero
        {7, -6, -4, 11},         // two negatives
        {5, 13, 8, 8},           // 8.125
        {326, 6, 4, 489},        // dialog units to pixels
        {1, 1, 0, -1},           // zero denominator
        {0x40000000, 4, 1, -1},  // overflow
        {INT32_MIN, 1, 1, INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
    }
}

TEST(CommandLine, JoinsArgumentsAfterTheProgramNameQuotingWhereNeeded) {
    const char* argv[] = {"credcipher", "plain", "two words", "", "say \"hi\"", "end\\", "中文"};
    EXPECT_EQ(win32::CommandLineTail(7, argv),
              u"plain \"two words\" \"\" \"say \\\"hi\\\"\" end\\ 中文");
    const char* alone[] = {"credcipher"};
    EXPECT_EQ(win32::CommandLineTail(1, alone), u"");
}

TEST(LocalReAlloc, GrowsAMoveableBlockUnderItsHandleButNotAFixedOne) {
    HLOCAL moveable = LocalAlloc(LMEM_MOVEABLE, 2);
    std::memcpy(LocalLock(moveable), "a", 2);
    LocalUnlock(moveable);
    EXPECT_EQ(LocalReAlloc(moveable, 4096, LMEM_MOVEABLE), moveable);
    EXPECT_EQ(LocalSize(moveable), 4096u);
    const auto* bytes = static_cast<const char*>(LocalLock(moveable));
    EXPECT_STREQ(bytes, "a");
    EXPECT_EQ(bytes[4095], 0) << "new bytes are zeroed";
    LocalUnlock(moveable);
    LocalFree(moveable);

    HLOCAL fixed = LocalAlloc(LMEM_FIXED, 2);
    EXPECT_EQ(LocalReAlloc(fixed, 4096, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    LocalFree(fixed);
}

}  // namespace
