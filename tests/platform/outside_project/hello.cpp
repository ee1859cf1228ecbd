// SPDX-License-Identifier: MIT
// Exits with 0 when its own resources are embedded and its dialog builds from them, with the
// UTF-8 script's text as UTF-16; with a distinct code for each thing that went wrong.
#include <windows.h>

#include <string_view>

#include "res/hello.h"

// The platform gives its programs windows.h and friends, not its own internals.
#if __has_include("src/window.h") || __has_include("cipher/encoder.h")
#error "the platform's include path reaches beyond its public headers"
#endif

namespace {

INT_PTR CALLBACK HelloProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::u16string_view Text(HWND window, WCHAR (&buffer)[32]) {
    const int length = GetWindowTextW(window, buffer, 32);
    return std::u16string_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (!FindResourceW(instance, MAKEINTRESOURCEW(IDD_HELLO), RT_DIALOG)) return 10;
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_HELLO), nullptr, HelloProc, 0);
    if (!dialog) return 11;
    WCHAR buffer[32];
    int result = 0;
    if (Text(dialog, buffer) != u"你好") result = 12;
    if (Text(GetDlgItem(dialog, IDC_GREETING), buffer) != u"世界") result = 13;
    if (Text(GetDlgItem(dialog, IDOK), buffer) != u"OK") result = 14;
    DestroyWindow(dialog);
    return result;
}
