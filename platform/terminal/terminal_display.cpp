// The terminal display on ncursesw: the screen is the terminal, one cell kCellWidth x
// kCellHeight pixels; the window tree is painted into a grid of cells and shown; keys, text,
// pastes, mouse clicks and resizes are read from the terminal and handed to the window system.
//
// The terminal is put back as it was (main screen, modes, cursor) on every way out: when the
// display is destroyed, at exit, and on SIGINT, SIGTERM, SIGHUP and the crash signals, whose
// handlers restore it with async-signal-safe calls and then let the signal take its default
// action.
#include <curses.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "src/display.h"
#include "terminal/cell_geometry.h"
#include "terminal/input_decoder.h"
#include "terminal/window_painter.h"

namespace win32 {

namespace terminal {

namespace {

// Key codes we give the bracketed-paste markers (define_key takes any code above KEY_MAX).
constexpr int kPasteStartKey = KEY_MAX + 1;
constexpr int kPasteEndKey = KEY_MAX + 2;

// Escape delay: long enough for a key's sequence to arrive whole, short enough that Escape
// feels immediate.
constexpr int kEscapeDelayMs = 25;

// A batch never grows past this; what is left is read on the next wait.
constexpr std::size_t kBatchLimit = 1 << 16;

constexpr int kFatalSignals[] = {SIGINT,  SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                                 SIGABRT, SIGBUS,  SIGFPE, SIGILL};

// What the signal handlers need, set up before they are installed.
volatile sig_atomic_t g_active = 0;  // the terminal is in our modes
termios g_savedModes;
char g_restoreSequence[512];
std::size_t g_restoreLength = 0;
int g_wakePipe[2] = {-1, -1};
volatile sig_atomic_t g_resized = 0;

void WriteAll(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

// Async-signal-safe: puts the terminal back from the saved modes and sequence.
void RestoreTerminal() {
    if (!g_active) return;
    g_active = 0;
    WriteAll(g_restoreSequence, g_restoreLength);
    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedModes);
}

void OnFatalSignal(int signal) {
    const int saved = errno;
    RestoreTerminal();
    // The handler was installed with SA_RESETHAND: the signal raised again is delivered with
    // its default action once this handler returns (a fault simply recurs).
    raise(signal);
    errno = saved;
}

void OnResize(int) {
    const int saved = errno;
    g_resized = 1;
    const char byte = 'r';
    if (g_wakePipe[1] >= 0) (void)!write(g_wakePipe[1], &byte, 1);
    errno = saved;
}

void AppendRestore(const char* text) {
    if (text == nullptr || text == reinterpret_cast<const char*>(-1)) return;
    const std::size_t length = std::strlen(text);
    if (g_restoreLength + length >= sizeof g_restoreSequence) return;
    std::memcpy(g_restoreSequence + g_restoreLength, text, length);
    g_restoreLength += length;
}

const char* Capability(const char* name) {
    const char* value = tigetstr(const_cast<char*>(name));
    if (value == reinterpret_cast<const char*>(-1)) return nullptr;
    return value;
}

bool CodesetIsUtf8() {
    const char* codeset = nl_langinfo(CODESET);
    return codeset != nullptr &&
           (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

// The user's locale, or UTF-8 character handling when that locale is not installed (or is
// plain C): the terminal display speaks UTF-8. The ANSI code page does not follow from this;
// it is taken from the locale's name.
void ChooseLocale() {
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
        return;
    }
    if (CodesetIsUtf8()) return;
    const char* ctype = std::setlocale(LC_CTYPE, nullptr);
    if (ctype != nullptr && (std::strcmp(ctype, "C") == 0 || std::strcmp(ctype, "POSIX") == 0))
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

attr_t VideoAttributes(std::uint8_t attributes) {
    attr_t video = A_NORMAL;
    if (attributes & kBold) video |= A_BOLD;
    if (attributes & kReverse) video |= A_REVERSE;
    if (attributes & kUnderline) video |= A_UNDERLINE;
    if (attributes & kDim) video |= A_DIM;
    return video;
}

ControlState QueryControl(const WindowView& view) {
    ControlState state;
    auto is = [&view](std::u16string_view name) { return SameClassName(view.className, name); };
    if (is(u"edit")) {
        DWORD start = 0, end = 0;
        SendMessageW(view.handle, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        state.selectionStart = start;
        state.selectionEnd = end;
        state.caret = static_cast<std::size_t>(SendMessageW(view.handle, EM_GETCARETINDEX, 0, 0));
        state.firstVisible =
            static_cast<std::size_t>(SendMessageW(view.handle, EM_GETFIRSTVISIBLELINE, 0, 0));
    } else if (is(u"button")) {
        state.buttonState = static_cast<DWORD>(SendMessageW(view.handle, BM_GETSTATE, 0, 0));
    } else if (is(u"static") && (view.style & SS_TYPEMASK) == SS_ICON) {
        state.hasIcon = SendMessageW(view.handle, STM_GETICON, 0, 0) != 0;
    }
    return state;
}

class TerminalDisplay final : public Display {
public:
    TerminalDisplay(SCREEN* screen, struct sigaction (&previous)[std::size(kFatalSignals) + 1])
        : screen_(screen), screenSize_{COLS, LINES} {
        std::memcpy(previous_, previous, sizeof previous_);
    }

    ~TerminalDisplay() override {
        if (g_active) {
            g_active = 0;
            WriteAll(kModesOff, std::strlen(kModesOff));
            mousemask(0, nullptr);
            endwin();
        }
        delscreen(screen_);
        for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
            sigaction(kFatalSignals[i], &previous_[i], nullptr);
        sigaction(SIGWINCH, &previous_[std::size(kFatalSignals)], nullptr);
        for (int& fd : g_wakePipe) {
            if (fd >= 0) close(fd);
            fd = -1;
        }
    }

    std::vector<MonitorArea> Monitors() override {
        const RECT all{0, 0, screenSize_.x * kCellWidth, screenSize_.y * kCellHeight};
        return {MonitorArea{all, all}};
    }
    FontMetrics DialogFont() override { return TerminalFont(); }
    int MeasureText(std::u16string_view text) override { return TextPixels(text); }
    SystemMetricsSet Metrics() override { return TerminalMetrics(); }

    void Paint(const std::vector<WindowView>& topLevelWindows) override {
        states_.clear();
        views_ = topLevelWindows;
        Show(PaintScreen(
            views_,
            [this](const WindowView& view) { return states_[view.handle] = QueryControl(view); },
            screenSize_.x, screenSize_.y));
    }

    void WaitForInput(InputSink& sink) override {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {g_wakePipe[0], POLLIN, 0}};
        const int ready = poll(fds, 2, -1);
        std::vector<InputEvent> batch;
        if (ready > 0 && (fds[1].revents & POLLIN)) {
            char drain[64];
            while (read(g_wakePipe[0], drain, sizeof drain) > 0) {
            }
        }
        if (g_resized) {
            g_resized = 0;
            Resize();
            batch.push_back(InputEvent::Of(InputEvent::kResize));
        }
        if (ready > 0 && fds[0].revents) {
            int available = 0;
            if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) ||
                (ioctl(STDIN_FILENO, FIONREAD, &available) == 0 && available == 0)) {
                HangUp();
            }
            Read(batch);
        }
        const std::vector<PlacedWindow>& placed = placed_;
        decoder_.Deliver(
            batch, sink,
            [&placed](int column, int row) -> std::optional<POINT> {
                // A click on a task bar entry restores its window, as the shell's task bar
                // does with a system command.
                if (HWND minimized = TaskBarEntryAt(placed, column, row)) {
                    PostMessageW(minimized, WM_SYSCOMMAND, SC_RESTORE, 0);
                    return std::nullopt;
                }
                return PixelOfCell(placed, column, row);
            },
            focusInEdit_);
    }

    void Beep() override { beep(); }

private:
    static constexpr const char* kModesOff = "\033[?2004l";

    // The terminal went away: there is nobody to answer the dialog.
    [[noreturn]] static void HangUp() {
        RestoreTerminal();
        signal(SIGHUP, SIG_DFL);
        raise(SIGHUP);
        _exit(128 + SIGHUP);
    }

    void Read(std::vector<InputEvent>& batch) {
        wint_t c = 0;
        int kind = 0;
        while (batch.size() < kBatchLimit && (kind = wget_wch(stdscr, &c)) != ERR) {
            if (kind != KEY_CODE_YES) {
                batch.push_back(InputEvent::Character(static_cast<char32_t>(c)));
                continue;
            }
            const int code = static_cast<int>(c);
            if (code == kPasteStartKey) {
                batch.push_back(InputEvent::Of(InputEvent::kPasteStart));
            } else if (code == kPasteEndKey) {
                batch.push_back(InputEvent::Of(InputEvent::kPasteEnd));
            } else if (code == KEY_MOUSE) {
                // ncurses may queue several reports behind one KEY_MOUSE (a press and its
                // release arriving together); getmouse hands out the newest first.
                std::vector<InputEvent> reports;
                MEVENT mouse{};
                while (getmouse(&mouse) == OK) {
                    unsigned modifiers = 0;
                    if (mouse.bstate & BUTTON_SHIFT) modifiers |= kShift;
                    if (mouse.bstate & BUTTON_CTRL) modifiers |= kControl;
                    if (mouse.bstate & BUTTON_ALT) modifiers |= kAlt;
                    if (mouse.bstate & (BUTTON1_RELEASED | BUTTON1_CLICKED))
                        reports.push_back(InputEvent::Mouse(mouse.x, mouse.y, false, modifiers));
                    if (mouse.bstate & (BUTTON1_PRESSED | BUTTON1_CLICKED))
                        reports.push_back(InputEvent::Mouse(mouse.x, mouse.y, true, modifiers));
                }
                batch.insert(batch.end(), reports.rbegin(), reports.rend());
            } else if (code != KEY_RESIZE) {
                const char* name = keyname(code);
                if (auto key = KeyFromCurses(code, name ? name : ""))
                    batch.push_back(InputEvent::Key(key->virtualKey, key->modifiers));
            }
        }
    }

    void Resize() {
        winsize size{};
        if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
            resize_term(size.ws_row, size.ws_col);
        screenSize_ = POINT{COLS, LINES};
        clearok(curscr, TRUE);
        // Show the windows again at once on the new size, as last read.
        Show(PaintScreen(
            views_,
            [this](const WindowView& view) {
                auto found = states_.find(view.handle);
                return found != states_.end() ? found->second : ControlState{};
            },
            screenSize_.x, screenSize_.y));
    }

    void Show(const Screen& screen) {
        placed_ = screen.windows;
        focusInEdit_ = screen.focusInEdit;
        const Grid& grid = screen.grid;
        for (int row = 0; row < grid.rows() && row < LINES; ++row) {
            for (int column = 0; column < grid.columns() && column < COLS; ++column) {
                const Cell& cell = grid.at(column, row);
                if (cell.tail) continue;
                wchar_t text[3] = {static_cast<wchar_t>(cell.character),
                                   static_cast<wchar_t>(cell.combining), 0};
                cchar_t shown{};
                setcchar(&shown, text, VideoAttributes(cell.attributes), 0, nullptr);
                mvwadd_wch(stdscr, row, column, &shown);
            }
        }
        if (screen.cursor) {
            curs_set(1);
            wmove(stdscr, screen.cursor->y, screen.cursor->x);
        } else {
            curs_set(0);
            wmove(stdscr, 0, 0);
        }
        wnoutrefresh(stdscr);
        doupdate();
    }

    SCREEN* screen_;
    struct sigaction previous_[std::size(kFatalSignals) + 1];
    POINT screenSize_;
    std::vector<WindowView> views_;
    std::unordered_map<HWND, ControlState> states_;
    std::vector<PlacedWindow> placed_;
    bool focusInEdit_ = false;
    InputDecoder decoder_;
};

}  // namespace

}  // namespace terminal

std::unique_ptr<Display> MakeTerminalDisplay() {
    using namespace terminal;
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || g_wakePipe[0] >= 0) return nullptr;
    ChooseLocale();
    if (tcgetattr(STDIN_FILENO, &g_savedModes) != 0) return nullptr;
    if (pipe2(g_wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return nullptr;

    // Our handlers go in before ncurses starts, so that it leaves these signals to us.
    struct sigaction previous[std::size(kFatalSignals) + 1];
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnFatalSignal;
    action.sa_flags = SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
        sigaction(kFatalSignals[i], &action, &previous[i]);
    action.sa_handler = OnResize;
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, &previous[std::size(kFatalSignals)]);

    SCREEN* screen = newterm(nullptr, stdout, stdin);
    // A terminal that cannot place the cursor (TERM=dumb) cannot show a dialog.
    if (screen != nullptr && Capability("cup") == nullptr) {
        endwin();
        delscreen(screen);
        screen = nullptr;
    }
    if (screen == nullptr) {
        const char* type = std::getenv("TERM");
        std::fprintf(stderr, "%s: cannot use the terminal (TERM=%s)\n",
                     program_invocation_short_name, type ? type : "");
        for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
            sigaction(kFatalSignals[i], &previous[i], nullptr);
        sigaction(SIGWINCH, &previous[std::size(kFatalSignals)], nullptr);
        for (int& fd : g_wakePipe) {
            close(fd);
            fd = -1;
        }
        return nullptr;
    }
    set_term(screen);
    raw();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    nodelay(stdscr, TRUE);
    set_escdelay(kEscapeDelayMs);
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON_SHIFT | BUTTON_CTRL | BUTTON_ALT,
              nullptr);
    mouseinterval(0);
    define_key("\033[200~", kPasteStartKey);
    define_key("\033[201~", kPasteEndKey);
    curs_set(0);

    // What puts the terminal back from a signal handler, which cannot call endwin().
    g_restoreLength = 0;
    AppendRestore(Capability("sgr0"));
    AppendRestore(Capability("cnorm"));
    AppendRestore(Capability("rmkx"));
    AppendRestore("\033[?2004l\033[?1006l\033[?1002l\033[?1000l");
    AppendRestore(Capability("rmcup"));

    wnoutrefresh(stdscr);
    doupdate();
    WriteAll("\033[?2004h", 8);  // bracketed paste
    g_active = 1;
    static const bool kRestoreAtExit = std::atexit(RestoreTerminal) == 0;
    static_cast<void>(kRestoreAtExit);
    return std::make_unique<TerminalDisplay>(screen, previous);
}

}  // namespace win32
