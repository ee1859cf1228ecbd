// SPDX-License-Identifier: MIT
// A fixture for the control suites: a fresh headless display with a top-level parent window,
// whose client area starts at the screen origin and whose procedure records the WM_COMMAND
// notifications it receives.
#pragma once

#include <gtest/gtest.h>
#include <win32/headless.h>
#include <windows.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "message_log.h"

struct Notification {
    int id;
    int code;
    HWND from;
    friend bool operator==(const Notification&, const Notification&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Notification& n) {
        return out << "{id " << n.id << ", code 0x" << std::hex << n.code << std::dec << "}";
    }
};

using test::TextOf;

class ControlsTest : public test::HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        notifications().clear();
        onCommand() = nullptr;
        ASSERT_NE(test::RegisterTestClass(u"ControlsTestParent", ParentProc), 0);
        parent = CreateWindowExW(0, u"ControlsTestParent", u"Parent", WS_POPUP | WS_VISIBLE, 0, 0,
                                 400, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent, nullptr);
    }

    void TearDown() override {
        onCommand() = nullptr;
        DestroyWindow(parent);  // the controls free their state at WM_NCDESTROY
        HeadlessTest::TearDown();
    }

    HWND Create(const char16_t* className, const char16_t* text, DWORD style, int id = 100,
                RECT at = {10, 10, 70, 30}) {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top,
                               at.right - at.left, at.bottom - at.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    static std::vector<Notification>& notifications() {
        static std::vector<Notification> recorded;
        return recorded;
    }
    // Runs in the parent's WM_COMMAND after the notification was recorded.
    static std::function<void(const Notification&)>& onCommand() {
        static std::function<void(const Notification&)> action;
        return action;
    }
    // The notifications since the last call.
    static std::vector<Notification> TakeNotifications() {
        std::vector<Notification> taken;
        taken.swap(notifications());
        return taken;
    }
    static std::vector<int> TakeCodes() {
        std::vector<int> codes;
        for (const Notification& n : TakeNotifications()) codes.push_back(n.code);
        return codes;
    }

    HWND parent = nullptr;

private:
    static LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND) {
            const Notification n{LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)};
            notifications().push_back(n);
            if (onCommand()) onCommand()(n);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};
