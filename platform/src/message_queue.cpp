// SPDX-License-Identifier: MIT
#include "src/message_queue.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

#include "controls/clipboard.h"
#include "src/display_manager.h"
#include "src/focus.h"
#include "src/keyboard.h"
#include "src/message_trace.h"
#include "src/placement.h"
#include "src/timers.h"
#include "src/window.h"
#include "src/window_system.h"
#include "win32/ansi_procedures.h"

namespace win32 {

namespace {

struct Queue {
    std::deque<MSG> posted;
    std::deque<InputEvent> input;
    std::deque<std::u16string> pastes;  // the texts of kPaste input, in order
    std::u16string pasted;              // the text of the kPaste message last taken
    bool pasting = false;               // that message is the one last taken
    bool quitPending = false;
    int quitCode = 0;
    int callDepth = 0;
    POINT cursor{};
    DWORD lastTime = 0;
    POINT lastPosition{};
    // The last button press that can begin a double click.
    struct Press {
        HWND window = nullptr;
        POINT point{};
        DWORD time = 0;
    } lastPress;
};

// Windows' defaults: GetDoubleClickTime, and SM_CXDOUBLECLK x SM_CYDOUBLECLK centred on the first
// press.
constexpr DWORD kDoubleClickTime = 500;
constexpr int kDoubleClickDistance = 2;

Queue& TheQueue() {
    static Queue* queue = new Queue;
    return *queue;
}

class CallDepthGuard {
public:
    CallDepthGuard() { ++TheQueue().callDepth; }
    ~CallDepthGuard() { --TheQueue().callDepth; }
    CallDepthGuard(const CallDepthGuard&) = delete;
    CallDepthGuard& operator=(const CallDepthGuard&) = delete;
};

bool MatchesFilter(const MSG& msg, HWND filter, UINT first, UINT last) {
    if (filter == reinterpret_cast<HWND>(-1)) {
        if (msg.hwnd != nullptr) return false;
    } else if (filter != nullptr && !IsSelfOrDescendant(filter, msg.hwnd)) {
        return false;
    }
    if (first == 0 && last == 0) return true;
    return msg.message >= first && msg.message <= last;
}

MSG Stamped(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return MSG{hwnd, message, wParam, lParam, GetTickCount(), TheQueue().cursor};
}

WPARAM MouseKeyFlags() {
    WPARAM flags = 0;
    if (IsKeyDown(VK_LBUTTON)) flags |= MK_LBUTTON;
    if (IsKeyDown(VK_RBUTTON)) flags |= MK_RBUTTON;
    if (IsKeyDown(VK_SHIFT)) flags |= MK_SHIFT;
    if (IsKeyDown(VK_CONTROL)) flags |= MK_CONTROL;
    return flags;
}

// Keystrokes go to the focus window; with no focus, to the active window as system keys.
bool RouteKey(const InputEvent& event, MSG& msg) {
    HWND target = GetFocus();
    bool system = false;
    if (target == nullptr) {
        target = GetActiveWindow();
        system = true;
    }
    if (target == nullptr) return false;
    const bool down = event.type == InputEvent::Type::kKeyDown;
    const bool altDown = IsKeyDown(VK_MENU) || (down && event.virtualKey == VK_MENU);
    if (altDown && !IsKeyDown(VK_CONTROL)) system = true;
    if (event.virtualKey == VK_F10) system = true;  // F10 is the menu key
    const bool wasDown = IsKeyDown(event.virtualKey);
    LPARAM lParam = 1;
    if (IsExtendedKey(event.virtualKey)) lParam |= LPARAM{1} << 24;
    if (altDown) lParam |= LPARAM{1} << 29;
    if (!down || wasDown) lParam |= LPARAM{1} << 30;
    if (!down) lParam |= LPARAM{1} << 31;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    msg =
        Stamped(target, message, event.virtualKey, static_cast<LPARAM>(static_cast<DWORD>(lParam)));
    return true;
}

bool RouteCharacter(const InputEvent& event, MSG& msg) {
    HWND target = GetFocus();
    if (target == nullptr) target = GetActiveWindow();
    if (target == nullptr) return false;
    msg = Stamped(target, WM_CHAR, event.character, 1);
    return true;
}

// A button press first activates the window's top-level window (WM_MOUSEACTIVATE decides).
bool ActivateForClick(HWND target, LRESULT hit, UINT message) {
    HWND root = RootOf(target);
    if (root == GetActiveWindow()) return true;
    LRESULT answer = SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(root),
                                  MAKELPARAM(static_cast<WORD>(hit), message));
    if (answer == MA_ACTIVATE || answer == MA_ACTIVATEANDEAT || answer == 0) {
        Activate(root, WA_CLICKACTIVE);
    }
    return answer != MA_ACTIVATEANDEAT && answer != MA_NOACTIVATEANDEAT && IsWindow(target);
}

// A paste from the display is the focused control's WM_PASTE, which takes the display's text
// (TextBeingPasted) instead of the clipboard's: the control decides what of it to keep. One made
// with the pointer goes to the edit under it (a control that takes selections, DLGC_HASSETSEL),
// which a click would focus: it is focused as the paste leaves the queue.
bool RoutePaste(const InputEvent& event, MSG& msg, bool remove) {
    HWND target = GetFocus();
    if (event.virtualKey == VK_MBUTTON) {
        LRESULT hit = HTNOWHERE;
        target = WindowAtPoint(event.point, &hit);
        const Window* root = target != nullptr ? FindWindow(RootOf(target)) : nullptr;
        if (hit != HTCLIENT || root == nullptr || !root->IsEnabled() || !IsWindowEnabled(target) ||
            !(SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
            return false;
        if (remove && !ActivateForClick(target, hit, WM_MBUTTONDOWN)) return false;
        if (remove && GetFocus() != target) SetFocus(target);
        if (!IsWindow(target) || (remove && GetFocus() != target)) return false;
    }
    if (target == nullptr) return false;
    msg = Stamped(target, WM_PASTE, 0, 0);
    return true;
}

// A second press soon after the first, near it, on the same window of a class that asks for
// double clicks; the press after a double click starts afresh.
bool IsDoubleClick(HWND target, POINT point, DWORD time, bool remove) {
    Queue::Press& last = TheQueue().lastPress;
    const Window* window = FindWindow(target);
    const bool wanted = window != nullptr && window->windowClass != nullptr &&
                        (window->windowClass->style & CS_DBLCLKS) != 0;
    const bool isDouble = wanted && last.window == target && time - last.time <= kDoubleClickTime &&
                          std::abs(point.x - last.point.x) <= kDoubleClickDistance &&
                          std::abs(point.y - last.point.y) <= kDoubleClickDistance;
    if (remove) last = isDouble ? Queue::Press{} : Queue::Press{target, point, time};
    return isDouble;
}

bool RouteMouse(const InputEvent& event, MSG& msg, bool remove) {
    TheQueue().cursor = event.point;
    LRESULT hit = HTCLIENT;
    HWND target = GetCapture();
    if (target == nullptr) target = WindowAtPoint(event.point, &hit);
    if (target == nullptr) return false;
    const bool button = event.type == InputEvent::Type::kMouseButton;
    // A window disabled by a modal dialog gets no mouse input; a press rings the bell.
    Window* root = FindWindow(RootOf(target));
    if (root == nullptr || !root->IsEnabled()) {
        if (button && event.down && remove) MessageBeep(MB_OK);
        return false;
    }
    // The client-area message; the non-client one is WM_NCMOUSEMOVE - WM_MOUSEMOVE below it.
    const bool right = event.virtualKey == VK_RBUTTON;
    UINT message = WM_MOUSEMOVE;
    if (button) {
        message = right ? (event.down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                        : (event.down ? WM_LBUTTONDOWN : WM_LBUTTONUP);
    }
    if (button && event.down && remove && !ActivateForClick(target, hit, message)) return false;
    if (button && remove) SetKeyDown(right ? VK_RBUTTON : VK_LBUTTON, event.down);
    if (hit == HTCLIENT) {
        POINT origin = ClientOrigin(target);
        LPARAM position = MAKELPARAM(static_cast<WORD>(event.point.x - origin.x),
                                     static_cast<WORD>(event.point.y - origin.y));
        msg = Stamped(target, message, MouseKeyFlags(), position);
        if (button && !right && event.down && IsDoubleClick(target, event.point, msg.time, remove))
            msg.message = WM_LBUTTONDBLCLK;
    } else {
        LPARAM position =
            MAKELPARAM(static_cast<WORD>(event.point.x), static_cast<WORD>(event.point.y));
        msg = Stamped(target, message - WM_MOUSEMOVE + WM_NCMOUSEMOVE, static_cast<WPARAM>(hit),
                      position);
    }
    return true;
}

bool Route(const InputEvent& event, MSG& msg, bool remove) {
    switch (event.type) {
        case InputEvent::Type::kKeyDown:
        case InputEvent::Type::kKeyUp:
            return RouteKey(event, msg);
        case InputEvent::Type::kCharacter:
            return RouteCharacter(event, msg);
        case InputEvent::Type::kMouseMove:
        case InputEvent::Type::kMouseButton:
            return RouteMouse(event, msg, remove);
        case InputEvent::Type::kPaste:
            return RoutePaste(event, msg, remove);
    }
    return false;
}

// Retrieval order as on Windows: posted messages, then the quit request (which ignores the
// filter), then input.
bool TakeMessage(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
    Queue& queue = TheQueue();
    if (remove) queue.pasting = false;
    auto posted = std::find_if(queue.posted.begin(), queue.posted.end(), [&](const MSG& msg) {
        return MatchesFilter(msg, filter, first, last);
    });
    if (posted != queue.posted.end()) {
        *out = *posted;
        if (remove) queue.posted.erase(posted);
        return true;
    }
    if (queue.quitPending) {
        *out = Stamped(nullptr, WM_QUIT, static_cast<WPARAM>(queue.quitCode), 0);
        if (remove) queue.quitPending = false;
        return true;
    }
    while (!queue.input.empty()) {
        InputEvent event = queue.input.front();
        MSG msg{};
        const bool routed = Route(event, msg, remove);
        if (routed && !MatchesFilter(msg, filter, first, last)) return false;
        if (event.type == InputEvent::Type::kPaste && (remove || !routed)) {
            // The text lives on until the message taken with it has been handled.
            queue.pasted = std::move(queue.pastes.front());
            queue.pastes.pop_front();
            queue.pasting = routed;
        }
        if (!routed) {
            queue.input.pop_front();  // nobody to receive it
            continue;
        }
        if (remove) {
            queue.input.pop_front();
            if (event.type == InputEvent::Type::kKeyDown ||
                event.type == InputEvent::Type::kKeyUp) {
                SetKeyDown(event.virtualKey, event.type == InputEvent::Type::kKeyDown);
            }
        }
        *out = msg;
        return true;
    }
    return TakeTimerMessage(
        out, [&](const MSG& msg) { return MatchesFilter(msg, filter, first, last); }, remove);
}

void NoteRetrieved(const MSG& msg) {
    TheQueue().lastTime = msg.time;
    TheQueue().lastPosition = msg.pt;
}

// The queue has run dry: let the display paint, then wait for it to deliver input.
void WaitForInput() {
    if (TheQueue().callDepth == 0) CollectReleasedWindows();
    PaintIfDirty();
    Display* display = CurrentDisplay();
    if (display == nullptr) {
        throw InputExhausted(
            "the program waits for input, but there is no display (set WIN32_DISPLAY)");
    }
    // A timer wakes the program as input does.
    display->WaitForInput(SystemInputSink(), MillisecondsToNextTimer());
}

class SinkToQueue : public InputSink {
public:
    void KeyPress(UINT virtualKey, unsigned modifiers) override {
        PressModifiers(modifiers, true);
        QueueInput({InputEvent::Type::kKeyDown, virtualKey});
        QueueInput({InputEvent::Type::kKeyUp, virtualKey});
        PressModifiers(modifiers, false);
    }

    void Text(std::u16string_view text) override {
        for (char16_t c : text) {
            if (auto stroke = KeyForCharacter(c)) {
                KeyPress(stroke->virtualKey, stroke->shift ? kShift : kNoModifiers);
            } else {
                QueueInput({InputEvent::Type::kCharacter, 0, c});
            }
        }
    }

    void Paste(std::u16string_view text) override {
        TheQueue().pastes.emplace_back(text);
        QueueInput({InputEvent::Type::kPaste});
    }

    void PasteAt(POINT screen, std::u16string_view text) override {
        TheQueue().pastes.emplace_back(text);
        QueueInput({InputEvent::Type::kPaste, VK_MBUTTON, 0, screen});
    }

    void MouseMove(POINT screen) override {
        QueueInput({InputEvent::Type::kMouseMove, 0, 0, screen});
    }

    void MouseButton(POINT screen, MouseKey button, bool down, unsigned modifiers) override {
        if (down) PressModifiers(modifiers, true);
        QueueInput({InputEvent::Type::kMouseButton,
                    button == MouseKey::kRight ? UINT{VK_RBUTTON} : UINT{VK_LBUTTON}, 0, screen,
                    down});
        if (!down) PressModifiers(modifiers, false);
    }

    void DisplayChanged() override {
        MarkDirty();
        KeepWindowsInWorkAreas();
        std::vector<HWND> windows = TopLevelWindows();
        std::vector<MonitorArea> monitors = CurrentMonitors();
        LPARAM size = monitors.empty()
                          ? 0
                          : MAKELPARAM(monitors[0].monitor.right - monitors[0].monitor.left,
                                       monitors[0].monitor.bottom - monitors[0].monitor.top);
        for (HWND hwnd : windows) {
            if (IsWindow(hwnd)) SendMessageW(hwnd, WM_DISPLAYCHANGE, 32, size);
        }
    }

    // Posted as the shell posts its system commands, so that they come in order with the input.
    void Request(HWND hwnd, WindowRequest request) override {
        if (!IsWindow(hwnd)) return;
        switch (request) {
            case WindowRequest::kClose:
                // A window disabled by a modal dialog refuses to close, as its close box does.
                if (IsWindowEnabled(hwnd)) {
                    PostMessageW(hwnd, WM_CLOSE, 0, 0);
                } else {
                    Beep();
                }
                break;
            case WindowRequest::kMinimize:
                PostMessageW(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
                break;
            case WindowRequest::kRestore:
                PostMessageW(hwnd, WM_SYSCOMMAND, SC_RESTORE, 0);
                break;
            case WindowRequest::kActivate:
                if (IsWindowEnabled(hwnd) && GetActiveWindow() != hwnd) SetForegroundWindow(hwnd);
                break;
        }
    }

    void ClipboardTaken() override { controls::ClipboardTakenElsewhere(); }
    void ClipboardOffersText(bool offers) override { controls::SetTextElsewhere(offers); }

private:
    static void PressModifiers(unsigned modifiers, bool down) {
        const UINT keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
        const unsigned bits[] = {kShift, kControl, kAlt};
        for (int i = 0; i < 3; ++i) {
            int k = down ? i : 2 - i;
            if (modifiers & bits[k]) {
                QueueInput({down ? InputEvent::Type::kKeyDown : InputEvent::Type::kKeyUp, keys[k]});
            }
        }
    }
};

}  // namespace

std::optional<std::u16string_view> TextBeingPasted() {
    if (!TheQueue().pasting) return std::nullopt;
    return TheQueue().pasted;
}

void QueueInput(const InputEvent& event) {
    if (event.type == InputEvent::Type::kKeyDown || event.type == InputEvent::Type::kKeyUp) {
        NoteInputKey(event.virtualKey, event.type == InputEvent::Type::kKeyDown);
    }
    TheQueue().input.push_back(event);
}

InputSink& SystemInputSink() {
    static SinkToQueue sink;
    return sink;
}

void ResetMessageQueue() {
    Queue& queue = TheQueue();
    const int callDepth = queue.callDepth;
    queue = Queue{};  // also the cursor and the last press
    queue.callDepth = callDepth;
    ResetKeyState();
    ResetTimers();
}

void DiscardMessagesFor(HWND hwnd) {
    KillTimersOf(hwnd);
    auto& posted = TheQueue().posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(),
                                [hwnd](const MSG& msg) { return msg.hwnd == hwnd; }),
                 posted.end());
}

bool QueueIsEmpty() {
    const Queue& queue = TheQueue();
    return queue.posted.empty() && queue.input.empty() && !queue.quitPending;
}

int CallDepth() { return TheQueue().callDepth; }

POINT CursorPosition() { return TheQueue().cursor; }

LRESULT CallWindow(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, bool messageAnsi) {
    Window* window = CheckWindow(hwnd);
    if (window == nullptr) return 0;
    const Procedure procedure = window->proc;
    if (procedure.proc == nullptr) return 0;
    CallDepthGuard guard;
    return CallProcedure(procedure, messageAnsi, hwnd, message, wParam, lParam);
}

LRESULT SendAnsiMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    TraceMessage(TraceKind::kSent, hwnd, message, wParam, lParam);
    return CallWindow(hwnd, message, wParam, lParam, true);
}

LRESULT CallAnsiWindowProc(WNDPROC proc, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (proc == nullptr) return 0;
    CallDepthGuard guard;
    return CallProcedure(ResolveProcedure(proc, true), true, hwnd, message, wParam, lParam);
}

}  // namespace win32

using win32::TheQueue;

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    win32::TraceMessage(win32::TraceKind::kSent, hWnd, Msg, wParam, lParam);
    return win32::CallWindow(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && win32::CheckWindow(hWnd) == nullptr) return FALSE;
    win32::TraceMessage(win32::TraceKind::kPosted, hWnd, Msg, wParam, lParam);
    TheQueue().posted.push_back(win32::Stamped(hWnd, Msg, wParam, lParam));
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    // Not a message but a flag: GetMessageW makes WM_QUIT of it once nothing else is posted.
    TheQueue().quitPending = true;
    TheQueue().quitCode = nExitCode;
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;) {
        if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) &&
            win32::CheckWindow(hWnd) == nullptr) {
            return -1;
        }
        if (win32::TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
            win32::NoteRetrieved(*lpMsg);
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        }
        win32::WaitForInput();
    }
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) &&
        win32::CheckWindow(hWnd) == nullptr) {
        return FALSE;
    }
    if (TheQueue().callDepth == 0) win32::CollectReleasedWindows();
    const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
    if (!win32::TakeMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, remove)) return FALSE;
    if (remove) win32::NoteRetrieved(*lpMsg);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr) return FALSE;
    UINT charMessage;
    switch (lpMsg->message) {
        case WM_KEYDOWN:
            charMessage = WM_CHAR;
            break;
        case WM_SYSKEYDOWN:
            charMessage = WM_SYSCHAR;
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return TRUE;
        default:
            return FALSE;
    }
    char16_t character = win32::CharacterForKey(static_cast<UINT>(lpMsg->wParam));
    // The character is posted, so it is taken before the key's WM_KEYUP, which is input.
    if (character != 0) {
        TheQueue().posted.push_back(
            win32::Stamped(lpMsg->hwnd, charMessage, character, lpMsg->lParam));
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    win32::TraceMessage(win32::TraceKind::kDispatched, lpMsg->hwnd, lpMsg->message, lpMsg->wParam,
                        lpMsg->lParam);
    // A timer with a procedure calls it instead of the window procedure.
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        reinterpret_cast<TIMERPROC>(lpMsg->lParam)(lpMsg->hwnd, WM_TIMER, lpMsg->wParam,
                                                   GetTickCount());
        return 0;
    }
    if (lpMsg->hwnd == nullptr) return 0;  // a thread message: no window to give it to
    return win32::CallWindow(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam,
                               LPARAM lParam) {
    if (lpPrevWndFunc == nullptr) return 0;
    win32::CallDepthGuard guard;
    return win32::CallProcedure(win32::ResolveProcedure(lpPrevWndFunc, false), false, hWnd, Msg,
                                wParam, lParam);
}

DWORD WINAPI GetMessagePos() {
    POINT pt = TheQueue().lastPosition;
    return static_cast<DWORD>(MAKELONG(pt.x, pt.y));
}

LONG WINAPI GetMessageTime() { return static_cast<LONG>(TheQueue().lastTime); }

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
    if (lpPoint == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpPoint = TheQueue().cursor;
    return TRUE;
}
