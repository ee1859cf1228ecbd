// SPDX-License-Identifier: MIT
// A small Win32 dialog program of the platform's tests, built like the real program with
// add_win32_executable: a modeless main dialog pumped through IsDialogMessageW, a modal About
// box, an icon. It exits with the id of the command that closed it and prints what it saw.
#include <windows.h>

#include <cstdio>
#include <string>

#include "sample.h"

namespace {

HINSTANCE instance = nullptr;
int aboutResult = -100;

std::string Utf8(const std::u16string& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::u16string ItemText(HWND dialog, int id) {
    HWND item = GetDlgItem(dialog, id);
    std::u16string text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, u'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            for (int which : {ICON_BIG, ICON_SMALL}) {
                int size = GetSystemMetrics(which == ICON_BIG ? SM_CXICON : SM_CXSMICON);
                HANDLE icon = LoadImageW(instance, MAKEINTRESOURCEW(IDI_SAMPLE), IMAGE_ICON, size,
                                         size, LR_DEFAULTCOLOR);
                SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
            }
            return TRUE;
        }
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_REVERSE: {
                    std::u16string text = ItemText(dialog, IDC_ACCOUNT);
                    SetDlgItemTextW(dialog, IDC_RESULT,
                                    std::u16string(text.rbegin(), text.rend()).c_str());
                    return TRUE;
                }
                case IDC_ABOUT:
                    aboutResult = static_cast<int>(DialogBoxParamW(
                        instance, MAKEINTRESOURCEW(IDD_ABOUT), dialog, AboutProc, 0));
                    return TRUE;
                case IDOK:
                case IDCANCEL:
                    std::printf("account=%s result=%s about=%d icon=%d\n",
                                Utf8(ItemText(dialog, IDC_ACCOUNT)).c_str(),
                                Utf8(ItemText(dialog, IDC_RESULT)).c_str(), aboutResult,
                                SendMessageW(dialog, WM_GETICON, ICON_BIG, 0) != 0 ? 1 : 0);
                    DestroyWindow(dialog);
                    PostQuitMessage(LOWORD(wParam));
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow) {
    instance = hInstance;
    std::printf("args=%s\n", Utf8(lpCmdLine).c_str());
    std::fflush(stdout);
    HWND dialog = CreateDialogParamW(hInstance, MAKEINTRESOURCEW(IDD_SAMPLE), nullptr, MainProc, 0);
    if (dialog == nullptr) return 0;
    ShowWindow(dialog, nCmdShow);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    std::fflush(stdout);
    return static_cast<int>(msg.wParam);
}
