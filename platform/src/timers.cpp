// SPDX-License-Identifier: MIT
#include "src/timers.h"

#include <algorithm>
#include <vector>

#include "src/window.h"

namespace win32 {

namespace {

// USER_TIMER_MINIMUM and USER_TIMER_MAXIMUM.
constexpr UINT kShortestInterval = 10;
constexpr UINT kLongestInterval = 0x7FFFFFFF;
// Ids that SetTimer makes for timers without a window count down from here, as on Windows.
constexpr UINT_PTR kFirstThreadTimerId = 0x7FFF;

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    DWORD due;
};

struct Timers {
    std::vector<Timer> list;  // in the order they were set
    UINT_PTR nextThreadId = kFirstThreadTimerId;
};

Timers& TheTimers() {
    static auto* timers = new Timers;
    return *timers;
}

bool IsDue(const Timer& timer, DWORD now) { return static_cast<int>(now - timer.due) >= 0; }

auto Find(HWND hwnd, UINT_PTR id) {
    auto& list = TheTimers().list;
    return std::find_if(list.begin(), list.end(),
                        [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
}

}  // namespace

bool TakeTimerMessage(MSG* out, const std::function<bool(const MSG&)>& wanted, bool remove) {
    const DWORD now = GetTickCount();
    for (Timer& timer : TheTimers().list) {
        if (!IsDue(timer, now)) continue;
        const MSG msg{timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc),
                      now,        {}};
        if (!wanted(msg)) continue;
        *out = msg;
        if (remove) timer.due = now + timer.interval;
        return true;
    }
    return false;
}

int MillisecondsToNextTimer() {
    const auto& list = TheTimers().list;
    if (list.empty()) return -1;
    const DWORD now = GetTickCount();
    int wait = static_cast<int>(kLongestInterval);
    for (const Timer& timer : list)
        wait = std::min(wait, std::max(0, static_cast<int>(timer.due - now)));
    return wait;
}

void KillTimersOf(HWND hwnd) {
    std::erase_if(TheTimers().list, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

void ResetTimers() { TheTimers().list.clear(); }

}  // namespace win32

// A window's timer is known by the window and its id, and set again by the same pair; a timer
// without a window gets an id of its own.
UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    using namespace win32;
    if (hWnd != nullptr && CheckWindow(hWnd) == nullptr) return 0;
    const UINT interval = std::clamp(uElapse, kShortestInterval, kLongestInterval);
    Timers& timers = TheTimers();
    UINT_PTR id = nIDEvent;
    if (hWnd == nullptr) {
        auto existing = Find(nullptr, nIDEvent);
        if (nIDEvent == 0 || existing == timers.list.end()) {
            do {
                id = timers.nextThreadId--;
                if (timers.nextThreadId == 0) timers.nextThreadId = kFirstThreadTimerId;
            } while (Find(nullptr, id) != timers.list.end());
        }
    }
    const Timer timer{hWnd, id, interval, lpTimerFunc, GetTickCount() + interval};
    if (auto existing = Find(hWnd, id); existing != timers.list.end()) {
        *existing = timer;
    } else {
        timers.list.push_back(timer);
    }
    return hWnd != nullptr && id == 0 ? 1 : id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    auto& list = win32::TheTimers().list;
    auto found = win32::Find(hWnd, uIDEvent);
    if (found == list.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    list.erase(found);
    return TRUE;
}
