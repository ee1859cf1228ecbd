// SPDX-License-Identifier: MIT
// The text of a message converted between wide and the ANSI code page for a procedure of the
// other kind: strings the message brings (WM_SETTEXT, EM_REPLACESEL, the creation names, ...),
// buffers it fills (WM_GETTEXT, EM_GETLINE), lengths and characters. Other messages pass as
// they are.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "src/window_procedure.h"

namespace win32 {

namespace {

// CREATESTRUCTW as an ANSI procedure gets it (CREATESTRUCTA).
struct AnsiCreateStruct {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    const char* lpszName;
    const char* lpszClass;
    DWORD dwExStyle;
};
static_assert(sizeof(AnsiCreateStruct) == sizeof(CREATESTRUCTW));

std::string ToAnsi(const char16_t* text, int length = -1) {
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(), bytes, nullptr, nullptr);
    if (length < 0 && !ansi.empty()) ansi.pop_back();  // the terminator
    return ansi;
}

std::u16string ToWide(const char* text, int length = -1) {
    int units = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), units);
    if (length < 0 && !wide.empty()) wide.pop_back();
    return wide;
}

// A creation name given as 0xFFFF and an ordinal (a dialog's icon control) is 0xFF and the
// ordinal's two bytes in ANSI.
std::string NameToAnsi(const char16_t* name) {
    if (name[0] != 0xFFFF) return ToAnsi(name);
    return std::string{'\xFF', static_cast<char>(name[1] & 0xFF), static_cast<char>(name[1] >> 8)};
}

std::u16string NameToWide(const char* name) {
    // 0xFF then a zero byte is the name "\xFF" itself, as CreateWindowExA's callers take it.
    if (static_cast<unsigned char>(name[0]) != 0xFF || name[1] == '\0') return ToWide(name);
    const auto low = static_cast<unsigned char>(name[1]);
    const auto high = static_cast<unsigned char>(name[2]);
    return std::u16string{u'\xFFFF', static_cast<char16_t>(low | high << 8)};
}

bool BringsString(UINT message) {
    switch (message) {
        case WM_SETTEXT:
        case WM_WININICHANGE:
        case WM_DEVMODECHANGE:
        case EM_REPLACESEL:
        case CB_DIR:
        case LB_DIR:
        case LB_ADDFILE:
            return true;
        default:
            return false;
    }
}

bool IsCharacter(UINT message) {
    return message == WM_CHAR || message == WM_DEADCHAR || message == WM_SYSCHAR ||
           message == WM_SYSDEADCHAR;
}

LRESULT Call(Procedure procedure, HWND hwnd, UINT message, WPARAM wParam, const void* lParam) {
    return procedure.proc(hwnd, message, wParam, reinterpret_cast<LPARAM>(lParam));
}

// The characters of the buffer the procedure fills for WM_GETTEXT: the caller's size; a large
// one only as far as the procedure's text needs (a caller may give a size it cannot mean).
std::size_t TextRoom(Procedure procedure, HWND hwnd, WPARAM size) {
    constexpr WPARAM kPlainSize = 0x10000;
    if (size <= kPlainSize) return size;
    const LRESULT length = procedure.proc(hwnd, WM_GETTEXTLENGTH, 0, 0);
    return std::min<std::size_t>(size, static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1);
}

// A wide message to an ANSI procedure.
LRESULT CallAnsi(Procedure procedure, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (BringsString(message) && lParam != 0) {
        const std::string text = ToAnsi(reinterpret_cast<const char16_t*>(lParam));
        return Call(procedure, hwnd, message, wParam, text.c_str());
    }
    switch (message) {
        case WM_NCCREATE:
        case WM_CREATE: {
            if (lParam == 0) break;
            CREATESTRUCTW& wide = *reinterpret_cast<CREATESTRUCTW*>(lParam);
            AnsiCreateStruct create;
            std::memcpy(&create, &wide, sizeof create);
            const std::string name = wide.lpszName ? NameToAnsi(wide.lpszName) : std::string();
            const bool namedClass = wide.lpszClass && !IS_INTRESOURCE(wide.lpszClass);
            const std::string className = namedClass ? ToAnsi(wide.lpszClass) : std::string();
            if (wide.lpszName) create.lpszName = name.c_str();
            if (namedClass) create.lpszClass = className.c_str();
            return Call(procedure, hwnd, message, wParam, &create);
        }
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<char16_t*>(lParam);
            if (out == nullptr || wParam == 0) break;
            // Up to two bytes a character (a double-byte code page).
            std::vector<char> ansi(2 * TextRoom(procedure, hwnd, wParam), '\0');
            const auto bytes = static_cast<int>(
                std::clamp<LRESULT>(Call(procedure, hwnd, message, ansi.size(), ansi.data()), 0,
                                    static_cast<LRESULT>(ansi.size())));
            const std::u16string text = ToWide(ansi.data(), bytes);
            const std::size_t units = std::min(text.size(), wParam - 1);
            std::copy_n(text.begin(), units, out);
            out[units] = 0;
            return static_cast<LRESULT>(units);
        }
        case WM_GETTEXTLENGTH:
            // The ANSI length is never less than the wide one: a length to make room by.
            break;
        case EM_GETLINE: {
            auto* out = reinterpret_cast<char16_t*>(lParam);
            if (out == nullptr) break;
            WORD size;
            std::memcpy(&size, out, sizeof size);
            std::vector<char> ansi(std::max<std::size_t>(size * 2u, sizeof size), '\0');
            const auto room = static_cast<WORD>(std::min<std::size_t>(ansi.size(), 0xFFFF));
            std::memcpy(ansi.data(), &room, sizeof room);
            const auto bytes = static_cast<int>(
                std::clamp<LRESULT>(Call(procedure, hwnd, message, wParam, ansi.data()), 0,
                                    static_cast<LRESULT>(ansi.size())));
            const std::u16string text = ToWide(ansi.data(), bytes);
            const std::size_t units = std::min<std::size_t>(text.size(), size);
            std::copy_n(text.begin(), units, out);
            return static_cast<LRESULT>(units);
        }
        default:
            if (IsCharacter(message) && wParam >= 0x80 && wParam <= 0xFFFF) {
                const auto unit = static_cast<char16_t>(wParam);
                const std::string bytes = ToAnsi(&unit, 1);
                // A double-byte character comes as its lead byte, then its trail byte.
                LRESULT result = 0;
                for (char byte : bytes) {
                    result =
                        procedure.proc(hwnd, message, static_cast<unsigned char>(byte), lParam);
                }
                return result;
            }
            break;
    }
    return procedure.proc(hwnd, message, wParam, lParam);
}

// An ANSI message to a wide procedure.
LRESULT CallWide(Procedure procedure, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (BringsString(message) && lParam != 0) {
        const std::u16string text = ToWide(reinterpret_cast<const char*>(lParam));
        return Call(procedure, hwnd, message, wParam, text.c_str());
    }
    switch (message) {
        case WM_NCCREATE:
        case WM_CREATE: {
            if (lParam == 0) break;
            const auto& ansi = *reinterpret_cast<const AnsiCreateStruct*>(lParam);
            CREATESTRUCTW create;
            std::memcpy(&create, &ansi, sizeof create);
            const std::u16string name = ansi.lpszName ? NameToWide(ansi.lpszName) : u"";
            const bool namedClass = ansi.lpszClass && !IS_INTRESOURCE(ansi.lpszClass);
            const std::u16string className = namedClass ? ToWide(ansi.lpszClass) : u"";
            if (ansi.lpszName) create.lpszName = name.c_str();
            if (namedClass) create.lpszClass = className.c_str();
            return Call(procedure, hwnd, message, wParam, &create);
        }
        case WM_GETTEXT: {
            auto* out = reinterpret_cast<char*>(lParam);
            if (out == nullptr || wParam == 0) break;
            // A wide character is at least a byte: the caller's size in characters is room
            // enough.
            std::vector<char16_t> wide(TextRoom(procedure, hwnd, wParam), u'\0');
            const auto units = static_cast<int>(
                std::clamp<LRESULT>(Call(procedure, hwnd, message, wide.size(), wide.data()), 0,
                                    static_cast<LRESULT>(wide.size())));
            const std::string text = ToAnsi(wide.data(), units);
            const std::size_t bytes = std::min(text.size(), wParam - 1);
            std::copy_n(text.begin(), bytes, out);
            out[bytes] = '\0';
            return static_cast<LRESULT>(bytes);
        }
        case WM_GETTEXTLENGTH: {
            // The exact ANSI length: from the text itself.
            const LRESULT units = procedure.proc(hwnd, message, wParam, lParam);
            if (units <= 0) return units;
            std::vector<char16_t> wide(static_cast<std::size_t>(units) + 1, u'\0');
            const auto got = static_cast<int>(std::clamp<LRESULT>(
                Call(procedure, hwnd, WM_GETTEXT, wide.size(), wide.data()), 0, units));
            return static_cast<LRESULT>(ToAnsi(wide.data(), got).size());
        }
        case EM_GETLINE: {
            auto* out = reinterpret_cast<char*>(lParam);
            if (out == nullptr) break;
            WORD size;
            std::memcpy(&size, out, sizeof size);
            std::vector<char16_t> wide(std::max<std::size_t>(size, 1), u'\0');
            std::memcpy(wide.data(), &size, sizeof size);
            const auto units = static_cast<int>(
                std::clamp<LRESULT>(Call(procedure, hwnd, message, wParam, wide.data()), 0,
                                    static_cast<LRESULT>(wide.size())));
            const std::string text = ToAnsi(wide.data(), units);
            const std::size_t bytes = std::min<std::size_t>(text.size(), size);
            std::copy_n(text.begin(), bytes, out);
            return static_cast<LRESULT>(bytes);
        }
        default:
            if (IsCharacter(message) && wParam >= 0x80 && wParam <= 0xFF) {
                const char byte = static_cast<char>(wParam);
                const std::u16string unit = ToWide(&byte, 1);
                if (unit.size() == 1) wParam = unit[0];
            }
            break;
    }
    return procedure.proc(hwnd, message, wParam, lParam);
}

}  // namespace

LRESULT CallConverted(Procedure procedure, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure.ansi ? CallAnsi(procedure, hwnd, message, wParam, lParam)
                          : CallWide(procedure, hwnd, message, wParam, lParam);
}

}  // namespace win32
