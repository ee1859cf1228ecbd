// The application module: which thread's message loop is which.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "app/app_module.h"
#include "app/message_loop.h"

namespace {

class AppModuleTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(m_module.Initialize(nullptr, nullptr, nullptr), S_OK); }
    void TearDown() override { m_module.Terminate(); }

    // Runs f on a thread of its own and returns that thread's id.
    template <class F>
    static DWORD OnOtherThread(F f) {
        DWORD id = 0;
        std::thread([&] {
            id = GetCurrentThreadId();
            f();
        }).join();
        return id;
    }

    CAppModule m_module;
    CMessageLoop m_loop1;
    CMessageLoop m_loop2;
};

TEST_F(AppModuleTest, InitializeRecordsTheCallingThreadAsMain) {
    EXPECT_EQ(m_module.m_mainThreadId, GetCurrentThreadId());
}

TEST_F(AppModuleTest, EachThreadFindsItsOwnLoop) {
    ASSERT_TRUE(m_module.AddMessageLoop(&m_loop1));
    const DWORD other = OnOtherThread([&] {
        EXPECT_EQ(m_module.GetMessageLoop(), nullptr) << "the main thread's loop is not its own";
        EXPECT_TRUE(m_module.AddMessageLoop(&m_loop2));
    });
    EXPECT_EQ(m_module.GetMessageLoop(GetCurrentThreadId()), &m_loop1);
    EXPECT_EQ(m_module.GetMessageLoop(other), &m_loop2);
}

TEST_F(AppModuleTest, AThreadWithoutALoopGetsNone) {
    EXPECT_EQ(m_module.GetMessageLoop(), nullptr);
    m_module.AddMessageLoop(&m_loop1);
    const DWORD other = OnOtherThread([&] {
        EXPECT_EQ(m_module.GetMessageLoop(GetCurrentThreadId()), nullptr);
        EXPECT_FALSE(m_module.RemoveMessageLoop()) << "nothing to remove for this thread";
    });
    EXPECT_EQ(m_module.GetMessageLoop(other), nullptr);
    EXPECT_EQ(m_module.GetMessageLoop(), &m_loop1) << "the other thread's removal took nothing";
}

TEST_F(AppModuleTest, FirstEntryOfAThreadWinsAndIsRemovedFirst) {
    m_module.AddMessageLoop(&m_loop1);
    m_module.AddMessageLoop(&m_loop2);
    EXPECT_EQ(m_module.GetMessageLoop(), &m_loop1);
    EXPECT_TRUE(m_module.RemoveMessageLoop());
    EXPECT_EQ(m_module.GetMessageLoop(), &m_loop2);
    EXPECT_TRUE(m_module.RemoveMessageLoop());
    EXPECT_EQ(m_module.GetMessageLoop(), nullptr);
    EXPECT_FALSE(m_module.RemoveMessageLoop());
}

TEST_F(AppModuleTest, RemovalKeepsTheOtherThreadsEntries) {
    DWORD first = 0;
    DWORD second = 0;
    first = OnOtherThread([&] { m_module.AddMessageLoop(&m_loop1); });
    m_module.AddMessageLoop(&m_loop2);
    second = OnOtherThread([&] { m_module.AddMessageLoop(&m_loop1); });
    EXPECT_TRUE(m_module.RemoveMessageLoop());
    EXPECT_EQ(m_module.GetMessageLoop(first), &m_loop1);
    EXPECT_EQ(m_module.GetMessageLoop(second), &m_loop1);
    EXPECT_EQ(m_module.GetMessageLoop(), nullptr);
}

TEST_F(AppModuleTest, TerminateForgetsTheLoopsAndInitializeStartsAfresh) {
    m_module.AddMessageLoop(&m_loop1);
    m_module.Terminate();
    m_module.Terminate();  // a second call does nothing
    EXPECT_EQ(m_module.GetMessageLoop(), nullptr);
    EXPECT_FALSE(m_module.AddMessageLoop(&m_loop2));
    EXPECT_FALSE(m_module.RemoveMessageLoop());

    ASSERT_EQ(m_module.Initialize(nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(m_module.GetMessageLoop(), nullptr);
    EXPECT_TRUE(m_module.AddMessageLoop(&m_loop2));
    EXPECT_EQ(m_module.GetMessageLoop(), &m_loop2);
}

TEST(AppModuleLifetimeTest, NotInitializedModuleHasNoLoops) {
    CAppModule module;
    CMessageLoop loop;
    EXPECT_FALSE(module.AddMessageLoop(&loop));
    EXPECT_EQ(module.GetMessageLoop(), nullptr);
    EXPECT_FALSE(module.RemoveMessageLoop());
}

}  // namespace
