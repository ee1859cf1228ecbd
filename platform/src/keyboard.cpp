// SPDX-License-Identifier: MIT
#include "src/keyboard.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace win32 {

namespace {

// Punctuation keys of the US layout: the character without and with Shift.
struct PunctuationKey {
    UINT virtualKey;
    char16_t plain;
    char16_t shifted;
};
constexpr PunctuationKey kPunctuation[] = {
    {VK_OEM_1, u';', u':'},     {VK_OEM_PLUS, u'=', u'+'},   {VK_OEM_COMMA, u',', u'<'},
    {VK_OEM_MINUS, u'-', u'_'}, {VK_OEM_PERIOD, u'.', u'>'}, {VK_OEM_2, u'/', u'?'},
    {VK_OEM_3, u'`', u'~'},     {VK_OEM_4, u'[', u'{'},      {VK_OEM_5, u'\\', u'|'},
    {VK_OEM_6, u']', u'}'},     {VK_OEM_7, u'\'', u'"'},
};
constexpr std::u16string_view kShiftedDigits = u")!@#$%^&*(";

// Bit 0x80: down; bit 0x01: toggled (Caps Lock and friends). The thread's state follows the
// key messages it retrieves; the asynchronous state follows input as it arrives.
using KeyState = std::array<BYTE, 256>;
KeyState key_state{};
KeyState async_state{};

bool Down(const KeyState& state, UINT vk) { return (state[vk] & 0x80) != 0; }

void Set(KeyState& state, UINT vk, bool down) {
    state[vk] = static_cast<BYTE>(down ? state[vk] | 0x80 : state[vk] & ~0x80);
}

// The generic modifier keys (Shift, Ctrl, Alt) and their left and right keys.
struct ModifierKeys {
    UINT generic, left, right;
};
constexpr ModifierKeys kModifiers[] = {{VK_SHIFT, VK_LSHIFT, VK_RSHIFT},
                                       {VK_CONTROL, VK_LCONTROL, VK_RCONTROL},
                                       {VK_MENU, VK_LMENU, VK_RMENU}};

void Press(KeyState& state, UINT vk, bool down) {
    if (vk >= state.size()) return;
    if (down && !Down(state, vk)) state[vk] ^= 1;  // each press toggles
    Set(state, vk, down);
    for (const ModifierKeys& keys : kModifiers) {
        if (vk == keys.generic) {
            Set(state, keys.left, down);  // a key without side counts as the left one
        } else if (vk == keys.left || vk == keys.right) {
            Set(state, keys.generic, Down(state, keys.left) || Down(state, keys.right));
        }
    }
}

}  // namespace

std::optional<KeyStroke> KeyForCharacter(char16_t c) {
    if (c >= u'a' && c <= u'z') return KeyStroke{static_cast<UINT>(c - u'a' + 'A'), false};
    if (c >= u'A' && c <= u'Z') return KeyStroke{static_cast<UINT>(c), true};
    if (c >= u'0' && c <= u'9') return KeyStroke{static_cast<UINT>(c), false};
    if (auto at = kShiftedDigits.find(c); at != std::u16string_view::npos) {
        return KeyStroke{static_cast<UINT>('0' + at), true};
    }
    switch (c) {
        case u' ':
            return KeyStroke{VK_SPACE, false};
        case u'\r':
            return KeyStroke{VK_RETURN, false};
        case u'\t':
            return KeyStroke{VK_TAB, false};
        case u'\b':
            return KeyStroke{VK_BACK, false};
        case 0x1B:
            return KeyStroke{VK_ESCAPE, false};
        default:
            break;
    }
    for (const PunctuationKey& key : kPunctuation) {
        if (c == key.plain) return KeyStroke{key.virtualKey, false};
        if (c == key.shifted) return KeyStroke{key.virtualKey, true};
    }
    return std::nullopt;
}

char16_t CharacterForKey(UINT vk) {
    const bool shift = IsKeyDown(VK_SHIFT);
    const bool control = IsKeyDown(VK_CONTROL);
    const bool capsLock = (key_state[VK_CAPITAL] & 1) != 0;
    if (control && IsKeyDown(VK_MENU)) return 0;  // AltGr types nothing on a US keyboard
    if (vk >= 'A' && vk <= 'Z') {
        if (control) return static_cast<char16_t>(vk - 'A' + 1);
        bool upper = shift != capsLock;
        return static_cast<char16_t>(upper ? vk : vk - 'A' + 'a');
    }
    if (control) {
        // The control characters a US keyboard can type.
        switch (vk) {
            case VK_OEM_4:
                return 0x1B;
            case VK_OEM_5:
                return 0x1C;
            case VK_OEM_6:
                return 0x1D;
            case '6':
                return shift ? 0x1E : 0;
            case VK_OEM_MINUS:
                return shift ? 0x1F : 0;
            case VK_BACK:
                return 0x7F;
            case VK_RETURN:
                return u'\n';
            case VK_SPACE:
                return u' ';
            case VK_ESCAPE:
                return 0x1B;
            case VK_CANCEL:
                return 0x03;
            default:
                return 0;
        }
    }
    if (vk >= '0' && vk <= '9') {
        return shift ? kShiftedDigits[vk - '0'] : static_cast<char16_t>(vk);
    }
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return static_cast<char16_t>(u'0' + vk - VK_NUMPAD0);
    switch (vk) {
        case VK_SPACE:
            return u' ';
        case VK_RETURN:
            return u'\r';
        case VK_TAB:
            return u'\t';
        case VK_BACK:
            return u'\b';
        case VK_ESCAPE:
            return 0x1B;
        case VK_MULTIPLY:
            return u'*';
        case VK_ADD:
            return u'+';
        case VK_SUBTRACT:
            return u'-';
        case VK_DECIMAL:
            return u'.';
        case VK_DIVIDE:
            return u'/';
        default:
            break;
    }
    for (const PunctuationKey& key : kPunctuation) {
        if (vk == key.virtualKey) return shift ? key.shifted : key.plain;
    }
    return 0;
}

bool IsKeyDown(UINT vk) { return vk < key_state.size() && Down(key_state, vk); }

void SetKeyDown(UINT vk, bool down) { Press(key_state, vk, down); }

void NoteInputKey(UINT vk, bool down) { Press(async_state, vk, down); }

void ResetKeyState() {
    key_state.fill(0);
    async_state.fill(0);
}

bool IsExtendedKey(UINT vk) {
    switch (vk) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_RCONTROL:
        case VK_RMENU:
            return true;
        default:
            return false;
    }
}

}  // namespace win32

SHORT WINAPI GetKeyState(int nVirtKey) {
    if (nVirtKey < 0 || nVirtKey > 255) return 0;
    // High bit: the key is down; low bit: toggled by an odd number of presses.
    BYTE state = win32::key_state[static_cast<std::size_t>(nVirtKey)];
    // Windows sign-extends the down bit: a key that is down reads 0xFF80 (-128).
    return static_cast<SHORT>(((state & 0x80) ? 0xFF80 : 0) | (state & 1));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    if (vKey < 0 || vKey > 255) return 0;
    return win32::async_state[static_cast<std::size_t>(vKey)] & 0x80 ? SHORT(0x8000) : SHORT(0);
}

BOOL WINAPI GetKeyboardState(PBYTE lpKeyState) {
    if (lpKeyState == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::copy(win32::key_state.begin(), win32::key_state.end(), lpKeyState);
    return TRUE;
}

BOOL WINAPI SetKeyboardState(LPBYTE lpKeyState) {
    if (lpKeyState == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::copy(lpKeyState, lpKeyState + win32::key_state.size(), win32::key_state.begin());
    return TRUE;
}
