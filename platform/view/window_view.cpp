// SPDX-License-Identifier: MIT
#include "view/window_view.h"

#include <algorithm>

#include "codepages/utf.h"
#include "src/dialog.h"
#include "src/display_manager.h"
#include "src/popup_menu.h"
#include "src/window.h"

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

void ReadCaption(WindowView& view) {
    if ((view.style & WS_CAPTION) != WS_CAPTION) return;
    const LONG frame = view.client.left - view.window.left;
    view.captionBar = RECT{view.window.left + frame, view.window.top + frame,
                           view.window.right - frame, view.client.top};
    if (!(view.style & WS_SYSMENU)) return;
    // Hit testing finds the close box at the right end, then the maximise and the minimise
    // box, each a caption button wide; with either of those both are there, the missing one
    // disabled.
    view.captionBoxes.push_back({{}, u"[X]", true});
    if (view.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) {
        view.captionBoxes.push_back({{}, u"[^]", (view.style & WS_MAXIMIZEBOX) != 0});
        view.captionBoxes.push_back({{}, u"[_]", (view.style & WS_MINIMIZEBOX) != 0});
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

void ReadEdit(WindowView& view) {
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
    view.showSelection = view.focused || (view.style & ES_NOHIDESEL);
    RECT format{};
    SendMessageW(view.handle, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    view.textArea = RECT{view.client.left + format.left, view.client.top + format.top,
                         view.client.left + format.right, view.client.top + format.bottom};
    view.readOnly = (view.style & ES_READONLY) != 0;
    view.password = (view.style & ES_PASSWORD) != 0;
    view.shareSelection =
        !(view.style & ES_PASSWORD) && SendMessageW(view.handle, EM_GETMODIFY, 0, 0) == FALSE;
    // A password edit shows its own character for each one; '*' if it names none.
    const auto mask = static_cast<char16_t>(
        (view.style & ES_PASSWORD) ? SendMessageW(view.handle, EM_GETPASSWORDCHAR, 0, 0) : 0);
    view.shown = (view.style & ES_PASSWORD) ? std::u16string(size, mask != 0 ? mask : u'*')
                                            : VisibleControls(WithoutLoneSurrogates(view.text));
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
    view.style = window->style;
    view.exStyle = window->exStyle;
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
                                    (view.style & WS_CAPTION) == WS_CAPTION);
    view.text = TextOf(hwnd);
    if ((window = FindWindow(hwnd)) == nullptr) return view;  // gone while answering

    switch (view.kind) {
        case ViewKind::kFrame:
            view.shown = WithoutLoneSurrogates(view.text);
            ReadCaption(view);
            break;
        case ViewKind::kMenu:
            ReadMenu(view);
            break;
        case ViewKind::kEdit:
            ReadEdit(view);
            break;
        case ViewKind::kIcon:
            view.hasIcon = SendMessageW(hwnd, STM_GETICON, 0, 0) != 0;
            break;
        case ViewKind::kText:
            view.shown = WithoutLoneSurrogates(
                (view.style & SS_NOPREFIX) ? view.text : WithoutMnemonics(view.text));
            break;
        case ViewKind::kPushButton:
        case ViewKind::kCheckBox:
        case ViewKind::kRadioButton:
        case ViewKind::kGroupBox: {
            view.shown = WithoutLoneSurrogates(WithoutMnemonics(view.text));
            const LRESULT state = SendMessageW(hwnd, BM_GETSTATE, 0, 0);
            view.isDefault = view.kind == ViewKind::kPushButton &&
                             (view.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
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
