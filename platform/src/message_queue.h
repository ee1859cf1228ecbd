// SPDX-License-Identifier: MIT
// The thread's message queue: posted messages, the quit flag and the input that the display
// delivers, routed to windows (focus, capture, hit testing) as messages leave the queue. When
// the queue has run dry, GetMessageW has the display paint and then waits on it for input.
#pragma once

#include <windows.h>

#include "src/display.h"

namespace win32 {

// Raw input as the display delivers it; routed when it leaves the queue.
struct InputEvent {
    // kPaste: text pasted into the focus window as it is (EM_REPLACESEL), the next of the
    // queue's pasted texts; with VK_MBUTTON, into the edit at `point`.
    enum class Type { kKeyDown, kKeyUp, kCharacter, kMouseMove, kMouseButton, kPaste } type;
    UINT virtualKey = 0;  // kMouseButton: VK_LBUTTON or VK_RBUTTON; kPaste: 0 or VK_MBUTTON
    char16_t character = 0;
    POINT point{};
    bool down = false;
};

void QueueInput(const InputEvent& event);
// The sink through which displays deliver input.
InputSink& SystemInputSink();

// Empties the posted messages, the input, the timers and the quit flag.
void ResetMessageQueue();
// Drops the posted messages and the timers of a window being destroyed.
void DiscardMessagesFor(HWND hwnd);
// True when neither posted messages, input nor a quit request are waiting.
bool QueueIsEmpty();

// Window procedures now running; released windows are freed only at depth 0.
int CallDepth();

POINT CursorPosition();

}  // namespace win32
