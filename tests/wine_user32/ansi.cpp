// SPDX-License-Identifier: MIT
// The ANSI functions that Wine's tests call, over the layer's wide ones: names and text are
// converted through the ANSI code page; a resource or class name given as an ordinal passes as
// it is. Procedures are handed over as ANSI ones (win32/ansi_procedures.h), so that the windows
// of an ANSI class or procedure are ANSI windows; messages are sent as ANSI ones and converted
// by the layer where the window is wide.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>

#include "win32/ansi_procedures.h"
#include "wine_compat.h"

namespace {

std::u16string Wide(LPCSTR text, int length = -1) {
    if (text == nullptr) return {};
    int units = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), units);
    if (length < 0 && !wide.empty()) wide.pop_back();  // the terminator
    return wide;
}

std::string Ansi(const char16_t* text, int length) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(), bytes, nullptr, nullptr);
    return ansi;
}

// A name that may be an ordinal (MAKEINTRESOURCE, an atom) held as wide text while a call lasts.
class Name {
public:
    explicit Name(LPCSTR name) : ordinal_(name != nullptr && IS_INTRESOURCE(name)) {
        if (!ordinal_) text_ = Wide(name);
        pointer_ = ordinal_ ? reinterpret_cast<LPCWSTR>(name) : name ? text_.c_str() : nullptr;
    }
    operator LPCWSTR() const { return pointer_; }

private:
    bool ordinal_;
    std::u16string text_;
    LPCWSTR pointer_ = nullptr;
};

// Copies ANSI text into a caller's buffer of `size` bytes, terminated; returns the bytes copied.
int CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    int length = std::min(static_cast<int>(text.size()), size - 1);
    std::copy_n(text.data(), length, buffer);
    buffer[length] = '\0';
    return length;
}

DLGPROC WideDialogProc(DLGPROC proc) {
    return reinterpret_cast<DLGPROC>(win32::WideProcedure(reinterpret_cast<WNDPROC>(proc)));
}

}  // namespace

HMODULE WINAPI GetModuleHandleA(LPCSTR name) { return GetModuleHandleW(Name(name)); }

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    return FindResourceW(module, Name(name), Name(type));
}

int WINAPI lstrlenA(LPCSTR text) { return text ? static_cast<int>(strlen(text)) : 0; }
int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) { return strcmp(a ? a : "", b ? b : ""); }
LPSTR WINAPI lstrcpyA(LPSTR to, LPCSTR from) { return strcpy(to, from); }
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) {
    std::u16string_view x = a ? a : u"", y = b ? b : u"";
    return x < y ? -1 : x > y ? 1 : 0;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    Name menu(wc->lpszMenuName), name(wc->lpszClassName);
    WNDCLASSEXW wide{sizeof(WNDCLASSEXW),
                     wc->style,
                     win32::WideProcedure(wc->lpfnWndProc),
                     wc->cbClsExtra,
                     wc->cbWndExtra,
                     wc->hInstance,
                     wc->hIcon,
                     wc->hCursor,
                     wc->hbrBackground,
                     menu,
                     name,
                     wc->hIconSm};
    return RegisterClassExW(&wide);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    WNDCLASSEXA ex{sizeof(WNDCLASSEXA), wc->style,        wc->lpfnWndProc,   wc->cbClsExtra,
                   wc->cbWndExtra,      wc->hInstance,    wc->hIcon,         wc->hCursor,
                   wc->hbrBackground,   wc->lpszMenuName, wc->lpszClassName, nullptr};
    return RegisterClassExA(&ex);
}

BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    return UnregisterClassW(Name(name), instance);
}

BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, WNDCLASSA* wc) {
    WNDCLASSEXW wide{};
    wide.cbSize = sizeof wide;
    if (!GetClassInfoExW(instance, Name(name), &wide)) return FALSE;
    *wc = WNDCLASSA{wide.style,      win32::AnsiProcedure(wide.lpfnWndProc),
                    wide.cbClsExtra, wide.cbWndExtra,
                    wide.hInstance,  wide.hIcon,
                    wide.hCursor,    wide.hbrBackground,
                    nullptr,         name};
    return TRUE;
}

int WINAPI GetClassNameA(HWND hwnd, LPSTR name, int size) {
    char16_t wide[256];
    int length = GetClassNameW(hwnd, wide, 256);
    if (length == 0) return 0;
    return CopyOut(Ansi(wide, length), name, size);
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    // A window name of 0xFF and a 16-bit id names a resource (an image static's): wide, that
    // is 0xFFFF and the id.
    if (windowName != nullptr && !IS_INTRESOURCE(windowName) &&
        static_cast<BYTE>(windowName[0]) == 0xFF && windowName[1] != '\0') {
        const char16_t ordinal[] = {
            0xFFFF, static_cast<char16_t>(MAKEWORD(windowName[1], windowName[2])), 0};
        return win32::CreateAnsiWindow(exStyle, Name(className), ordinal, style, x, y, width,
                                       height, parent, menu, instance, param);
    }
    return win32::CreateAnsiWindow(exStyle, Name(className), Name(windowName), style, x, y, width,
                                   height, parent, menu, instance, param);
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefAnsiWindowProc(hwnd, message, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam,
                               LPARAM lParam) {
    return win32::CallAnsiWindowProc(proc, hwnd, message, wParam, lParam);
}

LRESULT WINAPI DefDlgProcA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefAnsiDlgProc(hwnd, message, wParam, lParam);
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::SendAnsiMessage(hwnd, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(hwnd, message, wParam, lParam);
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last) {
    return GetMessageW(msg, hwnd, first, last);
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT first, UINT last, UINT remove) {
    return PeekMessageW(msg, hwnd, first, last, remove);
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) { return DispatchMessageW(msg); }

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) { return IsDialogMessageW(dialog, msg); }

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc,
                               LPARAM param) {
    return DialogBoxParamW(instance, Name(name), owner, WideDialogProc(proc), param);
}

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc,
                               LPARAM param) {
    return CreateDialogParamW(instance, Name(name), owner, WideDialogProc(proc), param);
}

HWND WINAPI CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATE dialog_template,
                                       HWND owner, DLGPROC proc, LPARAM param) {
    return CreateDialogIndirectParamW(instance, dialog_template, owner, WideDialogProc(proc),
                                      param);
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsWindow(hwnd)) return FALSE;
    return win32::SendAnsiMessage(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int size) {
    if (text && size > 0) text[0] = '\0';
    if (!IsWindow(hwnd) || text == nullptr || size <= 0) return 0;
    return static_cast<int>(win32::SendAnsiMessage(hwnd, WM_GETTEXT, static_cast<WPARAM>(size),
                                                   reinterpret_cast<LPARAM>(text)));
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int size) {
    HWND item = GetDlgItem(dialog, id);
    if (item == nullptr) {
        if (text && size > 0) text[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(item, text, size));
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

LONG WINAPI GetWindowLongA(HWND hwnd, int index) { return GetWindowLongW(hwnd, index); }
LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    return SetWindowLongW(hwnd, index, value);
}
LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    return win32::GetWindowLongPtrAnsi(hwnd, index);
}
LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    return win32::SetWindowLongPtrAnsi(hwnd, index, value);
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) { return LoadIconW(instance, Name(name)); }

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return MessageBoxW(owner, text ? Wide(text).c_str() : nullptr,
                       caption ? Wide(caption).c_str() : nullptr, type);
}

HANDLE WINAPI GetPropA(HWND hwnd, LPCSTR name) { return GetPropW(hwnd, Name(name)); }
BOOL WINAPI SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    return SetPropW(hwnd, Name(name), data);
}

HHOOK WINAPI SetWindowsHookExA(int id, HOOKPROC proc, HINSTANCE instance, DWORD thread) {
    return SetWindowsHookExW(id, proc, instance, thread);
}

// The item's state and id; its text (MIIM_STRING) is not asked for by the tests.
BOOL WINAPI GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOA* info) {
    if (info == nullptr || info->cbSize != sizeof *info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MENUITEMINFOW wide{};
    wide.cbSize = sizeof wide;
    wide.fMask = info->fMask & (MIIM_STATE | MIIM_ID);
    if (!GetMenuItemInfoW(menu, item, byPosition, &wide)) return FALSE;
    if (info->fMask & MIIM_STATE) info->fState = wide.fState;
    if (info->fMask & MIIM_ID) info->wID = wide.wID;
    return TRUE;
}

ULONG_PTR WINAPI SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    if (index != GCLP_WNDPROC) return SetClassLongPtrW(hwnd, index, value);
    const auto proc = win32::WideProcedure(reinterpret_cast<WNDPROC>(value));
    const auto previous = SetClassLongPtrW(hwnd, index, reinterpret_cast<LONG_PTR>(proc));
    return reinterpret_cast<ULONG_PTR>(win32::AnsiProcedure(reinterpret_cast<WNDPROC>(previous)));
}

HFONT WINAPI CreateFontIndirectA(const LOGFONTA* font) {
    if (font == nullptr) return nullptr;
    LOGFONTW wide{};
    std::memcpy(&wide, font, offsetof(LOGFONTA, lfFaceName));
    const std::u16string face = Wide(font->lfFaceName, strnlen(font->lfFaceName, LF_FACESIZE));
    std::copy_n(face.begin(), std::min<std::size_t>(face.size(), LF_FACESIZE - 1), wide.lfFaceName);
    return CreateFontIndirectW(&wide);
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
    TEXTMETRICW wide{};
    if (metrics == nullptr || !GetTextMetricsW(dc, &wide)) return FALSE;
    std::memcpy(metrics, &wide, offsetof(TEXTMETRICA, tmFirstChar));
    auto byte = [](WCHAR c) { return static_cast<BYTE>(std::min<WCHAR>(c, 0xFF)); };
    metrics->tmFirstChar = byte(wide.tmFirstChar);
    metrics->tmLastChar = byte(wide.tmLastChar);
    metrics->tmDefaultChar = byte(wide.tmDefaultChar);
    metrics->tmBreakChar = byte(wide.tmBreakChar);
    metrics->tmItalic = wide.tmItalic;
    metrics->tmUnderlined = wide.tmUnderlined;
    metrics->tmStruckOut = wide.tmStruckOut;
    metrics->tmPitchAndFamily = wide.tmPitchAndFamily;
    metrics->tmCharSet = wide.tmCharSet;
    return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
    if (length < 0) return FALSE;
    const std::u16string wide = Wide(text, length);
    return GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), size);
}

// Each byte of the range as the character it is in the ANSI code page.
BOOL WINAPI GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths) {
    if (widths == nullptr || last < first || last > 0xFF) return FALSE;
    for (UINT c = first; c <= last; ++c) {
        const char byte = static_cast<char>(c);
        const std::u16string wide = Wide(&byte, 1);
        const UINT unit = wide.empty() ? 0 : wide[0];
        if (!GetCharABCWidthsW(dc, unit, unit, &widths[c - first])) return FALSE;
    }
    return TRUE;
}
