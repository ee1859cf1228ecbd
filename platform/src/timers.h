// SPDX-License-Identifier: MIT
// SetTimer's timers, as the message queue sees them: a due timer gives one WM_TIMER when nothing
// else waits, and is due again its interval after that message was taken.
#pragma once

#include <windows.h>

#include <functional>

namespace win32 {

// The WM_TIMER of a due timer that is wanted (lParam: its TIMERPROC, if any).
bool TakeTimerMessage(MSG* out, const std::function<bool(const MSG&)>& wanted, bool remove);
// Milliseconds until the next timer is due (0 when one is), -1 without timers.
int MillisecondsToNextTimer();
void KillTimersOf(HWND hwnd);
void ResetTimers();

}  // namespace win32
