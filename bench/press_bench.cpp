// SPDX-License-Identifier: MIT
// A whole Encrypt press through the real program: its wWinMain runs in this process on the
// headless display, the scripted key is a Space on the focused Encrypt button, and the press
// takes its way through the message loop, the button, the dialog's command and both fields.
// Next to it, the terminal display's paint of the dialog that the press leaves.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "app/res/resource.h"
#include "app/win_main.h"
#include "terminal/cell_geometry.h"
#include "terminal/window_painter.h"
#include "view/window_view.h"
#include "win32/headless.h"

namespace {

namespace headless = win32::headless;

// The thread's CPU time: the machine is shared, and time spent waiting for a core is not the
// program's.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr win32::terminal::CellSize kCell{win32::terminal::kCellWidth,
                                          win32::terminal::kCellHeight};

// Presses per run of the program, so that starting and closing it are not part of the time.
constexpr int kPresses = 2000;

HWND MainDialog() {
    HWND main = GetTopWindow(nullptr);
    while (main != nullptr && GetDlgItem(main, IDC_ENCRYPT) == nullptr) {
        main = GetWindow(main, GW_HWNDNEXT);
    }
    return main;
}

// Runs the program with the two fields filled and the Encrypt button focused, presses Space
// kPresses times, then `look`s at the result and closes the program; returns the time per press.
template <typename Look>
double SecondsPerPress(const std::u16string& account, const std::u16string& password, Look look) {
    headless::Start();
    headless::Run([&] {
        HWND main = MainDialog();
        SetDlgItemTextW(main, IDC_ACCOUNT_IN, account.c_str());
        SetDlgItemTextW(main, IDC_PASSWORD_IN, password.c_str());
        SetFocus(GetDlgItem(main, IDC_ENCRYPT));
    });
    double start = 0;
    double end = 0;
    headless::Run([&] { start = ThreadSeconds(); });
    for (int i = 0; i < kPresses; ++i) headless::PressKey(VK_SPACE);
    headless::Run([&] {
        end = ThreadSeconds();
        look(MainDialog());
    });
    headless::PressKey(VK_ESCAPE);
    WCHAR commandLine[] = {0};
    wWinMain(GetModuleHandleW(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
    headless::Stop();
    return (end - start) / kPresses;
}

void CheckEncrypted(benchmark::State& state, HWND main) {
    WCHAR text[64] = {};
    GetDlgItemTextW(main, IDC_ACCOUNT_OUT, text, 64);
    if (std::u16string(text).size() != 24) state.SkipWithError("the press wrote no cipher text");
}

// Each iteration is one run of the program; its time is that of one press in it.
void EncryptPress(benchmark::State& state, std::u16string account, std::u16string password) {
    for (auto _ : state) {
        state.SetIterationTime(SecondsPerPress(
            account, password, [&state](HWND main) { CheckEncrypted(state, main); }));
    }
}
BENCHMARK_CAPTURE(EncryptPress, Ascii, u"alice.liu@example.com", u"s3cret-Passw0rd")
    ->Name("Press/EncryptAscii")
    ->UseManualTime()
    ->Iterations(5);
BENCHMARK_CAPTURE(EncryptPress, Chinese, u"\u5218\u4E3D\u4E3D\u7684\u8D26\u53F7",
                  u"\u5BC6\u7801\u662F\u79D8\u5BC6\u7684")
    ->Name("Press/EncryptChinese")
    ->UseManualTime()
    ->Iterations(5);

// The terminal display's paint after a press: the window tree read from the window system and
// drawn onto an 80 x 25 grid of cells (the terminal's own output of the changed cells aside).
void TerminalPaint(benchmark::State& state) {
    SecondsPerPress(u"alice.liu@example.com", u"s3cret-Passw0rd", [&state](HWND) {
        for (auto _ : state) {
            benchmark::DoNotOptimize(
                win32::terminal::PaintScreen(win32::ViewsOfScreen(), 80, 25, kCell));
        }
    });
}
BENCHMARK(TerminalPaint)->Name("Press/TerminalPaint");

}  // namespace

int main(int argc, char** argv) {
    // The tool's home: a Chinese system, ANSI code page 936, fixed before the first conversion.
    setenv("LC_ALL", "zh_CN.UTF-8", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
