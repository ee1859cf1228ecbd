// SPDX-License-Identifier: MIT
// Message-sequence testing: window and dialog procedures that record what they see (window,
// message, wParam, lParam), controls subclassed to record too, and a comparison of the record
// with an expected table that prints both as message names when they differ.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "src/message_names.h"
#include "support/headless_test.h"
#include "win32/headless.h"

namespace test {

struct Seen {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// One row of an expected table; wParam and lParam are compared only when given.
struct Expected {
    HWND hwnd;
    UINT message;
    std::optional<WPARAM> wParam = std::nullopt;
    std::optional<LPARAM> lParam = std::nullopt;
};

using win32::MessageName;

// The record shared by every recording procedure of a test.
class MessageLog {
public:
    static MessageLog& Current() {
        static MessageLog log;
        return log;
    }

    void Clear() { seen_.clear(); }
    void Record(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (ignored_.count(message) == 0) seen_.push_back({hwnd, message, wParam, lParam});
    }
    // Messages not worth recording in a test (painting, hit testing, text queries of displays).
    void Ignore(std::set<UINT> messages) { ignored_ = std::move(messages); }
    const std::vector<Seen>& seen() const { return seen_; }

    // The record restricted to some messages.
    std::vector<Seen> Only(const std::set<UINT>& messages) const {
        std::vector<Seen> kept;
        for (const Seen& entry : seen_) {
            if (messages.count(entry.message) != 0) kept.push_back(entry);
        }
        return kept;
    }

private:
    std::vector<Seen> seen_;
    std::set<UINT> ignored_;
};

// Names windows in failure messages.
inline std::map<HWND, std::string>& WindowNames() {
    static std::map<HWND, std::string> names;
    return names;
}

inline std::string WindowName(HWND hwnd) {
    auto found = WindowNames().find(hwnd);
    if (found != WindowNames().end()) return found->second;
    std::ostringstream out;
    out << hwnd;
    return out.str();
}

inline std::string Format(const std::vector<Expected>& entries) {
    std::ostringstream out;
    for (const Expected& entry : entries) {
        out << "  " << WindowName(entry.hwnd) << " " << MessageName(entry.message);
        out << " " << (entry.wParam ? std::to_string(*entry.wParam) : "*");
        out << " " << (entry.lParam ? std::to_string(*entry.lParam) : "*") << "\n";
    }
    return out.str();
}

inline testing::AssertionResult SequenceIs(const std::vector<Seen>& seen,
                                           const std::vector<Expected>& expected) {
    bool same = seen.size() == expected.size();
    for (std::size_t i = 0; same && i < seen.size(); ++i) {
        same = seen[i].hwnd == expected[i].hwnd && seen[i].message == expected[i].message &&
               (!expected[i].wParam || *expected[i].wParam == seen[i].wParam) &&
               (!expected[i].lParam || *expected[i].lParam == seen[i].lParam);
    }
    if (same) return testing::AssertionSuccess();
    std::vector<Expected> seenRows;
    for (const Seen& s : seen) seenRows.push_back({s.hwnd, s.message, s.wParam, s.lParam});
    return testing::AssertionFailure() << "seen:\n"
                                       << Format(seenRows) << "expected:\n"
                                       << Format(expected);
}

// What a test's recording windows do besides recording; an answer it returns replaces the default.
using Hook = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;
inline Hook& RecordingHook() {
    static Hook hook;
    return hook;
}

inline LRESULT CALLBACK RecordingWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog::Current().Record(hwnd, message, wParam, lParam);
    if (RecordingHook()) {
        if (auto answer = RecordingHook()(hwnd, message, wParam, lParam)) return *answer;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window class whose procedure records and then does the default (DisplayTest registers it).
inline constexpr const char16_t* RecordingClass() { return u"RecordingWindow"; }

// A fresh headless display per test, recording into a cleared log that ignores text queries, hit
// testing and mouse moves.
class DisplayTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        ASSERT_NE(RegisterTestClass(RecordingClass(), RecordingWindowProc, 16), 0);
        RecordingHook() = nullptr;
        MessageLog::Current().Clear();
        MessageLog::Current().Ignore({WM_GETTEXT, WM_GETTEXTLENGTH, WM_NCHITTEST, WM_MOUSEMOVE});
    }
    void TearDown() override {
        HeadlessTest::TearDown();
        RecordingHook() = nullptr;
    }

    // A window of the recording class, named in failure messages.
    static HWND Create(const char16_t* name, DWORD style, HWND parent = nullptr, int id = 0,
                       RECT at = {10, 20, 210, 120}) {
        HWND hwnd =
            CreateWindowExW(0, RecordingClass(), name, style, at.left, at.top, at.right - at.left,
                            at.bottom - at.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        WindowNames()[hwnd] = std::string(name, name + std::char_traits<char16_t>::length(name));
        return hwnd;
    }
};

}  // namespace test
