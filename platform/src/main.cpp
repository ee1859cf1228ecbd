// SPDX-License-Identifier: MIT
// The program's entry point: wWinMain called as the Windows start-up code calls it.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "src/command_line.h"
#include "src/display.h"
#include "src/display_manager.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);

int main(int argc, char** argv) {
    std::u16string tail = win32::CommandLineTail(argc, argv);
    std::vector<WCHAR> command_line(tail.begin(), tail.end());
    command_line.push_back(0);
    try {
        const int code =
            wWinMain(GetModuleHandleW(nullptr), nullptr, command_line.data(), SW_SHOWDEFAULT);
        win32::EndDisplay();
        return code;
    } catch (const win32::InputExhausted& error) {
        std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, error.what());
        return win32::kExitNoInput;
    }
}
