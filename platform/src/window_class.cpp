// SPDX-License-Identifier: MIT
#include "src/window_class.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "controls/controls.h"
#include "src/dialog.h"
#include "src/popup_menu.h"

namespace win32 {

namespace {

// User classes get atoms from 0xC000 up, as on Windows.
constexpr ATOM kFirstUserAtom = 0xC000;

struct ClassRegistry {
    std::vector<std::shared_ptr<WindowClass>> classes;
    ATOM nextAtom = kFirstUserAtom;
    bool builtinsRegistered = false;
    bool registeringBuiltins = false;
};

ClassRegistry& Registry() {
    static ClassRegistry* registry = new ClassRegistry;
    return *registry;
}

char16_t FoldCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool SameName(std::u16string_view a, std::u16string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

std::vector<std::shared_ptr<WindowClass>>::iterator Lookup(LPCWSTR nameOrAtom) {
    auto& classes = Registry().classes;
    if (IS_INTRESOURCE(nameOrAtom)) {
        ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(nameOrAtom));
        return std::find_if(classes.begin(), classes.end(),
                            [atom](const auto& c) { return atom != 0 && c->atom == atom; });
    }
    std::u16string_view name(nameOrAtom);
    return std::find_if(classes.begin(), classes.end(),
                        [name](const auto& c) { return SameName(c->name, name); });
}

}  // namespace

std::shared_ptr<WindowClass> FindClass(LPCWSTR nameOrAtom) {
    if (nameOrAtom == nullptr) return nullptr;
    auto it = Lookup(nameOrAtom);
    return it == Registry().classes.end() ? nullptr : *it;
}

void EnsureBuiltinClasses() {
    ClassRegistry& registry = Registry();
    if (registry.builtinsRegistered) return;
    registry.builtinsRegistered = true;
    registry.registeringBuiltins = true;
    RegisterDialogClass();
    RegisterMenuClass();
    RegisterBuiltinControls();
    registry.registeringBuiltins = false;
}

void ResetClasses() { Registry() = ClassRegistry{}; }

}  // namespace win32

using win32::Registry;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
    if (lpwcx == nullptr || lpwcx->cbSize != sizeof(WNDCLASSEXW) || lpwcx->cbClsExtra < 0 ||
        lpwcx->cbWndExtra < 0 || lpwcx->lpszClassName == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (IS_INTRESOURCE(lpwcx->lpszClassName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The built-in classes come first, so that a program cannot take their names.
    win32::EnsureBuiltinClasses();
    if (win32::FindClass(lpwcx->lpszClassName) != nullptr) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto windowClass = std::make_shared<win32::WindowClass>();
    windowClass->name = lpwcx->lpszClassName;
    // "#32770" and friends keep their well-known atoms.
    if (windowClass->name == u"#32770") {
        windowClass->atom = 0x8002;
    } else if (windowClass->name == u"#32768") {
        windowClass->atom = 0x8000;
    } else {
        windowClass->atom = Registry().nextAtom++;
    }
    windowClass->style = lpwcx->style;
    windowClass->proc = win32::ResolveProcedure(lpwcx->lpfnWndProc, false);
    windowClass->classExtra = lpwcx->cbClsExtra;
    windowClass->windowExtra = lpwcx->cbWndExtra;
    windowClass->instance = lpwcx->hInstance;
    windowClass->icon = lpwcx->hIcon;
    windowClass->smallIcon = lpwcx->hIconSm;
    windowClass->cursor = lpwcx->hCursor;
    windowClass->background = lpwcx->hbrBackground;
    windowClass->builtin = Registry().registeringBuiltins;
    Registry().classes.push_back(windowClass);
    return windowClass->atom;
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (lpWndClass == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW ex{sizeof(WNDCLASSEXW),      lpWndClass->style,         lpWndClass->lpfnWndProc,
                   lpWndClass->cbClsExtra,   lpWndClass->cbWndExtra,    lpWndClass->hInstance,
                   lpWndClass->hIcon,        lpWndClass->hCursor,       lpWndClass->hbrBackground,
                   lpWndClass->lpszMenuName, lpWndClass->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    if (lpClassName == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    auto& classes = Registry().classes;
    auto it = win32::Lookup(lpClassName);
    if (it == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if ((*it)->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx) {
    win32::EnsureBuiltinClasses();
    auto windowClass = win32::FindClass(lpszClass);
    if (windowClass == nullptr || lpwcx == nullptr) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    lpwcx->style = windowClass->style;
    lpwcx->lpfnWndProc = win32::ProcedureView(windowClass->proc, false);
    lpwcx->cbClsExtra = windowClass->classExtra;
    lpwcx->cbWndExtra = windowClass->windowExtra;
    lpwcx->hInstance = windowClass->instance;
    lpwcx->hIcon = windowClass->icon;
    lpwcx->hCursor = windowClass->cursor;
    lpwcx->hbrBackground = windowClass->background;
    lpwcx->lpszMenuName = nullptr;
    lpwcx->lpszClassName = lpszClass;
    lpwcx->hIconSm = windowClass->smallIcon;
    return windowClass->atom;
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return 0;
    if (lpClassName == nullptr || nMaxCount <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string& name = window->windowClass->name;
    int count = std::min(static_cast<int>(name.size()), nMaxCount - 1);
    std::copy_n(name.begin(), count, lpClassName);
    lpClassName[count] = 0;
    return count;
}

namespace {

// Calls visit with the class field that GetClassLongPtrW and SetClassLongPtrW reach, but for the
// procedure; false (ERROR_INVALID_INDEX) for an index they do not know.
template <typename Visit>
bool VisitClassField(win32::WindowClass& windowClass, int index, Visit visit) {
    switch (index) {
        case GCL_STYLE:
            visit(windowClass.style);
            return true;
        case GCLP_HBRBACKGROUND:
            visit(windowClass.background);
            return true;
        case GCLP_HCURSOR:
            visit(windowClass.cursor);
            return true;
        case GCLP_HICON:
            visit(windowClass.icon);
            return true;
        case GCLP_HICONSM:
            visit(windowClass.smallIcon);
            return true;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return false;
    }
}

template <typename T>
ULONG_PTR AsClassLong(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<ULONG_PTR>(value);
    } else {
        return static_cast<ULONG_PTR>(value);
    }
}

template <typename T>
T FromClassLong(LONG_PTR value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(value);
    } else {
        return static_cast<T>(value);
    }
}

}  // namespace

ULONG_PTR WINAPI GetClassLongPtrW(HWND hWnd, int nIndex) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return 0;
    if (nIndex == GCLP_WNDPROC) {
        return reinterpret_cast<ULONG_PTR>(win32::ProcedureView(window->windowClass->proc, false));
    }
    ULONG_PTR result = 0;
    VisitClassField(*window->windowClass, nIndex,
                    [&](auto& field) { result = AsClassLong(field); });
    return result;
}

// A new window procedure serves the windows created from now on; those that exist keep theirs.
ULONG_PTR WINAPI SetClassLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    win32::Window* window = win32::CheckWindow(hWnd);
    if (window == nullptr) return 0;
    if (nIndex == GCLP_WNDPROC) {
        win32::Procedure& proc = window->windowClass->proc;
        const WNDPROC previous = win32::ProcedureView(proc, false);
        proc = win32::ResolveProcedure(reinterpret_cast<WNDPROC>(dwNewLong), false);
        return reinterpret_cast<ULONG_PTR>(previous);
    }
    ULONG_PTR previous = 0;
    VisitClassField(*window->windowClass, nIndex, [&](auto& field) {
        previous = AsClassLong(field);
        field = FromClassLong<std::remove_reference_t<decltype(field)>>(dwNewLong);
    });
    return previous;
}
