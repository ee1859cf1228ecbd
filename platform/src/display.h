// The display interface: where windows appear and where input comes from. The window system asks
// the display for the screen's geometry, its font metrics and its system metrics, gives it the
// window tree to draw when something changed and the queue has run dry, and waits on it for
// input, which the display delivers through an InputSink.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
};

// A window as a display draws it, read from the window system when painting.
struct WindowView {
    HWND handle = nullptr;
    std::u16string className;  // as registered: "#32770", "Button", "Edit", "Static", ...
    std::u16string text;       // the window text (WM_GETTEXT)
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT window{};  // screen coordinates
    RECT client{};  // screen coordinates
    bool enabled = true;
    bool focused = false;              // has the keyboard focus
    bool active = false;               // top-level windows: the active window
    std::vector<WindowView> children;  // visible children, in tab (z) order
};

// Keyboard modifiers held with a key or a click.
enum Modifiers : unsigned { kNoModifiers = 0, kShift = 1, kControl = 2, kAlt = 4 };

// How a display hands input to the window system. Each call queues input messages for the
// thread; the window system routes them (focus, capture, hit testing) when it takes them.
class InputSink {
public:
    virtual ~InputSink() = default;
    // A key pressed and released, with modifiers held around it (their own key messages too).
    virtual void KeyPress(UINT virtualKey, unsigned modifiers) = 0;
    // Typed text: characters of the US keyboard come as their keys, others as bare WM_CHAR.
    virtual void Text(std::u16string_view text) = 0;
    virtual void MouseMove(POINT screen) = 0;
    virtual void MouseButton(POINT screen, bool down, unsigned modifiers) = 0;
    // Monitors or work areas changed (a terminal was resized).
    virtual void DisplayChanged() = 0;
};

class Display {
public:
    virtual ~Display() = default;
    virtual std::vector<MonitorArea> Monitors() = 0;  // at least one
    virtual FontMetrics DialogFont() = 0;
    virtual int MeasureText(std::u16string_view text) = 0;  // pixels in the dialog font
    virtual SystemMetricsSet Metrics() = 0;
    // Draws the visible top-level windows, bottom of the z-order first.
    virtual void Paint(const std::vector<WindowView>& topLevelWindows) = 0;
    // False for a display that draws nothing when it paints: it then gets an empty list, and the
    // window tree is not read for it after every change.
    virtual bool DrawsWindows() const { return true; }
    // Blocks until input arrived and hands it to `sink`; may return having delivered nothing
    // (e.g. after a signal). Must never busy-wait.
    virtual void WaitForInput(InputSink& sink) = 0;
    virtual void Beep() {}
};

// The ncurses display; nullptr when no terminal display can be had.
std::unique_ptr<Display> MakeTerminalDisplay();

}  // namespace win32
