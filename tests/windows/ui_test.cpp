// SPDX-License-Identifier: MIT
// Drives the real credcipher.exe under Windows (or Wine) from outside, as a person would, and
// checks the fields, the About box and the exit codes. Prints "N passed, M failed".
//
// credcipher_ui_test [--program <credcipher.exe>] [--code-page <n>] [--screenshot <file.png>]
//   --code-page   fail unless the system's ANSI code page is n (so a locale set-up that did
//                 not take cannot pass unnoticed)
//   --screenshot  save a picture of the main dialog after an Encrypt press (Chinese text
//                 under code page 936)
#include <windows.h>

#include <cstdio>
#include <string>

#include "known_answers.h"
#include "real_input.h"
#include "resource_check.h"
#include "results.h"
#include "screenshot.h"
#include "ui_session.h"

namespace {

constexpr int kAccountIn = 1001;
constexpr int kPasswordIn = 1002;
constexpr int kEncrypt = 1003;
constexpr int kAccountOut = 1005;
constexpr int kPasswordOut = 1006;
constexpr int kDecrypt = 1007;
constexpr WORD kAboutCommand = 57664;

bool Started(ui::Results& results, const ui::Session& session, const std::string& run) {
    return results.Check(session.Dialog() != nullptr, run + ": main dialog appears");
}

// Waits until the focus is on control id of the main dialog.
bool FocusReaches(ui::Results& results, const ui::Session& session, int id,
                  const std::string& what) {
    const HWND control = session.Control(id);
    return results.Check(ui::WaitFor([&] { return session.Focus() == control; }, 5000),
                         what + ": focus on control " + std::to_string(id));
}

// Where a centred window belongs: over the middle of center, then pushed inside area (right
// and bottom edges first, so that an oversized window sits flush with the left and top).
POINT CentredPosition(const RECT& window, const RECT& center, const RECT& area) {
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    POINT at{(center.left + center.right) / 2 - width / 2,
             (center.top + center.bottom) / 2 - height / 2};
    if (at.x + width > area.right) at.x = area.right - width;
    if (at.x < area.left) at.x = area.left;
    if (at.y + height > area.bottom) at.y = area.bottom - height;
    if (at.y < area.top) at.y = area.top;
    return at;
}

RECT WorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

void CheckCentred(ui::Results& results, HWND window, const RECT& center, const std::string& what) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const POINT expected = CentredPosition(rect, center, WorkArea(window));
    results.Check(rect.left == expected.x && rect.top == expected.y,
                  what + ": at " + std::to_string(rect.left) + "," + std::to_string(rect.top) +
                      ", expected " + std::to_string(expected.x) + "," +
                      std::to_string(expected.y));
}

// Fields filled and read by message; Encrypt and Decrypt pressed with BM_CLICK. Ends with Enter
// typed in the account field, which is OK: exit code 1.
void FieldsByMessage(ui::Results& results, const std::wstring& program,
                     const std::vector<ui::FieldPair>& pairs, const ui::FieldPair& shown,
                     const std::wstring& screenshot) {
    ui::Session session(program);
    if (!Started(results, session, "fields")) return;

    const HWND dialog = session.Dialog();
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    results.Check((style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX)) ==
                          (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX) &&
                      !(style & WS_MAXIMIZEBOX),
                  "fields: caption, system menu and minimise box, no maximise box");
    CheckCentred(results, dialog, WorkArea(dialog), "fields: main dialog centred on its monitor");

    for (const ui::FieldPair& pair : pairs) {
        const std::string name = std::string("fields, ") + pair.name;
        session.SetText(kAccountIn, pair.account);
        session.SetText(kPasswordIn, pair.password);
        session.SetText(kAccountOut, L"typed over by Encrypt");
        session.Click(kEncrypt);
        results.Equal(session.Text(kAccountOut), pair.accountCipher, name + ", account cipher");
        results.Equal(session.Text(kPasswordOut), pair.passwordCipher, name + ", password cipher");
        results.Equal(session.Text(kAccountIn), pair.account, name + ", account left as typed");
        results.Equal(session.Text(kPasswordIn), pair.password, name + ", password left as typed");

        session.SetText(kAccountIn, pair.accountCipher);
        session.SetText(kPasswordIn, pair.passwordCipher);
        session.Click(kDecrypt);
        if (pair.accountBack)
            results.Equal(session.Text(kAccountOut), pair.accountBack, name + ", account back");
        if (pair.passwordBack)
            results.Equal(session.Text(kPasswordOut), pair.passwordBack, name + ", password back");
    }

    if (!screenshot.empty()) {
        session.SetText(kAccountIn, shown.account);
        session.SetText(kPasswordIn, shown.password);
        session.Click(kEncrypt);
        RECT rect{};
        GetWindowRect(session.Control(kEncrypt), &rect);
        SetCursorPos(rect.right + 20, rect.top);  // the pointer rests beside Encrypt
        ui::BringToFront(session.Dialog());
        Sleep(500);  // let the dialog repaint before the picture is taken
        results.Check(ui::SaveWindowPng(session.Dialog(), screenshot), "screenshot saved");
    }

    // Enter in an edit field is OK (the default button), not Encrypt.
    if (!results.Check(ui::BringToFront(session.Dialog()), "fields: dialog in front")) return;
    ui::ClickMiddle(session.Control(kAccountIn));
    if (!FocusReaches(results, session, kAccountIn, "fields, click in account")) return;
    ui::PressKey(VK_RETURN);
    results.ExitCode(session, IDOK, "fields, Enter in the account field");
}

// Typed at the keyboard: Tab through the dialog, type both fields, Space on Encrypt. Ends with
// Escape: exit code 2.
void Keyboard(ui::Results& results, const std::wstring& program) {
    ui::Session session(program);
    if (!Started(results, session, "keyboard")) return;
    if (!results.Check(ui::BringToFront(session.Dialog()), "keyboard: dialog in front")) return;
    if (!FocusReaches(results, session, IDOK, "keyboard, at start")) return;

    ui::PressKey(VK_TAB);  // Cancel
    ui::PressKey(VK_TAB);
    if (!FocusReaches(results, session, kAccountIn, "keyboard, two Tabs")) return;
    results.Check(ui::TypeText(L"alice"), "keyboard: keys for \"alice\"");
    results.Check(ui::WaitFor([&] { return session.Text(kAccountIn) == L"alice"; }),
                  "keyboard: account typed");
    ui::PressKey(VK_TAB);
    if (!FocusReaches(results, session, kPasswordIn, "keyboard, Tab")) return;
    results.Check(ui::TypeText(L"s3cret!"), "keyboard: keys for \"s3cret!\"");
    results.Check(ui::WaitFor([&] { return session.Text(kPasswordIn) == L"s3cret!"; }),
                  "keyboard: password typed");
    ui::PressKey(VK_TAB);
    if (!FocusReaches(results, session, kEncrypt, "keyboard, Tab")) return;
    ui::PressKey(VK_SPACE);
    ui::WaitFor([&] { return !session.Text(kPasswordOut).empty(); });
    results.Equal(session.Text(kAccountOut), L"cXKlGa5MQXDcK1Dph3gdiQ==", "keyboard, account");
    results.Equal(session.Text(kPasswordOut), L"hwgJOyWj64BFYZEiEAKOEQ==", "keyboard, password");

    ui::PressKey(VK_ESCAPE);
    results.ExitCode(session, IDCANCEL, "keyboard, Escape");
}

// Opens the About box and checks that it is modal; closes it with its OK button, then with
// Escape. Ends with the close box: exit code 2.
void AboutBox(ui::Results& results, const std::wstring& program) {
    ui::Session session(program);
    if (!Started(results, session, "about")) return;
    const HWND dialog = session.Dialog();

    for (const bool byEscape : {false, true}) {
        const std::string name = byEscape ? "about, closed by Escape" : "about, closed by OK";
        // Posted: a sent command would only return once the modal box has closed.
        session.PostCommand(kAboutCommand);
        const HWND about = session.WaitForDialog(L"About");
        if (!results.Check(about != nullptr, name + ": About box appears")) return;
        results.Check(GetWindow(about, GW_OWNER) == dialog, name + ": owned by the main dialog");
        results.Check(!IsWindowEnabled(dialog), name + ": main dialog disabled");
        RECT mainRect{};
        GetWindowRect(dialog, &mainRect);
        CheckCentred(results, about, mainRect, name + ": centred over the main dialog");
        if (byEscape) {
            results.Check(ui::BringToFront(about), name + ": About box in front");
            ui::PressKey(VK_ESCAPE);
        } else {
            session.Click(about, IDOK);
        }
        results.Check(ui::WaitFor([&] { return !IsWindow(about); }), name + ": About box gone");
        results.Check(ui::WaitFor([&] { return IsWindowEnabled(dialog) != FALSE; }),
                      name + ": main dialog enabled again");
        results.Check(!session.WaitForExit(0), name + ": program still running");
    }

    session.SetText(kAccountIn, L"alice");
    session.Click(kEncrypt);
    results.Equal(session.Text(kAccountOut), L"cXKlGa5MQXDcK1Dph3gdiQ==", "about, then Encrypt");

    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    results.ExitCode(session, IDCANCEL, "about, close box");
}

std::wstring ProgramBesideParent() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\..\\credcipher.exe";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring program = ProgramBesideParent();
    std::wstring screenshot;
    UINT codePage = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--program")
            program = argv[i + 1];
        else if (option == L"--screenshot")
            screenshot = argv[i + 1];
        else if (option == L"--code-page")
            codePage = static_cast<UINT>(_wtoi(argv[i + 1]));
        else {
            std::printf("unknown option %s\n", ui::Utf8(option).c_str());
            return 2;
        }
    }

    ui::Results results;
    const UINT acp = GetACP();
    if (codePage != 0)
        results.Check(acp == codePage, "ANSI code page is " + std::to_string(acp) + ", expected " +
                                           std::to_string(codePage));
    std::printf("ANSI code page %u, program %s\n", acp, ui::Utf8(program).c_str());

    ui::CheckResources(results, program);
    if (acp == 936)
        FieldsByMessage(results, program, ui::kChinesePairs, ui::kChinese, screenshot);
    else
        FieldsByMessage(results, program, ui::kWesternPairs, ui::kAscii, screenshot);
    Keyboard(results, program);
    AboutBox(results, program);

    results.Summary();
    std::fflush(stdout);
    return results.Failed() == 0 ? 0 : 1;
}
