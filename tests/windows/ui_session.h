// SPDX-License-Identifier: MIT
// One run of credcipher.exe driven from outside, as a person at the desk drives it: start the
// process, find its dialog, fill and read fields, press buttons and keys, wait for it to end.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace ui {

// Polls cond every few milliseconds until it holds or timeoutMs has passed.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 10000);

class Session {
public:
    // Starts program and waits for its main dialog (class #32770, caption "App").
    explicit Session(const std::wstring& program);
    ~Session();  // ends the process if it is still running
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    HWND Dialog() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    HWND Control(HWND owner, int id) const { return GetDlgItem(owner, id); }

    // Messages, as an accessibility tool sends them.
    void SetText(int id, const std::wstring& text) const;
    std::wstring Text(int id) const;
    void Click(int id) const { Click(dialog_, id); }
    void Click(HWND owner, int id) const;
    void PostCommand(WORD id) const;

    // A top-level dialog of this process with the given caption, once it appears.
    HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 10000) const;
    // The window that has the keyboard focus in the program's thread.
    HWND Focus() const;

    // The exit code once the process has ended, or nothing after timeoutMs.
    std::optional<DWORD> WaitForExit(DWORD timeoutMs = 10000);

private:
    PROCESS_INFORMATION process_{};
    HWND dialog_ = nullptr;
};

}  // namespace ui
