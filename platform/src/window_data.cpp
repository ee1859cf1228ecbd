// SPDX-License-Identifier: MIT
// Window data: GetWindowLong(Ptr)W and SetWindowLong(Ptr)W, for the window's own fields at
// negative indexes and its class's extra bytes at offsets from 0, and their forms for callers
// whose procedures are ANSI; window properties (SetPropW).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/window.h"
#include "win32/ansi_procedures.h"

namespace win32 {

namespace {

constexpr std::size_t kLongSize = sizeof(LONG);
constexpr std::size_t kPointerSize = sizeof(LONG_PTR);

bool InExtraBytes(const Window& window, int index, std::size_t size) {
    return index >= 0 && static_cast<std::size_t>(index) + size <= window.extra.size();
}

LONG_PTR ReadExtra(const Window& window, int index, std::size_t size) {
    if (size == kLongSize) {
        LONG value;
        std::memcpy(&value, window.extra.data() + index, size);
        return value;
    }
    LONG_PTR value;
    std::memcpy(&value, window.extra.data() + index, size);
    return value;
}

void WriteExtra(Window& window, int index, std::size_t size, LONG_PTR value) {
    if (size == kLongSize) {
        LONG narrow = static_cast<LONG>(value);
        std::memcpy(window.extra.data() + index, &narrow, size);
    } else {
        std::memcpy(window.extra.data() + index, &value, size);
    }
}

// The 64-bit rule: handles and procedures only through the pointer-sized calls.
bool PointerOnly(int index) {
    return index == GWLP_WNDPROC || index == GWLP_HINSTANCE || index == GWLP_HWNDPARENT;
}

LONG_PTR Narrow(LONG_PTR value, std::size_t size) {
    return size == kLongSize ? static_cast<LONG>(value) : value;
}

// A dialog's procedure in its extra bytes, as the dialog manager calls it; its kind is kept with
// the dialog.
bool IsDialogProc(const Window& window, int index, std::size_t size) {
    return window.dialog && index == DWLP_DLGPROC && size == kPointerSize &&
           InExtraBytes(window, index, size);
}

LONG_PTR GetLong(HWND hwnd, int index, std::size_t size, bool ansiCaller) {
    Window* window = CheckWindow(hwnd);
    if (window == nullptr) return 0;
    if (IsDialogProc(*window, index, size)) {
        const auto proc = reinterpret_cast<WNDPROC>(ReadExtra(*window, index, size));
        return reinterpret_cast<LONG_PTR>(
            ProcedureView(Procedure{proc, window->dialog->ansiProc}, ansiCaller));
    }
    if (index >= 0) {
        if (!InExtraBytes(*window, index, size)) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        return ReadExtra(*window, index, size);
    }
    if (size == kLongSize && PointerOnly(index)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    switch (index) {
        case GWL_STYLE:
            return Narrow(window->style, size);
        case GWL_EXSTYLE:
            return Narrow(window->exStyle, size);
        case GWLP_ID:
            return Narrow(window->id, size);
        case GWLP_USERDATA:
            return Narrow(window->userData, size);
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(ProcedureView(window->proc, ansiCaller));
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(window->IsChild() ? window->parent : window->owner);
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

// Style changes go through WM_STYLECHANGING, where the window may amend them, and
// WM_STYLECHANGED.
LONG_PTR SetStyle(HWND hwnd, int index, DWORD value) {
    Window* window = FindWindow(hwnd);
    DWORD& field = index == GWL_STYLE ? window->style : window->exStyle;
    STYLESTRUCT change{field, value};
    const DWORD old = field;
    SendMessageW(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&change));
    if ((window = FindWindow(hwnd)) == nullptr) return old;
    (index == GWL_STYLE ? window->style : window->exStyle) = change.styleNew;
    MarkDirty();
    SendMessageW(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&change));
    return old;
}

LONG_PTR SetLong(HWND hwnd, int index, LONG_PTR value, std::size_t size, bool ansiCaller) {
    Window* window = CheckWindow(hwnd);
    if (window == nullptr) return 0;
    if (IsDialogProc(*window, index, size)) {
        const LONG_PTR old = GetLong(hwnd, index, size, ansiCaller);
        const Procedure proc = ResolveProcedure(reinterpret_cast<WNDPROC>(value), ansiCaller);
        WriteExtra(*window, index, size, reinterpret_cast<LONG_PTR>(proc.proc));
        window->dialog->ansiProc = proc.ansi;
        return old;
    }
    if (index >= 0) {
        if (!InExtraBytes(*window, index, size)) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        LONG_PTR old = ReadExtra(*window, index, size);
        WriteExtra(*window, index, size, value);
        return old;
    }
    if (size == kLongSize && PointerOnly(index)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR old = GetLong(hwnd, index, size, ansiCaller);
    switch (index) {
        case GWL_STYLE:
        case GWL_EXSTYLE:
            return Narrow(SetStyle(hwnd, index, static_cast<DWORD>(value)), size);
        case GWLP_ID:
            window->id = value;
            break;
        case GWLP_USERDATA:
            window->userData = value;
            break;
        case GWLP_WNDPROC:
            // The window is of its new procedure's kind from now on.
            window->proc = ResolveProcedure(reinterpret_cast<WNDPROC>(value), ansiCaller);
            window->ansi = window->proc.ansi;
            break;
        case GWLP_HINSTANCE:
            window->instance = reinterpret_cast<HINSTANCE>(value);
            break;
        case GWLP_HWNDPARENT:
            // Changes the owner of a top-level window; a child keeps its parent.
            if (!window->IsChild()) {
                HWND owner = reinterpret_cast<HWND>(value);
                window->owner = owner != nullptr ? RootOf(owner) : nullptr;
            }
            break;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
    return old;
}

}  // namespace

LONG_PTR GetWindowLongPtrAnsi(HWND hwnd, int index) {
    return GetLong(hwnd, index, kPointerSize, true);
}

LONG_PTR SetWindowLongPtrAnsi(HWND hwnd, int index, LONG_PTR value) {
    return SetLong(hwnd, index, value, kPointerSize, true);
}

}  // namespace win32

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    return static_cast<LONG>(win32::GetLong(hWnd, nIndex, win32::kLongSize, false));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(win32::SetLong(hWnd, nIndex, dwNewLong, win32::kLongSize, false));
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) {
    return win32::GetLong(hWnd, nIndex, win32::kPointerSize, false);
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return win32::SetLong(hWnd, nIndex, dwNewLong, win32::kPointerSize, false);
}

namespace {

// A property's key: its name, case-folded as atoms are; an atom is "#<atom>".
std::u16string PropertyKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) {
        std::string digits = "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
        return std::u16string(digits.begin(), digits.end());
    }
    std::u16string key(name);
    for (char16_t& c : key) {
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    }
    return key;
}

auto FindProperty(win32::Window& window, const std::u16string& key) {
    return std::find_if(window.properties.begin(), window.properties.end(),
                        [&](const auto& property) { return property.first == key; });
}

}  // namespace

BOOL WINAPI IsWindowUnicode(HWND hWnd) {
    const win32::Window* window = win32::CheckWindow(hWnd);
    return window != nullptr && !window->ansi;
}

HANDLE WINAPI GetPropW(HWND hWnd, LPCWSTR lpString) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr || lpString == nullptr) return nullptr;
    auto found = FindProperty(*window, PropertyKey(lpString));
    return found == window->properties.end() ? nullptr : found->second;
}

BOOL WINAPI SetPropW(HWND hWnd, LPCWSTR lpString, HANDLE hData) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return FALSE;
    if (lpString == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::u16string key = PropertyKey(lpString);
    if (auto found = FindProperty(*window, key); found != window->properties.end()) {
        found->second = hData;
    } else {
        window->properties.emplace_back(std::move(key), hData);
    }
    return TRUE;
}

HANDLE WINAPI RemovePropW(HWND hWnd, LPCWSTR lpString) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr || lpString == nullptr) return nullptr;
    auto found = FindProperty(*window, PropertyKey(lpString));
    if (found == window->properties.end()) return nullptr;
    HANDLE data = found->second;
    window->properties.erase(found);
    return data;
}
