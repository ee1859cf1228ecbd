// SPDX-License-Identifier: MIT
// The display interface: where windows appear and where input comes from. The window system asks
// the display for the screen's geometry, its font metrics, its system metrics and its rule for
// the width of text, tells it to paint when something changed and the queue has run dry (the
// display reads the account of what each window shows only when it draws), and waits on it for
// input, which the display delivers through an InputSink.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "view/window_view.h"
#include "win32/input_exhausted.h"

namespace win32 {

// One monitor, in virtual-screen pixels. The first monitor a display reports is the primary one.
struct MonitorArea {
    RECT monitor;
    RECT work;  // the part not covered by task bars; inside `monitor`
};

// The dialog font. Dialog base units follow from it as on Windows: x = alphabetWidth / 52
// rounded, y = height.
struct FontMetrics {
    int height;         // tmHeight
    int alphabetWidth;  // width of "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    // How far the first 256 characters reach out of their cells at most, left of the origin
    // and right of the advance (GetCharABCWidths' negative A and C widths); 0 for cells.
    int overhangLeft = 0;
    int overhangRight = 0;
};

// The metrics GetSystemMetrics reports and the non-client geometry is made of. The defaults are
// those of Windows at 96 DPI.
struct SystemMetricsSet {
    int captionHeight = 23;       // SM_CYCAPTION
    int borderWidth = 1;          // SM_CXBORDER, SM_CYBORDER: WS_BORDER
    int dialogFrameWidth = 3;     // SM_CXDLGFRAME, SM_CYDLGFRAME: WS_CAPTION, WS_DLGFRAME
    int sizeFrameWidth = 4;       // SM_CXFRAME, SM_CYFRAME: WS_THICKFRAME
    int edgeWidth = 2;            // SM_CXEDGE, SM_CYEDGE: WS_EX_CLIENTEDGE
    int captionButtonWidth = 36;  // SM_CXSIZE: the close and minimise boxes
    int iconWidth = 32;           // SM_CXICON, SM_CYICON
    int smallIconWidth = 16;      // SM_CXSMICON, SM_CYSMICON
    int minimizedWidth = 160;     // SM_CXMINIMIZED
    int minimizedHeight = 28;     // SM_CYMINIMIZED
    int keyboardMoveX = 8;        // pixels an arrow key moves a window being moved
    int keyboardMoveY = 8;
    // Popup menus (the window menu, an edit's context menu): the frame around the items, an
    // item's least height (it is at least the font's height and 4), a separator's height, and
    // the room left and right of an item's text.
    int menuFrameWidth = 3;
    int menuItemHeight = 19;
    int menuSeparatorHeight = 9;
    int menuTextMargin = 17;
};

// Keyboard modifiers held with a key or a click.
enum Modifiers : unsigned { kNoModifiers = 0, kShift = 1, kControl = 2, kAlt = 4 };

// What the person did to a top-level window by the display's own means (a window manager's
// close button, its task bar, a terminal's task bar entry). The window system decides what
// follows, as Windows does for its caption and task bar.
enum class WindowRequest {
    kClose,     // the close button: WM_CLOSE, or the bell when the window is disabled
    kMinimize,  // the window was minimised (SC_MINIMIZE)
    kRestore,   // show a minimised window again (SC_RESTORE)
    kActivate,  // it got the desktop's focus: it becomes the foreground window if enabled
};

// The mouse buttons the window system takes: the left one clicks, selects and drags; the right
// one asks for a context menu.
enum class MouseKey { kLeft, kRight };

// How a display hands input to the window system. Each call queues input messages for the
// thread; the window system routes them (focus, capture, hit testing) when it takes them.
// This and the view are all a display knows of the windows: it calls no Win32 function.
class InputSink {
public:
    virtual ~InputSink() = default;
    // A key pressed and released, with modifiers held around it (their own key messages too).
    virtual void KeyPress(UINT virtualKey, unsigned modifiers) = 0;
    // Typed text: characters of the US keyboard come as their keys, others as bare WM_CHAR.
    virtual void Text(std::u16string_view text) = 0;
    // Pasted text: goes into the focused control as it is (EM_REPLACESEL), never as keys, so a
    // tab or control character in it neither moves the focus nor presses a button.
    virtual void Paste(std::u16string_view text) = 0;
    // Pasted with the pointer (X11's middle button): into the edit under `screen`, which takes
    // the focus as a click gives it; over anything else nothing happens.
    virtual void PasteAt(POINT screen, std::u16string_view text) = 0;
    virtual void MouseMove(POINT screen) = 0;
    virtual void MouseButton(POINT screen, MouseKey button, bool down, unsigned modifiers) = 0;
    // Monitors or work areas changed (a terminal was resized).
    virtual void DisplayChanged() = 0;
    // The person closed, minimised, restored or activated `window` by the display's own means.
    virtual void Request(HWND window, WindowRequest request) = 0;
    // Another program took the user's clipboard: what this program copied is no longer there.
    virtual void ClipboardTaken() = 0;
    // Whether another program's copy on the user's clipboard is text, which the display can
    // fetch for a paste (RequestClipboardPaste).
    virtual void ClipboardOffersText(bool offers) = 0;
};

class Display {
public:
    virtual ~Display() = default;
    virtual std::vector<MonitorArea> Monitors() = 0;  // at least one
    virtual FontMetrics DialogFont() = 0;
    // Pixels `text` takes in the dialog font: the one rule for the width of text, which the
    // edit control's caret, selection and scrolling follow.
    virtual int MeasureText(std::u16string_view text) = 0;
    virtual SystemMetricsSet Metrics() = 0;
    // Something visible changed. `screen` gives the visible top-level windows, bottom of the
    // z-order first; a display calls it only when it actually draws.
    virtual void Paint(const std::function<std::vector<WindowView>()>& screen) = 0;
    // Blocks until input arrived and hands it to `sink`, or until `timeout` milliseconds have
    // passed (-1: no limit; a timer is due then); may return having delivered nothing (e.g.
    // after a signal). Must never busy-wait. Throws InputExhausted when no input can ever come
    // (a script that has run out) and there is no time limit.
    virtual void WaitForInput(InputSink& sink, int timeout) = 0;
    virtual void Beep() {}
    // Text the program copied or cut: a display that reaches the user's clipboard puts it
    // there too.
    virtual void PublishClipboardText(std::u16string_view) {}
    // Asks for the text another program put on the user's clipboard, which comes later as a
    // paste; false when there is none to ask for.
    virtual bool RequestClipboardPaste() { return false; }
    // The program is about to end: what must outlive it (the clipboard) is handed on.
    virtual void ProgramEnds() {}
};

// The exit status of a program whose display can never give it input (a headless script that
// ran out): it was left waiting with its windows open.
inline constexpr int kExitNoInput = 66;

// The display the program runs on, chosen from WIN32_DISPLAY and the environment; nullptr for
// none. Defined where the displays are put together, at the edge of the platform.
std::unique_ptr<Display> ChooseDisplay();

}  // namespace win32
