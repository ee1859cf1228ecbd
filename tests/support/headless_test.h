// SPDX-License-Identifier: MIT
// The suites' headless window system: each test begins on a fresh one (headless::Start resets
// all of its state) and ends with no display; input is scripted and delivered by running the
// queue, as a modeless dialog's message loop does.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "win32/headless.h"

namespace test {

// Runs the queue until the script is delivered and nothing is left (IsDialogMessageW first when
// a dialog is given).
inline void Pump(HWND dialog = nullptr) {
    MSG msg;
    while (win32::headless::Pending() > 0 || PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        try {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        } catch (const win32::InputExhausted&) {
            break;  // the last items' input went nowhere (e.g. a click on a disabled window)
        }
        if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A window class of the test's own, registered after Start (which forgets every class); its atom.
inline ATOM RegisterTestClass(const char16_t* name, WNDPROC procedure, int extraBytes = 0) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = name;
    return RegisterClassExW(&wc);
}

// The whole text of a window.
inline std::u16string TextOf(HWND window) {
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(window)), u'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()) + 1)));
    return text;
}

// A key pressed with its modifiers (win32::headless::kShift, ...).
struct Key {
    UINT key;
    unsigned modifiers = 0;
};

class HeadlessTest : public testing::Test {
protected:
    void SetUp() override { win32::headless::Start(options); }
    void TearDown() override { win32::headless::Stop(); }

    // Each delivers its input and everything it causes, through `dialog` when one is set.
    void Press(UINT key, unsigned modifiers = 0) const {
        win32::headless::PressKey(key, modifiers);
        Pump(dialog);
    }
    // The keys in turn, delivered together: a modal loop that one of them opens (a menu, a
    // window move) reads the ones after it.
    void Press(const std::vector<Key>& keys) const {
        for (const Key& k : keys) win32::headless::PressKey(k.key, k.modifiers);
        Pump(dialog);
    }
    void Type(std::u16string_view text) const {
        win32::headless::Type(text);
        Pump(dialog);
    }
    void Click(POINT screen) const {
        win32::headless::Click(screen);
        Pump(dialog);
    }

    win32::headless::Options options;  // what SetUp starts with
    HWND dialog = nullptr;             // the modeless dialog whose loop Pump runs
};

// For a table whose cases each need a display of their own (other monitors, another font):
// nothing is started before the test, each case calls Start, and TearDown stops the last.
class HeadlessCasesTest : public HeadlessTest {
protected:
    void SetUp() override {}
    void Start(const win32::headless::Options& with) {
        options = with;
        win32::headless::Start(options);
    }
};

}  // namespace test
