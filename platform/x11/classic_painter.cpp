// SPDX-License-Identifier: MIT
#include "x11/classic_painter.h"

#include <algorithm>

#include "src/utf.h"
#include "view/rect_math.h"

namespace win32::x11 {

namespace {

// The classic Windows scheme: 3D face, highlight, shadow, dark shadow, window, text, grey text,
// selection and selected text.
constexpr std::uint32_t kScheme[] = {0xD4D0C8, 0xFFFFFF, 0x808080, 0x404040, 0xFFFFFF,
                                     0x000000, 0x808080, 0x0A246A, 0xFFFFFF};

}  // namespace

ClassicPainter::ClassicPainter(::Display* display, Visual* visual, Colormap colormap, XftFont* font,
                               int unit)
    : display_(display), visual_(visual), colormap_(colormap), font_(font), unit_(unit) {
    for (int shade = 0; shade < kShadeCount; ++shade) {
        const std::uint32_t rgb = kScheme[shade];
        XRenderColor value{static_cast<unsigned short>(((rgb >> 16) & 0xFF) * 0x101),
                           static_cast<unsigned short>(((rgb >> 8) & 0xFF) * 0x101),
                           static_cast<unsigned short>((rgb & 0xFF) * 0x101), 0xFFFF};
        XftColorAllocValue(display_, visual_, colormap_, &value, &colors_[shade]);
    }
}

ClassicPainter::~ClassicPainter() {
    for (XftColor& color : colors_) XftColorFree(display_, visual_, colormap_, &color);
    for (auto& [file, font] : standIns_) XftFontClose(display_, font);
}

XftFont* ClassicPainter::FontFor(char32_t c) const {
    if (XftCharExists(display_, font_, c)) return font_;
    if (auto known = fontFor_.find(c); known != fontFor_.end()) return known->second;
    XftFont* chosen = font_;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* characters = FcCharSetCreate();
    FcCharSetAddChar(characters, c);
    FcPatternAddCharSet(pattern, FC_CHARSET, characters);
    FcCharSetDestroy(characters);
    double size = 0;
    if (FcPatternGetDouble(font_->pattern, FC_PIXEL_SIZE, 0, &size) == FcResultMatch)
        FcPatternAddDouble(pattern, FC_PIXEL_SIZE, size);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = XftFontMatch(display_, DefaultScreen(display_), pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* file = nullptr;
    int face = 0;
    FcCharSet* offered = nullptr;
    if (matched != nullptr && FcPatternGetString(matched, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetCharSet(matched, FC_CHARSET, 0, &offered) == FcResultMatch &&
        FcCharSetHasChar(offered, c)) {
        FcPatternGetInteger(matched, FC_INDEX, 0, &face);
        const std::string key = reinterpret_cast<const char*>(file) + (":" + std::to_string(face));
        auto open = standIns_.find(key);
        if (open == standIns_.end()) {
            XftFont* font = XftFontOpenPattern(display_, matched);  // takes `matched`
            matched = nullptr;
            if (font != nullptr) open = standIns_.emplace(key, font).first;
        }
        if (open != standIns_.end()) chosen = open->second;
    }
    if (matched != nullptr) FcPatternDestroy(matched);
    fontFor_.emplace(c, chosen);
    return chosen;
}

void ClassicPainter::ForEachRun(
    std::u16string_view text, const std::function<void(XftFont*, const std::string&)>& run) const {
    std::string utf8;
    XftFont* current = nullptr;
    for (const CodePoint& point : DecodeUtf16(text)) {
        XftFont* font = FontFor(point.value);
        if (font != current && !utf8.empty()) {
            run(current, utf8);
            utf8.clear();
        }
        current = font;
        AppendUtf8(utf8, point.value);
    }
    if (!utf8.empty()) run(current, utf8);
}

// Xft's advance is a short: long text is measured in pieces (cut between characters) and added
// up, so that 32,767 characters measure as wide as they are.
int ClassicPainter::Measure(std::u16string_view text) const {
    constexpr std::size_t kPieceBytes = 1024;
    long width = 0;
    ForEachRun(text, [&](XftFont* font, const std::string& utf8) {
        for (std::size_t begin = 0; begin < utf8.size();) {
            std::size_t end = std::min(begin + kPieceBytes, utf8.size());
            while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
                ++end;
            XGlyphInfo extents{};
            XftTextExtentsUtf8(display_, font,
                               reinterpret_cast<const FcChar8*>(utf8.data() + begin),
                               static_cast<int>(end - begin), &extents);
            width += extents.xOff;
            begin = end;
        }
    });
    return static_cast<int>(std::min<long>(width, 1L << 30));
}

void ClassicPainter::Paint(Drawable target, int width, int height, const WindowView& frame,
                           const Composition& composition) {
    draw_ = XftDrawCreate(display_, target, visual_, colormap_);
    origin_ = POINT{frame.client.left, frame.client.top};
    caret_.reset();
    Fill(0, 0, width, height, kFace);
    if (frame.kind == ViewKind::kMenu) Menu(frame);
    // Children come top of the z-order first; the bottom one is drawn first.
    for (auto child = frame.children.rbegin(); child != frame.children.rend(); ++child)
        Window(*child, composition);
    XftDrawDestroy(draw_);
    draw_ = nullptr;
}

RECT ClassicPainter::Local(RECT screen) const {
    return RECT{screen.left - origin_.x, screen.top - origin_.y, screen.right - origin_.x,
                screen.bottom - origin_.y};
}

void ClassicPainter::Fill(int x, int y, int width, int height, Shade shade) {
    if (width > 0 && height > 0)
        XftDrawRect(draw_, &colors_[shade], x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height));
}

void ClassicPainter::Frame(RECT r, Shade shade) {
    Fill(r.left, r.top, Width(r), unit_, shade);
    Fill(r.left, r.bottom - unit_, Width(r), unit_, shade);
    Fill(r.left, r.top, unit_, Height(r), shade);
    Fill(r.right - unit_, r.top, unit_, Height(r), shade);
}

void ClassicPainter::Edge(RECT r, Shade outerTopLeft, Shade outerBottomRight, Shade innerTopLeft,
                          Shade innerBottomRight) {
    const Shade topLeft[] = {outerTopLeft, innerTopLeft};
    const Shade bottomRight[] = {outerBottomRight, innerBottomRight};
    for (int ring = 0; ring < 2; ++ring, r = Inset(r, unit_)) {
        Fill(r.left, r.top, Width(r) - unit_, unit_, topLeft[ring]);
        Fill(r.left, r.top, unit_, Height(r) - unit_, topLeft[ring]);
        Fill(r.left, r.bottom - unit_, Width(r), unit_, bottomRight[ring]);
        Fill(r.right - unit_, r.top, unit_, Height(r), bottomRight[ring]);
    }
}

// Every other pixel, as DrawFocusRect draws it.
void ClassicPainter::DottedFrame(RECT r) {
    for (int x = r.left; x < r.right; x += 2 * unit_) {
        Fill(x, r.top, unit_, unit_, kText);
        Fill(x, r.bottom - unit_, unit_, unit_, kText);
    }
    for (int y = r.top; y < r.bottom; y += 2 * unit_) {
        Fill(r.left, y, unit_, unit_, kText);
        Fill(r.right - unit_, y, unit_, unit_, kText);
    }
}

// On the dialog font's baseline, whichever font draws each stretch.
void ClassicPainter::Text(int x, int y, std::u16string_view text, Shade shade) {
    ForEachRun(text, [&](XftFont* font, const std::string& utf8) {
        XftDrawStringUtf8(draw_, &colors_[shade], font, x, y + font_->ascent,
                          reinterpret_cast<const FcChar8*>(utf8.data()),
                          static_cast<int>(utf8.size()));
        XGlyphInfo extents{};
        XftTextExtentsUtf8(display_, font, reinterpret_cast<const FcChar8*>(utf8.data()),
                           static_cast<int>(utf8.size()), &extents);
        x += extents.xOff;
    });
}

void ClassicPainter::Label(RECT r, std::u16string_view text, bool enabled, int horizontal) {
    const int width = Measure(text);
    int x = r.left;
    if (horizontal == 0) x += (Width(r) - width) / 2;
    if (horizontal > 0) x = r.right - width;
    const int y = r.top + (Height(r) - font_->ascent - font_->descent) / 2;
    if (!enabled) {
        Text(x + unit_, y + unit_, text, kHighlight);
        Text(x, y, text, kGrayText);
    } else {
        Text(x, y, text, kText);
    }
}

void ClassicPainter::Window(const WindowView& view, const Composition& composition) {
    switch (view.kind) {
        case ViewKind::kPushButton:
            PushButton(view);
            break;
        case ViewKind::kCheckBox:
        case ViewKind::kRadioButton:
            CheckMark(view);
            break;
        case ViewKind::kGroupBox:
            GroupBox(view);
            break;
        case ViewKind::kEdit:
            Edit(view, composition);
            break;
        case ViewKind::kText:
            StaticText(view);
            break;
        case ViewKind::kIcon:
            if (view.icon != nullptr) Icon(Local(view.client), *view.icon);
            break;
        case ViewKind::kStaticFrame:
            Edge(Local(view.window), kShadow, kHighlight, kFace, kFace);
            break;
        case ViewKind::kFrame:
        case ViewKind::kMenu:
        case ViewKind::kOther:
            break;
    }
    for (auto child = view.children.rbegin(); child != view.children.rend(); ++child)
        Window(*child, composition);
}

// A popup menu: raised, its items in the menu's own rectangles, the highlighted one in the
// selection's colours, greyed ones embossed, separators etched, mnemonics underlined.
void ClassicPainter::Menu(const WindowView& menu) {
    Edge(Local(menu.window), kFace, kDarkShadow, kHighlight, kShadow);
    for (const MenuItemView& item : menu.menuItems) {
        const RECT r = Local(item.rect);
        if (item.separator) {
            const int middle = r.top + Height(r) / 2 - unit_;
            Fill(r.left + unit_, middle, Width(r) - 2 * unit_, unit_, kShadow);
            Fill(r.left + unit_, middle + unit_, Width(r) - 2 * unit_, unit_, kHighlight);
            continue;
        }
        if (item.highlighted) Fill(r.left, r.top, Width(r), Height(r), kSelection);
        const int x = r.left + menu.menuTextMargin;
        const int y = r.top + (Height(r) - font_->ascent - font_->descent) / 2;
        Shade shade = item.highlighted ? kSelectedText : kText;
        if (!item.enabled) {
            if (!item.highlighted) Text(x + unit_, y + unit_, item.shown, kHighlight);
            shade = kGrayText;
        }
        Text(x, y, item.shown, shade);
        if (item.mnemonic < item.shown.size()) {
            const std::u16string_view shown = item.shown;
            const int left = x + Measure(shown.substr(0, item.mnemonic));
            Fill(left, y + font_->ascent + unit_, Measure(shown.substr(item.mnemonic, 1)), unit_,
                 shade);
        }
    }
}

void ClassicPainter::PushButton(const WindowView& view) {
    RECT r = Local(view.window);
    Fill(r.left, r.top, Width(r), Height(r), kFace);
    // The default button wears a black ring around its edge.
    if (view.isDefault || view.pushed) {
        Frame(r, kText);
        r = Inset(r, unit_);
    }
    if (view.pushed) {
        Frame(r, kShadow);
    } else {
        Edge(r, kHighlight, kDarkShadow, kFace, kShadow);
    }
    RECT label = Inset(r, 2 * unit_);
    if (view.pushed) label = Offset(label, unit_, unit_);
    Label(label, view.shown, view.enabled, 0);
    if (view.focused) DottedFrame(Inset(r, 3 * unit_));
}

void ClassicPainter::CheckMark(const WindowView& view) {
    const RECT r = Local(view.window);
    const int box = 13 * unit_;
    const RECT mark{r.left, r.top + (Height(r) - box) / 2, r.left + box,
                    r.top + (Height(r) - box) / 2 + box};
    Edge(mark, kShadow, kHighlight, kDarkShadow, kFace);
    Fill(mark.left + 2 * unit_, mark.top + 2 * unit_, box - 4 * unit_, box - 4 * unit_,
         view.enabled ? kWindow : kFace);
    if (view.checked || view.indeterminate) {
        const Shade ink = view.indeterminate || !view.enabled ? kGrayText : kText;
        Fill(mark.left + 4 * unit_, mark.top + 4 * unit_, box - 8 * unit_, box - 8 * unit_, ink);
    }
    RECT label{mark.right + 4 * unit_, r.top, r.right, r.bottom};
    Label(label, view.shown, view.enabled, -1);
    if (view.focused) {
        const int width = Measure(view.shown);
        DottedFrame(RECT{label.left - unit_, label.top, label.left + width + unit_, label.bottom});
    }
}

void ClassicPainter::GroupBox(const WindowView& view) {
    const RECT r = Local(view.window);
    const int top = r.top + (font_->ascent + font_->descent) / 2;
    const RECT etched{r.left, top, r.right, r.bottom};
    Frame(RECT{etched.left, etched.top, etched.right - unit_, etched.bottom - unit_}, kShadow);
    Frame(RECT{etched.left + unit_, etched.top + unit_, etched.right, etched.bottom}, kHighlight);
    if (!view.shown.empty()) {
        const int width = Measure(view.shown);
        Fill(r.left + 7 * unit_, r.top, width + 2 * unit_, font_->ascent + font_->descent, kFace);
        Text(r.left + 8 * unit_, r.top, view.shown, view.enabled ? kText : kGrayText);
    }
}

void ClassicPainter::Edit(const WindowView& view, const Composition& composition) {
    const RECT outer = Local(view.window);
    const RECT client = Local(view.client);
    if (view.edge == FieldEdge::kSunken) {
        Edge(outer, kShadow, kHighlight, kDarkShadow, kFace);
    } else if (view.edge == FieldEdge::kLine) {
        Frame(outer, kText);
    }
    Fill(client.left, client.top, Width(client), Height(client),
         view.enabled && !view.readOnly ? kWindow : kFace);

    // What the input method composes stands at the caret, masked in a password field, with the
    // caret where the input method puts it; it replaces the selection's highlight meanwhile.
    std::u16string_view text = view.shown;
    std::size_t caret = std::min(view.caret, text.size());
    std::size_t composedLow = caret;
    std::size_t composedHigh = caret;
    std::u16string composed;
    if (view.focused && !composition.text.empty()) {
        const std::u16string inserted =
            view.password ? std::u16string(composition.text.size(), view.mask) : composition.text;
        composed =
            std::u16string(text.substr(0, caret)) + inserted + std::u16string(text.substr(caret));
        text = composed;
        composedHigh = caret + inserted.size();
        caret += std::min(composition.caret, inserted.size());
    }

    // Only what fits is drawn, between the margins and clipped to them: X coordinates are 16
    // bits, and text drawn whole would wrap around onto the label. A composition that
    // runs past the right end scrolls the text as typing does.
    const RECT area = IsEmpty(view.textArea) ? client : Local(view.textArea);
    const auto next = [&text](std::size_t index) {
        return index + codepages::utf::DecodeUtf16(text.substr(index)).length;  // a pair is one
    };
    std::size_t first = std::min(view.firstVisible, text.size());
    while (composedHigh > composedLow && first < caret &&
           Measure(text.substr(first, caret - first)) > Width(area))
        first = next(first);
    std::size_t last = first;
    for (int x = 0; last < text.size() && x <= Width(area);) {
        const std::size_t after = next(last);
        x += Measure(text.substr(last, after - last));
        last = after;
    }
    const std::u16string_view shown = text.substr(0, last);
    XRectangle clip{static_cast<short>(area.left), static_cast<short>(client.top),
                    static_cast<unsigned short>(std::max(0, Width(area))),
                    static_cast<unsigned short>(std::max(0, Height(client)))};
    XftDrawSetClipRectangles(draw_, 0, 0, &clip, 1);
    const int lineHeight = font_->ascent + font_->descent;
    // At the top of the text's place, as Windows draws a line; centred without one.
    const int y = IsEmpty(view.textArea)
                      ? client.top + std::max(0, (Height(client) - lineHeight) / 2)
                      : area.top;
    const auto xOf = [&](std::size_t index) {
        index = std::clamp(index, first, shown.size());
        return area.left + Measure(shown.substr(first, index - first));
    };
    const Shade ink = view.enabled ? kText : kGrayText;
    Text(area.left, y, shown.substr(first), ink);
    if (composedHigh > composedLow) {
        const int left = xOf(composedLow);
        Fill(left, y + lineHeight - unit_, xOf(composedHigh) - left, unit_, ink);
    } else if (view.showSelection && view.selectionHigh > view.selectionLow) {
        const std::size_t low = std::max(view.selectionLow, first);
        const std::size_t high = std::min(view.selectionHigh, shown.size());
        if (high > low) {
            const int left = xOf(low);
            Fill(left, y, xOf(high) - left, lineHeight, kSelection);
            Text(left, y, shown.substr(low, high - low), kSelectedText);
        }
    }
    if (view.focused && caret >= first && caret <= last) {
        Fill(xOf(caret), y, unit_, lineHeight, kText);
        caret_ = XPoint{static_cast<short>(xOf(caret)), static_cast<short>(y + font_->ascent)};
    }
    XftDrawSetClip(draw_, nullptr);
}

// The view's lines, one below the other from the top of the client area.
void ClassicPainter::StaticText(const WindowView& view) {
    const RECT r = Local(view.client);
    const int horizontal = view.align == TextAlign::kCenter  ? 0
                           : view.align == TextAlign::kRight ? 1
                                                             : -1;
    const int lineHeight = font_->ascent + font_->descent;
    int y = r.top;
    for (const std::u16string& line : view.lines) {
        if (y >= r.bottom) break;
        Label(RECT{r.left, y, r.right, y + lineHeight}, line, view.enabled, horizontal);
        y += lineHeight;
    }
}

// Blended onto the face colour pixel by pixel: the icons are small.
void ClassicPainter::Icon(RECT r, const IconPixels& icon) {
    const std::uint32_t face = kScheme[kFace];
    for (int y = 0; y < icon.height && r.top + y * unit_ < r.bottom; ++y) {
        for (int x = 0; x < icon.width && r.left + x * unit_ < r.right; ++x) {
            const std::uint32_t pixel = icon.argb[static_cast<std::size_t>(y) * icon.width + x];
            const unsigned alpha = pixel >> 24;
            if (alpha == 0) continue;
            XRenderColor value{};
            unsigned short* channels[] = {&value.red, &value.green, &value.blue};
            for (int c = 0; c < 3; ++c) {
                const int shift = 16 - 8 * c;
                const unsigned mixed =
                    (((pixel >> shift) & 0xFF) * alpha + ((face >> shift) & 0xFF) * (255 - alpha)) /
                    255;
                *channels[c] = static_cast<unsigned short>(mixed * 0x101);
            }
            value.alpha = 0xFFFF;
            // Without RENDER, Xft fills with the pixel value, which a TrueColor visual composes.
            XftColor color{};
            color.color = value;
            color.pixel = (static_cast<unsigned long>(value.red >> 8) << 16) |
                          (static_cast<unsigned long>(value.green >> 8) << 8) | (value.blue >> 8);
            XftDrawRect(draw_, &color, r.left + x * unit_, r.top + y * unit_,
                        static_cast<unsigned>(unit_), static_cast<unsigned>(unit_));
        }
    }
}

}  // namespace win32::x11
