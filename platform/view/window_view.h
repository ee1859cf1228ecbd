// SPDX-License-Identifier: MIT
// What every window shows, whatever the display draws it with: the account a display paints
// from, and the only thing it reads of the windows. It is read from the window system once per
// painting, so that no display (nor any other reader, such as an accessibility bridge) calls the
// Win32 API or tests style bits, and so that class names, mnemonics, password masking, text
// wrapping and UTF-16 decoding are decided here and nowhere else. What happened on the screen
// goes back through the display's InputSink.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "resources/icon_pixels.h"

namespace win32 {

// What kind of thing a window is drawn as.
enum class ViewKind {
    kFrame,        // a dialog or other window with a frame or caption
    kPushButton,   // push and default push buttons
    kCheckBox,     // check boxes and three-state boxes
    kRadioButton,  //
    kGroupBox,     //
    kEdit,         // single-line edit field
    kText,         // static text
    kIcon,         // static icon or bitmap
    kStaticFrame,  // static rectangles and frames
    kMenu,         // an open popup menu: the window menu, a context menu
    kOther,        // anything else: a blank area
};

// One of the boxes at the right end of a caption bar, rightmost first.
struct CaptionBox {
    RECT rect{};          // screen pixels
    std::u16string face;  // "[X]", "[^]", "[_]"
    bool enabled = true;
};

// One item of an open menu: a line of text, or a separator.
struct MenuItemView {
    RECT rect{};                                  // screen pixels, inside the menu's frame
    std::u16string shown;                         // without its mnemonic's "&"
    std::size_t mnemonic = std::u16string::npos;  // index in `shown` of the underlined letter
    bool separator = false;
    bool enabled = true;
    bool highlighted = false;
};

// How a line of text sits in its control.
enum class TextAlign { kLeft, kCenter, kRight };

// The line around an edit field.
enum class FieldEdge { kNone, kLine, kSunken };

using IconImage = std::shared_ptr<const resources::IconPixels>;

struct WindowView {
    HWND handle = nullptr;
    ViewKind kind = ViewKind::kOther;
    std::u16string className;  // as registered: "#32770", "Button", "Edit", "Static", ...
    LONG_PTR id = 0;
    // The window text as the window reports it (WM_GETTEXT); of a password edit, its mask: a
    // password never leaves its field.
    std::u16string text;
    std::u16string shown;  // as drawn: one UTF-16 unit per unit of `text` for edits (see below)
    RECT window{};         // screen pixels
    RECT client{};         // screen pixels
    bool enabled = true;
    bool focused = false;    // has the keyboard focus
    bool active = false;     // top-level windows: the active window
    bool modal = false;      // top-level windows: a dialog in its modal run
    bool minimized = false;  //
    HWND owner = nullptr;    // top-level windows: the window it belongs to (an About box's dialog)

    // Frames: the caption bar (empty without one) and its boxes.
    bool caption = false;
    RECT captionBar{};
    std::vector<CaptionBox> captionBoxes;
    // What the frame allows besides moving: the window manager's functions of a desktop.
    bool sizable = false;
    bool closable = false;  // a window menu with Close
    bool minimizable = false;
    bool maximizable = false;
    // The big and the small icon (WM_GETICON); of a static icon or bitmap, its image in `icon`.
    IconImage icon;
    IconImage smallIcon;
    // Menus: the items, top to bottom; the text of an item starts `menuTextMargin` pixels
    // right of its left edge.
    std::vector<MenuItemView> menuItems;
    int menuTextMargin = 0;

    // Buttons.
    bool isDefault = false;  // the push button Enter presses (the default-button look)
    bool pushed = false;     // held down
    bool checked = false;
    bool indeterminate = false;

    // Edits: character indexes into `shown`. The selection shows only where `showSelection`.
    std::size_t selectionLow = 0;
    std::size_t selectionHigh = 0;
    std::size_t caret = 0;
    std::size_t firstVisible = 0;
    bool showSelection = false;
    RECT textArea{};  // screen pixels: where the text is drawn, inside the margins (EM_GETRECT)
    bool readOnly = false;  // ES_READONLY: shown and selectable, never changed by typing
    bool password = false;  // ES_PASSWORD: `shown` and `text` are the mask
    char16_t mask = 0;      // of a password edit, the character shown for each one it holds
    FieldEdge edge = FieldEdge::kNone;
    // The selected text that may be offered to other programs (a desktop's primary selection),
    // empty for none: only text the program put there, never what the person typed or pasted
    // (the edit's modify flag) and never a password. Only an explicit copy gives that away.
    std::u16string sharedSelection;

    // Static text: `shown` broken into the lines that fit the client area in the display's
    // measure of text, and how each line sits in it.
    std::vector<std::u16string> lines;
    TextAlign align = TextAlign::kLeft;

    // The static text that names this control as a person reads the dialog (edits, whose own
    // text is their content); nullptr for none. A sibling in `children` of the same parent.
    HWND label = nullptr;

    std::vector<WindowView> children;  // visible children, top of the z-order first
};

// The visible top-level windows with their visible children, bottom of the z-order first.
std::vector<WindowView> ViewsOfScreen();

// The window among `view`'s descendants that has the keyboard focus, or nullptr.
const WindowView* FocusedWithin(const WindowView& view);
// The window of `views` (top-level windows and their trees) with this handle, or nullptr.
const WindowView* FindView(const std::vector<WindowView>& views, HWND handle);
// The active top-level window of `views`, or nullptr.
const WindowView* ActiveView(const std::vector<WindowView>& views);

// The lines of `text` as they fit in `width`, each line's width told by `measure` (pixels,
// cells: the display's unit). Lines break at "\n" ("\r\n" too), at spaces (which then end
// neither line) and after ideographs, which are written without spaces; a word wider than the
// line is cut where it no longer fits. A width of 0 or less gives no lines.
std::vector<std::u16string> WrapText(std::u16string_view text, int width,
                                     const std::function<int(std::u16string_view)>& measure);

// Text of a static or button as shown: "&x" shows x, "&&" shows "&", a "&" at the end stays.
std::u16string WithoutMnemonics(std::u16string_view text);

}  // namespace win32
