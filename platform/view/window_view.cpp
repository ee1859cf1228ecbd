// SPDX-License-Identifier: MIT
#include "view/window_view.h"

#include <algorithm>
#include <climits>

#include "codepages/utf.h"
#include "src/bitmaps.h"
#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/icons.h"
#include "src/popup_menu.h"
#include "src/window.h"
#include "src/window_move.h"
#include "src/window_system.h"

namespace win32 {

namespace {

bool SameClassName(std::u16string_view a, std::u16string_view b) {
    auto fold = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&fold](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

// Lone surrogates become U+FFFD; every unit keeps its index.
std::u16string WithoutLoneSurrogates(std::u16string text) {
    for (std::size_t i = 0; i < text.size();) {
        const codepages::utf::Decoded decoded =
            codepages::utf::DecodeUtf16(std::u16string_view(text).substr(i));
        if (decoded.malformed) text[i] = codepages::utf::kReplacement;
        i += decoded.length;
    }
    return text;
}

// A single-line field shows control characters as their pictures (U+2400 ...), one per unit,
// so that a pasted tab or escape is visible and takes a cell of its own.
std::u16string VisibleControls(std::u16string text) {
    for (char16_t& unit : text) {
        if (unit < 0x20) unit = static_cast<char16_t>(0x2400 + unit);
        if (unit == 0x7F) unit = 0x2421;
    }
    return text;
}

ViewKind KindOf(const Window& window, bool framed) {
    const std::u16string& name = window.windowClass->name;
    if (name == u"#32768") return ViewKind::kMenu;
    if (framed) return ViewKind::kFrame;
    if (SameClassName(name, u"Button")) {
        switch (window.style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                return ViewKind::kGroupBox;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
                return ViewKind::kCheckBox;
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return ViewKind::kRadioButton;
            default:
                return ViewKind::kPushButton;
        }
    }
    if (SameClassName(name, u"Edit")) return ViewKind::kEdit;
    if (SameClassName(name, u"Static")) {
        switch (window.style & SS_TYPEMASK) {
            case SS_ICON:
            case SS_BITMAP:
                return ViewKind::kIcon;
            case SS_BLACKFRAME:
            case SS_GRAYFRAME:
            case SS_WHITEFRAME:
            case SS_ETCHEDFRAME:
                return ViewKind::kStaticFrame;
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT:
            case SS_SIMPLE:
            case SS_LEFTNOWORDWRAP:
                return ViewKind::kText;
            default:
                return ViewKind::kOther;
        }
    }
    return ViewKind::kOther;
}

// The text as the window reports it: controls may keep their own.
std::u16string TextOf(HWND hwnd) {
    std::u16string text;
    const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0 || !IsWindow(hwnd)) return text;
    text.resize(static_cast<std::size_t>(length) + 1);
    const LRESULT copied =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(std::clamp<LRESULT>(copied, 0, length)));
    return text;
}

IconImage IconOf(HWND hwnd, UINT message, WPARAM which) {
    return IconPixelsOf(reinterpret_cast<HICON>(SendMessageW(hwnd, message, which, 0)));
}

void ReadFrame(WindowView& view, DWORD style) {
    view.sizable = (style & WS_THICKFRAME) != 0;
    view.closable = (style & WS_SYSMENU) != 0;
    view.minimizable = (style & WS_MINIMIZEBOX) != 0;
    view.maximizable = (style & WS_MAXIMIZEBOX) != 0;
    view.caption = (style & WS_CAPTION) == WS_CAPTION;
    if (!view.caption) return;
    const LONG frame = view.client.left - view.window.left;
    view.captionBar = RECT{view.window.left + frame, view.window.top + frame,
                           view.window.right - frame, view.client.top};
    if (!view.closable) return;
    // Hit testing finds the close box at the right end, then the maximise and the minimise
    // box, each a caption button wide; with either of those both are there, the missing one
    // disabled.
    view.captionBoxes.push_back({{}, u"[X]", true});
    if (view.minimizable || view.maximizable) {
        view.captionBoxes.push_back({{}, u"[^]", view.maximizable});
        view.captionBoxes.push_back({{}, u"[_]", view.minimizable});
    }
    const int width = CurrentMetrics().captionButtonWidth;
    LONG right = view.captionBar.right;
    for (CaptionBox& box : view.captionBoxes) {
        box.rect = RECT{right - width, view.captionBar.top, right, view.captionBar.bottom};
        right -= width;
    }
}

void ReadMenu(WindowView& view) {
    const OpenMenu* menu = CurrentMenu();
    if (menu == nullptr || menu->window != view.handle) return;
    view.menuTextMargin = CurrentMetrics().menuTextMargin;
    for (std::size_t i = 0; i < menu->items.size() && i < menu->rects.size(); ++i) {
        const MenuItem& item = menu->items[i];
        MenuItemView shown{menu->rects[i], WithoutMnemonics(item.text)};
        // The letter after the first lone "&": as many "&&" pairs before it, fewer shown.
        for (std::size_t at = 0, removed = 0; at + 1 < item.text.size(); ++at) {
            if (item.text[at] != u'&') continue;
            if (item.text[at + 1] != u'&') {
                shown.mnemonic = at - removed;
                break;
            }
            ++at;
            ++removed;
        }
        shown.separator = item.IsSeparator();
        shown.enabled = item.enabled;
        shown.highlighted = i == menu->highlighted;
        view.menuItems.push_back(std::move(shown));
    }
}

void ReadEdit(WindowView& view, DWORD style, DWORD exStyle) {
    DWORD start = 0, end = 0;
    SendMessageW(view.handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::size_t size = view.text.size();
    view.selectionLow = std::min<std::size_t>(std::min(start, end), size);
    view.selectionHigh = std::min<std::size_t>(std::max(start, end), size);
    view.caret = std::min<std::size_t>(static_cast<std::size_t>(std::max<LRESULT>(
                                           0, SendMessageW(view.handle, EM_GETCARETINDEX, 0, 0))),
                                       size);
    view.firstVisible =
        std::min<std::size_t>(static_cast<std::size_t>(std::max<LRESULT>(
                                  0, SendMessageW(view.handle, EM_GETFIRSTVISIBLELINE, 0, 0))),
                              size);
    view.showSelection = view.focused || (style & ES_NOHIDESEL);
    RECT format{};
    SendMessageW(view.handle, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    view.textArea = RECT{view.client.left + format.left, view.client.top + format.top,
                         view.client.left + format.right, view.client.top + format.bottom};
    view.readOnly = (style & ES_READONLY) != 0;
    view.password = (style & ES_PASSWORD) != 0;
    view.edge = (exStyle & WS_EX_CLIENTEDGE) ? FieldEdge::kSunken
                : (style & WS_BORDER)        ? FieldEdge::kLine
                                             : FieldEdge::kNone;
    if (view.password) {
        // Shown as its own character for each one ('*' if it names none), and nothing else of
        // it leaves the field.
        const auto mask =
            static_cast<char16_t>(SendMessageW(view.handle, EM_GETPASSWORDCHAR, 0, 0));
        view.mask = mask != 0 ? mask : u'*';
        view.text = view.shown = std::u16string(size, view.mask);
        return;
    }
    view.shown = VisibleControls(WithoutLoneSurrogates(view.text));
    if (view.showSelection && view.selectionHigh > view.selectionLow &&
        SendMessageW(view.handle, EM_GETMODIFY, 0, 0) == FALSE) {
        view.sharedSelection =
            view.text.substr(view.selectionLow, view.selectionHigh - view.selectionLow);
    }
}

// Static text: SS_LEFT, SS_CENTER and SS_RIGHT wrap at the client's width, the others keep
// each line whole.
void ReadText(WindowView& view, DWORD style) {
    view.shown =
        WithoutLoneSurrogates((style & SS_NOPREFIX) ? view.text : WithoutMnemonics(view.text));
    const DWORD type = style & SS_TYPEMASK;
    view.align = type == SS_CENTER  ? TextAlign::kCenter
                 : type == SS_RIGHT ? TextAlign::kRight
                                    : TextAlign::kLeft;
    const bool wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
    view.lines = WrapText(view.shown, wraps ? view.client.right - view.client.left : INT_MAX,
                          [](std::u16string_view line) { return MeasureText(line); });
}

bool OverlapVertically(const RECT& a, const RECT& b) {
    return a.top < b.bottom && b.top < a.bottom;
}

// Names each edit by the static text a person reads it by: the nearest one on its row, to its
// left. Windows' own rule takes the static just before the edit in the z-order, which in a
// template listing both labels before both edits names the account field by the password's
// label; that rule is kept only for an edit with no label on its row.
void FindLabels(std::vector<WindowView>& children) {
    for (std::size_t i = 0; i < children.size(); ++i) {
        WindowView& edit = children[i];
        if (edit.kind != ViewKind::kEdit) continue;
        const WindowView* best = nullptr;
        for (const WindowView& text : children) {
            if (text.kind != ViewKind::kText || text.shown.empty()) continue;
            if (!OverlapVertically(text.window, edit.window) ||
                text.window.left >= edit.window.left)
                continue;
            if (best == nullptr || text.window.right > best->window.right) best = &text;
        }
        for (std::size_t j = i; best == nullptr && j-- > 0;) {
            if (children[j].kind == ViewKind::kText && !children[j].shown.empty())
                best = &children[j];
        }
        if (best != nullptr) edit.label = best->handle;
    }
}

WindowView ViewOf(HWND hwnd, bool topLevel) {
    Window* window = FindWindow(hwnd);
    WindowView view;
    view.handle = hwnd;
    view.className = window->windowClass->name;
    view.id = window->id;
    const DWORD style = window->style, exStyle = window->exStyle;
    view.window = WindowRectOnScreen(*window);
    view.client = ClientRectOnScreen(*window);
    view.enabled = window->IsEnabled();
    view.minimized = window->IsMinimized();
    if (topLevel) view.owner = window->owner;
    view.focused = GetFocus() == hwnd;
    view.active = GetActiveWindow() == hwnd;
    const DialogState* dialog = DialogOf(hwnd);
    view.modal = topLevel && dialog != nullptr && dialog->modal;
    view.kind = KindOf(*window, topLevel || SameClassName(view.className, u"#32770") ||
                                    (style & WS_CAPTION) == WS_CAPTION);
    view.text = TextOf(hwnd);
    if ((window = FindWindow(hwnd)) == nullptr) return view;  // gone while answering

    switch (view.kind) {
        case ViewKind::kFrame:
            view.shown = WithoutLoneSurrogates(view.text);
            ReadFrame(view, style);
            if (topLevel) {
                view.icon = IconOf(hwnd, WM_GETICON, ICON_BIG);
                view.smallIcon = IconOf(hwnd, WM_GETICON, ICON_SMALL);
            }
            break;
        case ViewKind::kMenu:
            ReadMenu(view);
            break;
        case ViewKind::kEdit:
            ReadEdit(view, style, exStyle);
            break;
        case ViewKind::kIcon:
            if ((style & SS_TYPEMASK) == SS_BITMAP)
                view.icon = BitmapPixelsOf(
                    reinterpret_cast<HBITMAP>(SendMessageW(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0)));
            else
                view.icon = IconOf(hwnd, STM_GETICON, 0);
            break;
        case ViewKind::kText:
            ReadText(view, style);
            break;
        case ViewKind::kPushButton:
        case ViewKind::kCheckBox:
        case ViewKind::kRadioButton:
        case ViewKind::kGroupBox: {
            view.shown = WithoutLoneSurrogates(WithoutMnemonics(view.text));
            const LRESULT state = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
            view.isDefault =
                view.kind == ViewKind::kPushButton && (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            view.pushed = (state & BST_PUSHED) != 0;
            const LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
            view.checked = check == BST_CHECKED;
            view.indeterminate = check == BST_INDETERMINATE;
            view.focused = view.focused || (state & BST_FOCUS);
            break;
        }
        case ViewKind::kStaticFrame:
        case ViewKind::kOther:
            break;
    }
    if ((window = FindWindow(hwnd)) == nullptr) return view;
    const std::vector<HWND> children = window->children;
    for (HWND child : children) {
        const Window* candidate = FindWindow(child);
        if (candidate != nullptr && candidate->IsVisible())
            view.children.push_back(ViewOf(child, false));
    }
    FindLabels(view.children);
    return view;
}

}  // namespace

std::vector<WindowView> ViewsOfScreen() {
    std::vector<WindowView> views;
    const std::vector<HWND> topLevel = TopLevelWindows();
    for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it) {
        const Window* window = FindWindow(*it);
        if (window != nullptr && window->IsVisible()) views.push_back(ViewOf(*it, true));
    }
    return views;
}

const WindowView* FocusedWithin(const WindowView& view) {
    for (const WindowView& child : view.children) {
        if (child.focused) return &child;
        if (const WindowView* found = FocusedWithin(child)) return found;
    }
    return nullptr;
}

const WindowView* FindView(const std::vector<WindowView>& views, HWND handle) {
    for (const WindowView& view : views) {
        if (view.handle == handle) return &view;
        if (const WindowView* found = FindView(view.children, handle)) return found;
    }
    return nullptr;
}

const WindowView* ActiveView(const std::vector<WindowView>& views) {
    for (const WindowView& view : views) {
        if (view.active) return &view;
    }
    return nullptr;
}

std::u16string WithoutMnemonics(std::u16string_view text) {
    std::u16string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

}  // namespace win32
