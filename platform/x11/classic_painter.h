// SPDX-License-Identifier: MIT
// Draws the account of one top-level window in the classic Windows look with Xft: raised push
// buttons with a thicker frame on the default one and a dotted focus rectangle, sunken edit
// fields with their scrolled text, selection and caret, static text and icons, group boxes,
// open menus; disabled windows greyed. The window's own frame and caption are the window
// manager's, so the drawing covers the client area, whose top-left corner is the drawable's
// origin.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/icon_pixels.h"
#include "view/window_view.h"

namespace win32::x11 {

using resources::IconPixels;

// Text an input method is composing: shown at the focused field's caret, underlined, until it is
// committed, as Windows shows an IME's composition in the field.
struct Composition {
    std::u16string text;
    std::size_t caret = 0;  // UTF-16 index into `text`
};

class ClassicPainter {
public:
    // `unit`: the pixels of one line of the look at 96 DPI (2 at 192 DPI), so that edges, dots
    // and the caret keep their weight at any scale.
    ClassicPainter(::Display* display, Visual* visual, Colormap colormap, XftFont* font, int unit);
    ~ClassicPainter();
    ClassicPainter(const ClassicPainter&) = delete;
    ClassicPainter& operator=(const ClassicPainter&) = delete;

    // Pixels `text` takes in the font, and in the fonts that stand in for it where it lacks a
    // character.
    int Measure(std::u16string_view text) const;
    // Paints `frame` and its children onto `target` (its client area, `width` x `height`).
    // `composition` goes into the focused field.
    void Paint(Drawable target, int width, int height, const WindowView& frame,
               const Composition& composition);
    // Where the last painting drew the caret: the left end of its baseline, in the drawable's
    // pixels, which is where an input method places its candidates. None without a caret.
    std::optional<XPoint> caret() const { return caret_; }

private:
    enum Shade {
        kFace,
        kHighlight,
        kShadow,
        kDarkShadow,
        kWindow,
        kText,
        kGrayText,
        kSelection,
        kSelectedText,
        kShadeCount
    };

    void Fill(int x, int y, int width, int height, Shade shade);
    // Two-pixel 3D edge: top-left outer/inner, bottom-right outer/inner.
    void Edge(RECT r, Shade outerTopLeft, Shade outerBottomRight, Shade innerTopLeft,
              Shade innerBottomRight);
    void Frame(RECT r, Shade shade);
    void DottedFrame(RECT r);
    void Text(int x, int y, std::u16string_view text, Shade shade);
    // Text centred in `r`, embossed when disabled.
    void Label(RECT r, std::u16string_view text, bool enabled, int horizontal);
    void Window(const WindowView& view, const Composition& composition);
    void Menu(const WindowView& menu);
    void PushButton(const WindowView& view);
    void CheckMark(const WindowView& view);
    void GroupBox(const WindowView& view);
    void Edit(const WindowView& view, const Composition& composition);
    void StaticText(const WindowView& view);
    void Icon(RECT r, const IconPixels& icon);
    RECT Local(RECT screen) const;
    // The font that draws `c`: the dialog font when it has it, else the best font fontconfig
    // finds that has it, else the dialog font (whose box then shows that it is missing).
    XftFont* FontFor(char32_t c) const;
    // `text` in stretches that one font draws, as UTF-8, in order.
    void ForEachRun(std::u16string_view text,
                    const std::function<void(XftFont*, const std::string&)>& run) const;

    ::Display* display_;
    Visual* visual_;
    Colormap colormap_;
    XftFont* font_;
    int unit_;
    XftColor colors_[kShadeCount]{};
    XftDraw* draw_ = nullptr;  // while painting
    POINT origin_{};
    std::optional<XPoint> caret_;
    mutable std::map<char32_t, XftFont*> fontFor_;      // characters the dialog font lacks
    mutable std::map<std::string, XftFont*> standIns_;  // opened once each, by file and face
};

}  // namespace win32::x11
