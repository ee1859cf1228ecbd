// SPDX-License-Identifier: MIT
#include "ui_session.h"

#include <vector>

namespace ui {

bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (cond()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(10);
    }
}

namespace {

struct DialogSearch {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[16] = {};
    wchar_t caption[64] = {};
    GetClassNameW(hwnd, cls, 16);
    GetWindowTextW(hwnd, caption, 64);
    if (pid == search->processId && IsWindowVisible(hwnd) && lstrcmpW(cls, L"#32770") == 0 &&
        lstrcmpW(caption, search->caption) == 0) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

Session::Session(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::vector<wchar_t> commandLine(program.begin(), program.end());
    commandLine.insert(commandLine.begin(), L'"');
    commandLine.push_back(L'"');
    commandLine.push_back(L'\0');
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process_)) {
        process_ = {};
        return;
    }
    // The first start in a new Wine prefix is slow.
    dialog_ = WaitForDialog(L"App", 60000);
}

Session::~Session() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void Session::SetText(int id, const std::wstring& text) const {
    SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::wstring Session::Text(int id) const {
    const HWND control = Control(id);
    const auto length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied =
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

void Session::Click(HWND owner, int id) const { SendMessageW(Control(owner, id), BM_CLICK, 0, 0); }

void Session::PostCommand(WORD id) const { PostMessageW(dialog_, WM_COMMAND, id, 0); }

HWND Session::WaitForDialog(const wchar_t* caption, DWORD timeoutMs) const {
    DialogSearch search{process_.dwProcessId, caption, nullptr};
    if (process_.hProcess == nullptr) return nullptr;
    WaitFor(
        [&] {
            EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND Session::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

std::optional<DWORD> Session::WaitForExit(DWORD timeoutMs) {
    if (process_.hProcess == nullptr ||
        WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

}  // namespace ui
