// SPDX-License-Identifier: MIT
// Counts checks, reports each failure on its own line and ends with "N passed, M failed".
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

#include "ui_session.h"

namespace ui {

// Wide text as UTF-8, for the report.
std::string Utf8(const std::wstring& text);

class Results {
public:
    bool Check(bool ok, const std::string& what) {
        ++(ok ? passed_ : failed_);
        if (!ok) std::printf("FAILED: %s\n", what.c_str());
        return ok;
    }
    bool Equal(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
        return Check(actual == expected,
                     what + ": got \"" + Utf8(actual) + "\", expected \"" + Utf8(expected) + "\"");
    }
    void ExitCode(Session& session, DWORD expected, const std::string& what) {
        const auto code = session.WaitForExit();
        Check(code == expected, what + ": exit code " + (code ? std::to_string(*code) : "none") +
                                    ", expected " + std::to_string(expected));
    }
    int Failed() const { return failed_; }
    void Summary() const { std::printf("%d passed, %d failed\n", passed_, failed_); }

private:
    int passed_ = 0;
    int failed_ = 0;
};

}  // namespace ui
