// SPDX-License-Identifier: MIT
// The X11 display: one X window per visible top-level window, sized to its client area and
// painted in the classic look; the window manager draws the frame and caption, closes the window
// with WM_DELETE_WINDOW (a WM_CLOSE here), gives the focus and minimises. Keys go through the
// input method (XIM), whose composition shows in the focused field and which is told where the
// caret is; clicks and drags come as mouse input at the client's screen pixels, copy and
// cut own CLIPBOARD, a selection in a field owns PRIMARY, Ctrl+V (and the context menu's Paste,
// enabled while another program's copy is text) pastes what CLIPBOARD holds, and the middle
// button pastes PRIMARY into the field under the pointer.
#include "x11/x11_display.h"

#include <X11/Xatom.h>
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

// Xlib's event type KeyPress would rename the input sink's method of that name.
constexpr int kKeyPressEvent = KeyPress;
#undef KeyPress

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <optional>

#include "src/utf.h"
#include "view/rect_math.h"
#include "x11/atspi/accessibility_bridge.h"
#include "x11/classic_painter.h"
#include "x11/selections.h"

namespace win32 {

namespace x11 {

namespace {

constexpr char kClass[] = "credcipher";
constexpr long kWindowEvents = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                               ButtonReleaseMask | Button1MotionMask | FocusChangeMask |
                               StructureNotifyMask | PropertyChangeMask;

[[noreturn]] int ConnectionLost(::Display*) {
    std::fprintf(stderr, "%s: the X server closed the connection\n", program_invocation_short_name);
    std::_Exit(IDCANCEL);
}

// Requests that race with the window manager (a focus on a window just unmapped) may fail; none
// of them is worth ending the program for.
int IgnoreError(::Display*, XErrorEvent*) { return 0; }

// Pixels per line of the classic look: 1 at 96 DPI, 2 at 192, as Xft.dpi scales the font.
int LineUnit(::Display* display) {
    const char* dpi = XGetDefault(display, "Xft", "dpi");
    const double value = dpi != nullptr ? std::atof(dpi) : 96.0;
    return std::max(1, static_cast<int>(std::lround(value / 96.0)));
}

unsigned ModifiersOf(unsigned state) {
    unsigned modifiers = kNoModifiers;
    if (state & ShiftMask) modifiers |= kShift;
    if (state & ControlMask) modifiers |= kControl;
    if (state & Mod1Mask) modifiers |= kAlt;
    return modifiers;
}

// Keys that type no character, as virtual keys; letters and digits too, for Ctrl and Alt
// combinations. 0 for the rest.
UINT VirtualKeyOf(KeySym key) {
    static const std::map<KeySym, UINT> kKeys = {
        {XK_Return, VK_RETURN},
        {XK_KP_Enter, VK_RETURN},
        {XK_Escape, VK_ESCAPE},
        {XK_Tab, VK_TAB},
        {XK_ISO_Left_Tab, VK_TAB},
        {XK_BackSpace, VK_BACK},
        {XK_Delete, VK_DELETE},
        {XK_KP_Delete, VK_DELETE},
        {XK_Insert, VK_INSERT},
        {XK_KP_Insert, VK_INSERT},
        {XK_Home, VK_HOME},
        {XK_KP_Home, VK_HOME},
        {XK_End, VK_END},
        {XK_KP_End, VK_END},
        {XK_Left, VK_LEFT},
        {XK_KP_Left, VK_LEFT},
        {XK_Right, VK_RIGHT},
        {XK_KP_Right, VK_RIGHT},
        {XK_Up, VK_UP},
        {XK_KP_Up, VK_UP},
        {XK_Down, VK_DOWN},
        {XK_KP_Down, VK_DOWN},
        {XK_Prior, VK_PRIOR},
        {XK_KP_Prior, VK_PRIOR},
        {XK_Next, VK_NEXT},
        {XK_KP_Next, VK_NEXT},
        {XK_F1, VK_F1},
        {XK_F4, VK_F4},
        {XK_F10, VK_F10},
        {XK_Menu, VK_APPS},
    };
    if (auto found = kKeys.find(key); found != kKeys.end()) return found->second;
    return 0;
}

UINT LetterOrDigitKey(KeySym key) {
    if (key >= XK_a && key <= XK_z) return static_cast<UINT>('A' + (key - XK_a));
    if (key >= XK_A && key <= XK_Z) return static_cast<UINT>('A' + (key - XK_A));
    if (key >= XK_0 && key <= XK_9) return static_cast<UINT>('0' + (key - XK_0));
    return 0;
}

// One top-level window's X window and what was last set on it.
struct TopWindow {
    ::Window id = 0;
    XIC inputContext = nullptr;
    int width = 0;
    int height = 0;
    std::optional<std::u16string> title;
    HWND owner = nullptr;
    IconImage icon, smallIcon;
    bool mapped = false;         // as the server last said
    bool iconified = false;      // asked of the window manager
    POINT origin{};              // screen pixel of the client's top-left corner
    Composition composition;     // what the input method composes, while it does
    std::optional<XPoint> spot;  // the caret as last told to the input method
};

class X11Display final : public Display {
public:
    X11Display(::Display* display, XftFont* font)
        : display_(display),
          screen_(DefaultScreen(display)),
          font_(font),
          unit_(LineUnit(display)),
          screenSize_{DisplayWidth(display, screen_), DisplayHeight(display, screen_)},
          painter_(display, DefaultVisual(display, screen_), DefaultColormap(display, screen_),
                   font, unit_),
          selections_(display) {
        XSetIOErrorHandler(ConnectionLost);
        XSetErrorHandler(IgnoreError);
        for (auto [atom, name] : {std::pair{&wmProtocols_, "WM_PROTOCOLS"},
                                  {&wmDelete_, "WM_DELETE_WINDOW"},
                                  {&wmTakeFocus_, "WM_TAKE_FOCUS"},
                                  {&netWmName_, "_NET_WM_NAME"},
                                  {&netWmIcon_, "_NET_WM_ICON"},
                                  {&utf8String_, "UTF8_STRING"},
                                  {&wmState_, "WM_STATE"},
                                  {&netWorkArea_, "_NET_WORKAREA"},
                                  {&netWmType_, "_NET_WM_WINDOW_TYPE"},
                                  {&netWmTypeDialog_, "_NET_WM_WINDOW_TYPE_DIALOG"},
                                  {&netWmTypeNormal_, "_NET_WM_WINDOW_TYPE_NORMAL"},
                                  {&netWmPid_, "_NET_WM_PID"},
                                  {&netWmState_, "_NET_WM_STATE"},
                                  {&netWmStateFullScreen_, "_NET_WM_STATE_FULLSCREEN"},
                                  {&motifHints_, "_MOTIF_WM_HINTS"}}) {
            *atom = XInternAtom(display_, name, False);
        }
        OpenInputMethod();
        bridge_ = ConnectAccessibilityBridge(
            display_, [this](std::u16string_view text) { return painter_.Measure(text); });
        // The screen's size, its monitors and the work area may change while the program runs.
        XSelectInput(display_, RootWindow(display_, screen_),
                     StructureNotifyMask | PropertyChangeMask);
        int error = 0;
        int major = 0;
        int minor = 0;
        randr_ = XRRQueryExtension(display_, &randrEvent_, &error) &&
                 XRRQueryVersion(display_, &major, &minor) && (major > 1 || minor >= 5);
        if (randr_) {
            XRRSelectInput(
                display_, RootWindow(display_, screen_),
                RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
        }
    }

    ~X11Display() override {
        bridge_.reset();
        if (handedOver_) return;
        for (auto& [hwnd, window] : windows_) Destroy(window);
        if (inputMethod_ != nullptr) XCloseIM(inputMethod_);
        XUnregisterIMInstantiateCallback(display_, nullptr, nullptr, nullptr, InputMethodStarted,
                                         reinterpret_cast<XPointer>(this));
        XftFontClose(display_, font_);
        XCloseDisplay(display_);
    }

    // The monitors as RandR tells them, the primary first (the whole screen as one without
    // RandR), each with the part of the window manager's work area on it: a desktop's work
    // area spans all monitors, less the panels and docks.
    std::vector<MonitorArea> Monitors() override {
        std::vector<MonitorArea> monitors;
        int count = 0;
        XRRMonitorInfo* found =
            randr_ ? XRRGetMonitors(display_, RootWindow(display_, screen_), True, &count)
                   : nullptr;
        for (int i = 0; i < count; ++i) {
            const RECT area{found[i].x, found[i].y, found[i].x + found[i].width,
                            found[i].y + found[i].height};
            if (IsEmpty(area)) continue;
            const auto at = found[i].primary ? monitors.begin() : monitors.end();
            monitors.insert(at, MonitorArea{area, area});
        }
        if (found != nullptr) XRRFreeMonitors(found);
        if (monitors.empty()) {
            const RECT all{0, 0, screenSize_.x, screenSize_.y};
            monitors.push_back(MonitorArea{all, all});
        }
        if (std::optional<RECT> offered = WorkArea()) {
            for (MonitorArea& monitor : monitors) {
                if (const RECT inside = Intersection(*offered, monitor.monitor); !IsEmpty(inside))
                    monitor.work = inside;
            }
        }
        return monitors;
    }

    std::optional<RECT> WorkArea() {
        const std::vector<long> area =
            Values32(RootWindow(display_, screen_), netWorkArea_, XA_CARDINAL, 4);
        if (area.size() != 4) return std::nullopt;
        return RECT{static_cast<LONG>(area[0]), static_cast<LONG>(area[1]),
                    static_cast<LONG>(area[0] + area[2]), static_cast<LONG>(area[1] + area[3])};
    }

    // The values of a property of 32-bit items (longs, whatever their size), at most `most`;
    // none when the window has no such property of that type.
    std::vector<long> Values32(::Window window, Atom property, Atom type, long most) {
        Atom actual = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(display_, window, property, 0, most, False, type, &actual, &format,
                               &count, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32) {
                const auto* items = reinterpret_cast<const long*>(data);
                values.assign(items, items + count);
            }
            XFree(data);
        }
        return values;
    }

    FontMetrics DialogFont() override {
        FontMetrics metrics{
            font_->ascent + font_->descent,
            painter_.Measure(u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")};
        // Each glyph's ink against its advance: what lies left of the origin, and right of the
        // next character's origin.
        for (FcChar32 c = 0; c < 256; ++c) {
            if (!XftCharExists(display_, font_, c)) continue;
            XGlyphInfo glyph{};
            XftTextExtents32(display_, font_, &c, 1, &glyph);
            metrics.overhangLeft = std::max<int>(metrics.overhangLeft, glyph.x);
            metrics.overhangRight =
                std::max<int>(metrics.overhangRight, glyph.width - glyph.x - glyph.xOff);
        }
        return metrics;
    }
    int MeasureText(std::u16string_view text) override { return painter_.Measure(text); }
    // Windows' metrics at 96 DPI, scaled with the font.
    SystemMetricsSet Metrics() override {
        SystemMetricsSet metrics;
        for (int* metric :
             {&metrics.captionHeight, &metrics.borderWidth, &metrics.dialogFrameWidth,
              &metrics.sizeFrameWidth, &metrics.edgeWidth, &metrics.captionButtonWidth,
              &metrics.iconWidth, &metrics.smallIconWidth, &metrics.minimizedWidth,
              &metrics.minimizedHeight, &metrics.menuFrameWidth, &metrics.menuItemHeight,
              &metrics.menuSeparatorHeight, &metrics.menuTextMargin})
            *metric *= unit_;
        return metrics;
    }

    void Paint(const std::function<std::vector<WindowView>()>& screen) override {
        views_ = screen();
        // Windows no longer shown go first; the focus they had goes to the active window, as
        // when a dialog closes on Windows.
        bool hadFocus = false;
        for (auto it = windows_.begin(); it != windows_.end();) {
            if (FindView(views_, it->first) != nullptr) {
                ++it;
                continue;
            }
            hadFocus = hadFocus || it->second.id == focused_;
            Destroy(it->second);
            it = windows_.erase(it);
        }
        // All are made before any is brought up to date, so that an owner is there for the
        // windows it owns.
        for (const WindowView& view : views_) {
            if (!windows_.contains(view.handle)) windows_.emplace(view.handle, Create(view));
        }
        for (const WindowView& view : views_) Update(windows_.at(view.handle), view);
        if (const WindowView* active = ActiveView(views_); hadFocus && active != nullptr)
            FocusEnabled(active->handle);
        for (const WindowView& view : views_) Draw(view);
        OwnPrimaryForSelection();
        XFlush(display_);
        if (bridge_) bridge_->Show(views_);
    }

    void WaitForInput(InputSink& sink, int timeout) override {
        XFlush(display_);
        if (XPending(display_) == 0) {
            // The accessibility bus is served from the same wait as the X connection.
            std::vector<pollfd> fds{{ConnectionNumber(display_), POLLIN, 0}};
            if (bridge_) {
                bridge_->AddPollFds(fds);
                const int bridgeTimeout = bridge_->Timeout();
                if (bridgeTimeout >= 0 && (timeout < 0 || bridgeTimeout < timeout))
                    timeout = bridgeTimeout;
            }
            poll(fds.data(), fds.size(), timeout);
        }
        if (bridge_) bridge_->Serve(sink);
        // Reading a closed connection ends the program through the I/O error handler.
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (XFilterEvent(&event, None)) continue;
            Handle(event, sink);
        }
    }

    void Beep() override { XBell(display_, 0); }

    void PublishClipboardText(std::u16string_view text) override {
        selections_.Own(selections_.clipboard(), Utf16ToUtf8(text), time_);
    }
    bool RequestClipboardPaste() override { return RequestPaste(); }

    // What was copied outlives the program. When a child process serves it, the connection is
    // the child's: this process never uses it again, and exits without closing it.
    void ProgramEnds() override {
        // Closed first: a child serving the clipboard must not keep the application on the bus.
        bridge_.reset();
        for (auto& [hwnd, window] : windows_) Destroy(window);
        windows_.clear();
        if (selections_.Outlive(time_)) handedOver_ = true;
    }

private:
    TopWindow Create(const WindowView& view) {
        TopWindow window;
        window.width = std::max<int>(1, view.client.right - view.client.left);
        window.height = std::max<int>(1, view.client.bottom - view.client.top);
        XSetWindowAttributes attributes{};
        attributes.background_pixmap = None;
        attributes.event_mask = kWindowEvents;
        // An open menu is no window for the window manager to frame: it lies where it is put,
        // above the others, and follows the pointer to highlight its items.
        const bool menu = view.kind == ViewKind::kMenu;
        attributes.override_redirect = menu ? True : False;
        if (menu) attributes.event_mask |= PointerMotionMask;
        window.id = XCreateWindow(display_, RootWindow(display_, screen_), view.client.left,
                                  view.client.top, static_cast<unsigned>(window.width),
                                  static_cast<unsigned>(window.height), 0, CopyFromParent,
                                  InputOutput, CopyFromParent,
                                  CWBackPixmap | CWEventMask | CWOverrideRedirect, &attributes);
        if (menu) return window;
        Atom protocols[] = {wmDelete_, wmTakeFocus_};
        XSetWMProtocols(display_, window.id, protocols, 2);
        XClassHint classHint{const_cast<char*>(kClass), const_cast<char*>(kClass)};
        XWMHints hints{};
        hints.flags = InputHint | StateHint;
        hints.input = True;
        hints.initial_state = view.minimized ? IconicState : NormalState;
        XSetWMProperties(display_, window.id, nullptr, nullptr, nullptr, 0, nullptr, &hints,
                         &classHint);
        SetSizeHints(window, view);
        // An owned window (the About box) is a dialog; an ownerless one a normal window, with
        // the caption boxes the Motif hints ask for.
        const Atom type = view.owner != nullptr ? netWmTypeDialog_ : netWmTypeNormal_;
        XChangeProperty(display_, window.id, netWmType_, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&type), 1);
        SetMotifHints(window, view);
        const long pid = getpid();
        XChangeProperty(display_, window.id, netWmPid_, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&pid), 1);
        CreateInputContext(window);
        return window;
    }

    // The input method may come and go while the program runs (a restarted ibus, one started
    // after the dialog): each start is taken, and while none runs keys are read plainly.
    void OpenInputMethod() {
        inputMethod_ = XOpenIM(display_, nullptr, nullptr, nullptr);
        if (inputMethod_ == nullptr) {
            XRegisterIMInstantiateCallback(display_, nullptr, nullptr, nullptr, InputMethodStarted,
                                           reinterpret_cast<XPointer>(this));
            return;
        }
        XIMCallback destroyed{reinterpret_cast<XPointer>(this), InputMethodEnded};
        XSetIMValues(inputMethod_, XNDestroyCallback, &destroyed, nullptr);
        for (auto& [hwnd, window] : windows_) {
            CreateInputContext(window);
            if (window.id == focused_ && window.inputContext != nullptr)
                XSetICFocus(window.inputContext);
        }
    }

    static void InputMethodStarted(::Display*, XPointer self, XPointer) {
        auto* display = reinterpret_cast<X11Display*>(self);
        if (display->inputMethod_ != nullptr) return;
        XUnregisterIMInstantiateCallback(display->display_, nullptr, nullptr, nullptr,
                                         InputMethodStarted, self);
        display->OpenInputMethod();
    }

    // Xlib has already freed the method and its contexts: they are forgotten, never destroyed.
    static void InputMethodEnded(XIM, XPointer self, XPointer) {
        auto* display = reinterpret_cast<X11Display*>(self);
        display->inputMethod_ = nullptr;
        for (auto& [hwnd, window] : display->windows_) {
            window.inputContext = nullptr;
            window.composition = {};
        }
        XRegisterIMInstantiateCallback(display->display_, nullptr, nullptr, nullptr,
                                       InputMethodStarted, self);
    }

    // The richest style the input method offers: it hands the text being composed to the
    // program, which shows it in the field (on the spot); or it shows the text itself at the
    // caret (over the spot); or only commits. The caret's place goes to it in both of the first,
    // so that its candidates appear there.
    void CreateInputContext(TopWindow& window) {
        if (inputMethod_ == nullptr) return;
        XIMStyles* offered = nullptr;
        XGetIMValues(inputMethod_, XNQueryInputStyle, &offered, nullptr);
        const auto offers = [offered](XIMStyle style) {
            if (offered == nullptr) return style == (XIMPreeditNothing | XIMStatusNothing);
            return std::find(offered->supported_styles,
                             offered->supported_styles + offered->count_styles,
                             style) != offered->supported_styles + offered->count_styles;
        };
        const auto self = reinterpret_cast<XPointer>(this);
        XICCallback start{self, CompositionStarted};
        XICCallback done{self, CompositionDone};
        XICCallback draw{self, CompositionDrawn};
        XICCallback caret{self, CompositionCaretMoved};
        XPoint spot{0, 0};
        for (XIMStyle preedit : {XIMPreeditCallbacks, XIMPreeditPosition, XIMPreeditNothing}) {
            const XIMStyle style = preedit | XIMStatusNothing;
            if (!offers(style)) continue;
            XVaNestedList attributes =
                preedit == XIMPreeditCallbacks
                    ? XVaCreateNestedList(0, XNPreeditStartCallback, &start, XNPreeditDoneCallback,
                                          &done, XNPreeditDrawCallback, &draw,
                                          XNPreeditCaretCallback, &caret, XNSpotLocation, &spot,
                                          nullptr)
                : preedit == XIMPreeditPosition
                    ? XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr)
                    : nullptr;
            window.inputContext =
                attributes != nullptr
                    ? XCreateIC(inputMethod_, XNInputStyle, style, XNClientWindow, window.id,
                                XNFocusWindow, window.id, XNPreeditAttributes, attributes, nullptr)
                    : XCreateIC(inputMethod_, XNInputStyle, style, XNClientWindow, window.id,
                                XNFocusWindow, window.id, nullptr);
            if (attributes != nullptr) XFree(attributes);
            if (window.inputContext != nullptr) break;
        }
        if (offered != nullptr) XFree(offered);
        window.spot.reset();
        if (window.inputContext == nullptr) return;
        long filtered = 0;
        XGetICValues(window.inputContext, XNFilterEvents, &filtered, nullptr);
        XSelectInput(display_, window.id, kWindowEvents | filtered);
    }

    // Tells the input method where the caret is, when it moved in the window or the window
    // moved on the screen (`moved`: the input method keeps the place in screen pixels).
    void TellCaret(TopWindow& window, bool moved) {
        const std::optional<XPoint> caret = painter_.caret();
        if (window.inputContext == nullptr || !caret) return;
        if (!moved && window.spot && window.spot->x == caret->x && window.spot->y == caret->y)
            return;
        window.spot = caret;
        XPoint spot = *caret;
        XVaNestedList attributes = XVaCreateNestedList(0, XNSpotLocation, &spot, nullptr);
        XSetICValues(window.inputContext, XNPreeditAttributes, attributes, nullptr);
        XFree(attributes);
    }

    TopWindow* WindowOfContext(XIC context, HWND* hwnd) {
        for (auto& [handle, window] : windows_) {
            if (window.inputContext == context) {
                *hwnd = handle;
                return &window;
            }
        }
        return nullptr;
    }

    static void Composed(XIC context, XPointer self,
                         const std::function<void(Composition&)>& change) {
        auto* display = reinterpret_cast<X11Display*>(self);
        HWND hwnd = nullptr;
        TopWindow* window = display->WindowOfContext(context, &hwnd);
        if (window == nullptr) return;
        change(window->composition);
        if (const WindowView* view = FindView(display->views_, hwnd)) display->Draw(*view);
    }

    static Bool CompositionStarted(XIC, XPointer, XPointer) { return -1; }  // no length limit

    static Bool CompositionDone(XIC context, XPointer self, XPointer) {
        Composed(context, self, [](Composition& composition) { composition = {}; });
        return True;
    }

    // The input method replaces `chg_length` characters from `chg_first` with its text (none:
    // they are deleted); characters, not UTF-16 units, in the locale's encoding or as wchar_t.
    static Bool CompositionDrawn(XIC context, XPointer self, XPointer data) {
        const auto* drawn = reinterpret_cast<const XIMPreeditDrawCallbackStruct*>(data);
        Composed(context, self, [drawn](Composition& composition) {
            std::u32string characters = CharactersOf(composition.text);
            const std::size_t first = std::min<std::size_t>(
                static_cast<std::size_t>(std::max(0, drawn->chg_first)), characters.size());
            const std::size_t length =
                std::min<std::size_t>(static_cast<std::size_t>(std::max(0, drawn->chg_length)),
                                      characters.size() - first);
            characters.replace(first, length, TextOf(drawn->text));
            SetComposition(composition, characters,
                           static_cast<std::size_t>(std::max(0, drawn->caret)));
        });
        return True;
    }

    static Bool CompositionCaretMoved(XIC context, XPointer self, XPointer data) {
        auto* moved = reinterpret_cast<XIMPreeditCaretCallbackStruct*>(data);
        Composed(context, self, [moved](Composition& composition) {
            const std::u32string characters = CharactersOf(composition.text);
            std::size_t at = CharactersOf(composition.text.substr(0, composition.caret)).size();
            switch (moved->direction) {
                case XIMAbsolutePosition:
                    at = static_cast<std::size_t>(std::max(0, moved->position));
                    break;
                case XIMForwardChar:
                    ++at;
                    break;
                case XIMBackwardChar:
                    at = at > 0 ? at - 1 : 0;
                    break;
                case XIMLineStart:
                    at = 0;
                    break;
                case XIMLineEnd:
                    at = characters.size();
                    break;
                default:
                    break;
            }
            SetComposition(composition, characters, at);
            moved->position = static_cast<int>(std::min(at, characters.size()));
        });
        return True;
    }

    static void SetComposition(Composition& composition, const std::u32string& characters,
                               std::size_t caret) {
        caret = std::min(caret, characters.size());
        composition.text = Utf16Of(characters);
        composition.caret = Utf16Of(characters.substr(0, caret)).size();
    }

    static std::u32string CharactersOf(std::u16string_view text) {
        std::u32string characters;
        for (const CodePoint& point : DecodeUtf16(text)) characters += point.value;
        return characters;
    }

    static std::u16string Utf16Of(const std::u32string& characters) {
        std::string utf8;
        for (char32_t c : characters) AppendUtf8(utf8, c);
        return Utf8ToUtf16(utf8);
    }

    // The input method's text, converted from the locale's encoding.
    static std::u32string TextOf(const XIMText* text) {
        std::u32string characters;
        if (text == nullptr) return characters;
        if (text->encoding_is_wchar) {
            if (text->string.wide_char == nullptr) return characters;
            for (unsigned short i = 0; i < text->length; ++i)
                characters += static_cast<char32_t>(text->string.wide_char[i]);
            return characters;
        }
        if (text->string.multi_byte == nullptr) return characters;
        const char* bytes = text->string.multi_byte;
        std::size_t left = std::strlen(bytes);
        std::mbstate_t state{};
        while (left > 0) {
            wchar_t c = 0;
            const std::size_t used = std::mbrtowc(&c, bytes, left, &state);
            if (used == 0 || used > left) break;  // the end, or bytes the locale cannot read
            characters += static_cast<char32_t>(c);
            bytes += used;
            left -= used;
        }
        return characters;
    }

    // The caption's boxes and the frame's functions the window allows: a window that is neither
    // maximizable nor sizable can be neither maximised nor resized. (No manager reads full screen
    // from these: metacity takes it from the size hints, openbox and xfwm4 offer it anyway.)
    void SetMotifHints(const TopWindow& window, const WindowView& view) {
        enum : long { kFunctions = 1, kDecorations = 2 };
        enum : long { kResize = 2, kMove = 4, kMinimize = 8, kMaximize = 16, kClose = 32 };
        enum : long {
            kBorder = 2,
            kResizeHandle = 4,
            kTitle = 8,
            kMenu = 16,
            kMinimizeBox = 32,
            kMaximizeBox = 64
        };
        long hints[5] = {kFunctions | kDecorations, kMove, kBorder, 0, 0};
        if (view.sizable) {
            hints[1] |= kResize;
            hints[2] |= kResizeHandle;
        }
        if (view.caption) hints[2] |= kTitle;
        if (view.closable) {
            hints[1] |= kClose;
            hints[2] |= kMenu;
        }
        if (view.minimizable) {
            hints[1] |= kMinimize;
            hints[2] |= kMinimizeBox;
        }
        if (view.maximizable) {
            hints[1] |= kMaximize;
            hints[2] |= kMaximizeBox;
        }
        XChangeProperty(display_, window.id, motifHints_, motifHints_, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(hints), 5);
    }

    // Dialogs keep their size: the window manager offers no resizing (nor, under metacity,
    // full screen).
    void SetSizeHints(const TopWindow& window, const WindowView& view) {
        XSizeHints size{};
        size.flags = PPosition | PMinSize;
        size.x = view.client.left;
        size.y = view.client.top;
        size.min_width = size.max_width = window.width;
        size.min_height = size.max_height = window.height;
        if (!view.sizable) size.flags |= PMaxSize;
        XSetWMNormalHints(display_, window.id, &size);
    }

    void Update(TopWindow& window, const WindowView& view) {
        window.origin = POINT{view.client.left, view.client.top};
        const int width = std::max<int>(1, view.client.right - view.client.left);
        const int height = std::max<int>(1, view.client.bottom - view.client.top);
        if (width != window.width || height != window.height) {
            window.width = width;
            window.height = height;
            SetSizeHints(window, view);
            XResizeWindow(display_, window.id, static_cast<unsigned>(width),
                          static_cast<unsigned>(height));
        }
        if (view.shown != window.title) {
            window.title = view.shown;
            const std::string utf8 = Utf16ToUtf8(view.shown);
            XChangeProperty(display_, window.id, netWmName_, utf8String_, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(utf8.data()),
                            static_cast<int>(utf8.size()));
            Xutf8SetWMProperties(display_, window.id, utf8.c_str(), utf8.c_str(), nullptr, 0,
                                 nullptr, nullptr, nullptr);
        }
        if (view.owner != window.owner) {
            window.owner = view.owner;
            auto ownerWindow = windows_.find(view.owner);
            if (ownerWindow != windows_.end())
                XSetTransientForHint(display_, window.id, ownerWindow->second.id);
        }
        SetIcon(window, view);
        if (view.minimized && !window.iconified) {
            window.iconified = true;
            if (window.mapped) XIconifyWindow(display_, window.id, screen_);
        } else if (!view.minimized && (window.iconified || !window.mapped)) {
            window.iconified = false;
            XMapRaised(display_, window.id);
        }
    }

    // _NET_WM_ICON: each of the window's icons, width, height, then ARGB pixels.
    void SetIcon(TopWindow& window, const WindowView& view) {
        if (view.icon == window.icon && view.smallIcon == window.smallIcon) return;
        window.icon = view.icon;
        window.smallIcon = view.smallIcon;
        std::vector<long> data;
        for (const IconImage& pixels : {view.icon, view.smallIcon}) {
            if (pixels == nullptr) continue;
            data.push_back(pixels->width);
            data.push_back(pixels->height);
            data.insert(data.end(), pixels->argb.begin(), pixels->argb.end());
        }
        if (data.empty()) {
            XDeleteProperty(display_, window.id, netWmIcon_);
        } else {
            XChangeProperty(display_, window.id, netWmIcon_, XA_CARDINAL, 32, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(data.data()),
                            static_cast<int>(data.size()));
        }
    }

    void Destroy(TopWindow& window) {
        if (window.inputContext != nullptr) XDestroyIC(window.inputContext);
        XDestroyWindow(display_, window.id);
    }

    void Draw(const WindowView& view) {
        auto found = windows_.find(view.handle);
        if (found == windows_.end() || !found->second.mapped) return;
        TopWindow& window = found->second;
        // Drawn off screen and copied in one go, so that nothing flickers.
        const Pixmap buffer =
            XCreatePixmap(display_, window.id, static_cast<unsigned>(window.width),
                          static_cast<unsigned>(window.height),
                          static_cast<unsigned>(DefaultDepth(display_, screen_)));
        painter_.Paint(buffer, window.width, window.height, view, window.composition);
        GC gc = XCreateGC(display_, window.id, 0, nullptr);
        XCopyArea(display_, buffer, window.id, gc, 0, 0, static_cast<unsigned>(window.width),
                  static_cast<unsigned>(window.height), 0, 0);
        XFreeGC(display_, gc);
        XFreePixmap(display_, buffer);
        TellCaret(window, false);
    }

    TopWindow* WindowOf(::Window id, HWND* hwnd = nullptr) {
        for (auto& [handle, window] : windows_) {
            if (window.id == id) {
                if (hwnd != nullptr) *hwnd = handle;
                return &window;
            }
        }
        return nullptr;
    }

    // As the window system last showed it; a window not shown is as good as disabled.
    bool Enabled(HWND hwnd) const {
        const WindowView* view = FindView(views_, hwnd);
        return view != nullptr && view->enabled;
    }

    void Handle(XEvent& event, InputSink& sink) {
        HWND hwnd = nullptr;
        TopWindow* window = WindowOf(event.xany.window, &hwnd);
        const Selections::Listener listener{
            [this, &sink](std::string text) { Pasted(sink, text); },
            [&sink] { sink.ClipboardTaken(); },
            [&sink](bool offers) { sink.ClipboardOffersText(offers); }};
        if (selections_.Handle(event, listener)) return;
        switch (event.type) {
            case ConfigureNotify:
                // Xlib keeps the size the connection began with; the event has the new one.
                if (event.xconfigure.window == RootWindow(display_, screen_)) {
                    screenSize_ = POINT{event.xconfigure.width, event.xconfigure.height};
                    sink.DisplayChanged();
                } else if (window != nullptr) {
                    // Moved: the input method's candidates follow the caret.
                    if (const WindowView* view = FindView(views_, hwnd)) {
                        Draw(*view);
                        TellCaret(*window, true);
                    }
                }
                return;
            case PropertyNotify:
                if (event.xproperty.atom == netWorkArea_) sink.DisplayChanged();
                if (event.xproperty.atom == netWmState_ && window != nullptr)
                    LeaveFullScreen(*window, hwnd);
                return;
            case MappingNotify:
                if (event.xmapping.request != MappingPointer)
                    XRefreshKeyboardMapping(&event.xmapping);
                return;
            default:
                // Monitors set, moved or taken away.
                if (randr_ && (event.type == randrEvent_ + RRScreenChangeNotify ||
                               event.type == randrEvent_ + RRNotify)) {
                    XRRUpdateConfiguration(&event);
                    sink.DisplayChanged();
                    return;
                }
                break;
        }
        if (window == nullptr) return;
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) {
                    if (const WindowView* view = FindView(views_, hwnd)) Draw(*view);
                }
                break;
            case MapNotify:
                window->mapped = true;
                if (window->iconified) {
                    // Restored from the window manager's task bar.
                    window->iconified = false;
                    sink.Request(hwnd, WindowRequest::kRestore);
                }
                if (const WindowView* view = FindView(views_, hwnd);
                    view != nullptr && view->active)
                    XSetInputFocus(display_, window->id, RevertToParent, CurrentTime);
                if (const WindowView* view = FindView(views_, hwnd)) Draw(*view);
                break;
            case UnmapNotify:
                window->mapped = false;
                if (!window->iconified && MarkedIconic(*window)) {
                    // Minimised by the window manager.
                    window->iconified = true;
                    sink.Request(hwnd, WindowRequest::kMinimize);
                }
                break;
            case ClientMessage:
                if (event.xclient.message_type != wmProtocols_) break;
                time_ = static_cast<Time>(event.xclient.data.l[1]);
                if (static_cast<Atom>(event.xclient.data.l[0]) == wmDelete_) {
                    sink.Request(hwnd, WindowRequest::kClose);
                } else if (static_cast<Atom>(event.xclient.data.l[0]) == wmTakeFocus_) {
                    FocusEnabled(hwnd);
                }
                break;
            case FocusIn:
                if (event.xfocus.detail == NotifyPointer) break;
                focused_ = window->id;
                if (window->inputContext != nullptr) XSetICFocus(window->inputContext);
                if (!Enabled(hwnd)) {
                    FocusEnabled(hwnd);
                } else {
                    sink.Request(hwnd, WindowRequest::kActivate);
                }
                break;
            case FocusOut:
                if (event.xfocus.detail != NotifyPointer && focused_ == window->id) focused_ = 0;
                if (window->inputContext != nullptr) XUnsetICFocus(window->inputContext);
                break;
            case kKeyPressEvent:
                time_ = event.xkey.time;
                // A window disabled by a modal dialog takes no keys; the focus goes to the dialog.
                if (!Enabled(hwnd)) {
                    FocusEnabled(hwnd);
                    break;
                }
                Key(*window, event.xkey, sink);
                break;
            case ButtonPress:
            case ButtonRelease:
                time_ = event.xbutton.time;
                // The middle button pastes the primary selection into the field under the
                // pointer, as X programs do. Buttons 4 and 5 are the wheel, which the dialog
                // ignores.
                if (event.xbutton.button == Button2 && event.type == ButtonPress) {
                    PastePrimary(POINT{window->origin.x + event.xbutton.x,
                                       window->origin.y + event.xbutton.y},
                                 sink);
                } else if (event.xbutton.button == Button1 || event.xbutton.button == Button3) {
                    sink.MouseButton(
                        POINT{window->origin.x + event.xbutton.x,
                              window->origin.y + event.xbutton.y},
                        event.xbutton.button == Button1 ? MouseKey::kLeft : MouseKey::kRight,
                        event.type == ButtonPress, ModifiersOf(event.xbutton.state));
                }
                break;
            case MotionNotify:
                while (XCheckTypedWindowEvent(display_, window->id, MotionNotify, &event)) {
                }
                sink.MouseMove(
                    POINT{window->origin.x + event.xmotion.x, window->origin.y + event.xmotion.y});
                break;
        }
    }

    // A window of fixed size cannot fill the screen, as on Windows; window managers that make any
    // window full screen whatever its hints (openbox, xfwm4) are asked to take it back.
    void LeaveFullScreen(const TopWindow& window, HWND hwnd) {
        const WindowView* view = FindView(views_, hwnd);
        if (view == nullptr || view->sizable) return;
        const std::vector<long> states = Values32(window.id, netWmState_, XA_ATOM, 64);
        if (std::find(states.begin(), states.end(), static_cast<long>(netWmStateFullScreen_)) ==
            states.end())
            return;
        XEvent request{};
        request.xclient.type = ClientMessage;
        request.xclient.window = window.id;
        request.xclient.message_type = netWmState_;
        request.xclient.format = 32;
        request.xclient.data.l[0] = 0;  // remove
        request.xclient.data.l[1] = static_cast<long>(netWmStateFullScreen_);
        request.xclient.data.l[3] = 1;  // asked by the program itself
        XSendEvent(display_, RootWindow(display_, screen_), False,
                   SubstructureRedirectMask | SubstructureNotifyMask, &request);
    }

    // The window manager marks a minimised window's WM_STATE before it unmaps it.
    bool MarkedIconic(const TopWindow& window) {
        const std::vector<long> state = Values32(window.id, wmState_, wmState_, 1);
        return state.size() == 1 && state[0] == IconicState;
    }

    // A disabled window hands the focus to the window that disabled it: the active one.
    void FocusEnabled(HWND hwnd) {
        const WindowView* active = ActiveView(views_);
        HWND target = Enabled(hwnd) ? hwnd : active != nullptr ? active->handle : nullptr;
        for (auto& [handle, window] : windows_) {
            if (handle == target && window.mapped) {
                XRaiseWindow(display_, window.id);
                XSetInputFocus(display_, window.id, RevertToParent, time_);
            }
        }
    }

    void Key(TopWindow& window, XKeyEvent& event, InputSink& sink) {
        char buffer[64];
        std::string typed;
        KeySym key = NoSymbol;
        Status status = XLookupNone;
        if (window.inputContext != nullptr) {
            int length = Xutf8LookupString(window.inputContext, &event, buffer, sizeof buffer, &key,
                                           &status);
            if (status == XBufferOverflow) {
                typed.resize(static_cast<std::size_t>(length));
                length = Xutf8LookupString(window.inputContext, &event, typed.data(), length, &key,
                                           &status);
                typed.resize(static_cast<std::size_t>(std::max(length, 0)));
            } else {
                typed.assign(buffer, static_cast<std::size_t>(std::max(length, 0)));
            }
            if (status != XLookupChars && status != XLookupBoth) typed.clear();
            if (status != XLookupKeySym && status != XLookupBoth) key = NoSymbol;
        } else {
            const int length = XLookupString(&event, buffer, sizeof buffer, &key, nullptr);
            for (int i = 0; i < length; ++i)
                AppendUtf8(typed, static_cast<unsigned char>(buffer[i]));
        }
        const unsigned modifiers = ModifiersOf(event.state);
        UINT virtualKey = VirtualKeyOf(key);
        if (virtualKey == 0 && (modifiers & (kControl | kAlt))) virtualKey = LetterOrDigitKey(key);
        // Alt+Space is a system key (the window menu), not a space typed.
        if (virtualKey == 0 && (modifiers & kAlt) && key == XK_space) virtualKey = VK_SPACE;
        if (virtualKey == 'V' && modifiers == kControl && RequestPaste()) return;
        if (virtualKey == VK_INSERT && modifiers == kShift && RequestPaste()) return;
        if (virtualKey != 0) {
            sink.KeyPress(virtualKey, modifiers);
        } else if (!typed.empty()) {
            sink.Text(Utf8ToUtf16(typed));
        }
    }

    // Another program's CLIPBOARD is asked for; its text arrives as a paste. With no owner, or
    // when the text is our own, the key goes on to the field, which pastes our own.
    bool RequestPaste() {
        pasteAt_.reset();
        return selections_.Request(selections_.clipboard(), time_);
    }

    // PRIMARY at `at`: another program's comes when it answers, this program's own at once.
    void PastePrimary(POINT at, InputSink& sink) {
        pasteAt_ = at;
        if (selections_.Request(XA_PRIMARY, time_)) return;
        if (std::optional<std::string> own = selections_.OwnText(XA_PRIMARY)) Pasted(sink, *own);
    }

    void Pasted(InputSink& sink, const std::string& text) {
        if (pasteAt_) {
            sink.PasteAt(*pasteAt_, Utf8ToUtf16(text));
        } else {
            sink.Paste(Utf8ToUtf16(text));
        }
    }

    // The selection in the focused field, as X programs share a selection: middle-click pastes
    // it elsewhere. Only where the view says it may be shared.
    void OwnPrimaryForSelection() {
        for (const WindowView& top : views_) {
            const WindowView* focused = FocusedWithin(top);
            if (focused == nullptr || focused->sharedSelection.empty()) continue;
            selections_.Own(XA_PRIMARY, Utf16ToUtf8(focused->sharedSelection), time_);
        }
    }

    ::Display* display_;
    int screen_;
    XftFont* font_;
    int unit_;
    POINT screenSize_;
    ClassicPainter painter_;
    Selections selections_;
    bool handedOver_ = false;  // a child process serves the clipboard on this connection
    bool randr_ = false;       // the server tells its monitors (RandR 1.5)
    int randrEvent_ = 0;
    XIM inputMethod_ = nullptr;
    ::Window focused_ = 0;  // ours with the X focus, if any
    Time time_ = CurrentTime;
    std::optional<POINT> pasteAt_;  // where the text asked for goes: the pointer's paste
    Atom wmProtocols_ = 0, wmDelete_ = 0, wmTakeFocus_ = 0, netWmName_ = 0, netWmIcon_ = 0,
         utf8String_ = 0, wmState_ = 0, netWorkArea_ = 0, netWmType_ = 0, netWmTypeDialog_ = 0,
         netWmTypeNormal_ = 0, netWmPid_ = 0, motifHints_ = 0, netWmState_ = 0,
         netWmStateFullScreen_ = 0;
    std::map<HWND, TopWindow> windows_;
    std::vector<WindowView> views_;
    std::unique_ptr<AccessibilityBridge> bridge_;  // nullptr without an accessibility bus
};

// The dialog font: the program's Chinese dialog face at 9 points when installed, else the best
// match that covers Chinese; Xft scales points by the server's Xft.dpi.
XftFont* OpenDialogFont(::Display* display) {
    FcPattern* pattern = FcPatternCreate();
    for (const char* family : {"新宋体", "NSimSun", "SimSun"})
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddDouble(pattern, FC_SIZE, 9.0);
    FcLangSet* languages = FcLangSetCreate();
    FcLangSetAdd(languages, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcPatternAddLangSet(pattern, FC_LANG, languages);
    FcLangSetDestroy(languages);
    FcResult result = FcResultNoMatch;
    FcPattern* matched = XftFontMatch(display, DefaultScreen(display), pattern, &result);
    FcPatternDestroy(pattern);
    if (matched == nullptr) return nullptr;
    return XftFontOpenPattern(display, matched);  // takes `matched`
}

}  // namespace

}  // namespace x11

std::unique_ptr<Display> MakeX11Display(const char* name) {
    // The input method and Xutf8LookupString follow the locale's character set.
    std::setlocale(LC_CTYPE, "");
    if (!XSupportsLocale()) std::setlocale(LC_CTYPE, "C.UTF-8");
    XSetLocaleModifiers("");
    ::Display* display = XOpenDisplay(name);
    if (display == nullptr) return nullptr;
    XftFont* font = x11::OpenDialogFont(display);
    if (font == nullptr) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::make_unique<x11::X11Display>(display, font);
}

}  // namespace win32
