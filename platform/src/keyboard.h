// SPDX-License-Identifier: MIT
// The keyboard: a US layout (characters to keys and back, as TranslateMessage and typed text
// need them) and the thread's key state, updated as key messages leave the queue.
#pragma once

#include <windows.h>

#include <optional>

namespace win32 {

struct KeyStroke {
    UINT virtualKey;
    bool shift;
};

// The key that types `character` on a US keyboard; nullopt for characters it has no key for.
std::optional<KeyStroke> KeyForCharacter(char16_t character);
// The character a key types with the current key state (Shift, Ctrl, Caps Lock); 0 for none.
char16_t CharacterForKey(UINT virtualKey);

bool IsKeyDown(UINT virtualKey);
// The thread's state, as a key message leaves the queue.
void SetKeyDown(UINT virtualKey, bool down);
// The asynchronous state, as key input enters the queue.
void NoteInputKey(UINT virtualKey, bool down);
void ResetKeyState();
// Keys whose lParam carries the extended-key flag (the grey cursor block, right Ctrl and Alt).
bool IsExtendedKey(UINT virtualKey);

}  // namespace win32
