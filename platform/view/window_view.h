// SPDX-License-Identifier: MIT
// What every window shows, whatever the display draws it with: the account a display paints
// from. It is read from the window system once per painting, so that no display reads window
// internals or control messages of its own, and so that class names, mnemonics, password
// masking and UTF-16 decoding are decided here and nowhere else.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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
    kIcon,         // static icon
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

struct WindowView {
    HWND handle = nullptr;
    ViewKind kind = ViewKind::kOther;
    std::u16string className;  // as registered: "#32770", "Button", "Edit", "Static", ...
    LONG_PTR id = 0;
    std::u16string text;   // the window text as the window reports it (WM_GETTEXT)
    std::u16string shown;  // as drawn: one UTF-16 unit per unit of `text` for edits (see below)
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT window{};  // screen pixels
    RECT client{};  // screen pixels
    bool enabled = true;
    bool focused = false;    // has the keyboard focus
    bool active = false;     // top-level windows: the active window
    bool modal = false;      // top-level windows: a dialog in its modal run
    bool minimized = false;  //
    HWND owner = nullptr;    // top-level windows: the window that owns this one

    // Frames: the caption bar (empty without WS_CAPTION) and its boxes.
    RECT captionBar{};
    std::vector<CaptionBox> captionBoxes;
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
    bool password = false;  // ES_PASSWORD: `shown` is the mask, the only text to tell of it
    // The selection may be offered to other programs (a desktop's primary selection): only in
    // text the program put there, never in what the person typed or pasted (the edit's modify
    // flag) and never in a password edit. Only an explicit copy gives such text away.
    bool shareSelection = false;

    bool hasIcon = false;  // static icons

    // The static text that names this control as a person reads the dialog (edits, whose own
    // text is their content); nullptr for none. A sibling in `children` of the same parent.
    HWND label = nullptr;

    std::vector<WindowView> children;  // visible children, top of the z-order first
};

// The visible top-level windows with their visible children, bottom of the z-order first.
std::vector<WindowView> ViewsOfScreen();

// Text of a static or button as shown: "&x" shows x, "&&" shows "&", a "&" at the end stays.
std::u16string WithoutMnemonics(std::u16string_view text);

}  // namespace win32
