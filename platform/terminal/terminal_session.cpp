// SPDX-License-Identifier: MIT
#include "terminal/terminal_session.h"

#include <curses.h>
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "terminal/cell_grid.h"

namespace win32::terminal {

namespace {

// Escape delay: long enough for a key's sequence to arrive whole, short enough that Escape
// feels immediate.
constexpr int kEscapeDelayMs = 25;

constexpr mmask_t kMouseEvents =
    BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON_SHIFT | BUTTON_CTRL | BUTTON_ALT;

constexpr int kFatalSignals[] = {SIGINT,  SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                                 SIGABRT, SIGBUS,  SIGFPE, SIGILL};
constexpr int kNoticedSignals[] = {SIGWINCH, SIGCONT};

// What the signal handlers need, set up before they are installed.
volatile sig_atomic_t g_active = 0;  // the terminal is in our modes
termios g_savedModes;
char g_restoreSequence[512];
std::size_t g_restoreLength = 0;
int g_wakePipe[2] = {-1, -1};
volatile sig_atomic_t g_resized = 0;
volatile sig_atomic_t g_continued = 0;
SCREEN* g_screen = nullptr;
struct sigaction g_previous[std::size(kFatalSignals) + std::size(kNoticedSignals)];

void WriteAll(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

// The one tear-down, async-signal-safe: the saved sequence and modes put the terminal back.
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

void OnNoticedSignal(int signal) {
    const int saved = errno;
    if (signal == SIGWINCH) g_resized = 1;
    if (signal == SIGCONT) g_continued = 1;
    const char byte = 's';
    if (g_wakePipe[1] >= 0) (void)!write(g_wakePipe[1], &byte, 1);
    errno = saved;
}

const char* Capability(const char* name) {
    const char* value = tigetstr(const_cast<char*>(name));
    if (value == reinterpret_cast<const char*>(-1)) return nullptr;
    return value;
}

// Appends a terminfo string without its padding ("$<2>", "$<5*/>"): a delay for slow terminals
// of old, never text to print.
void AppendRestore(const char* text) {
    if (text == nullptr) return;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '$' && c[1] == '<') {
            const char* end = std::strchr(c, '>');
            if (end != nullptr) {
                c = end;
                continue;
            }
        }
        if (g_restoreLength + 1 >= sizeof g_restoreSequence) return;
        g_restoreSequence[g_restoreLength++] = *c;
    }
}

void InstallHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnFatalSignal;
    action.sa_flags = SA_RESETHAND;
    for (std::size_t i = 0; i < std::size(kFatalSignals); ++i)
        sigaction(kFatalSignals[i], &action, &g_previous[i]);
    action.sa_handler = OnNoticedSignal;
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kNoticedSignals); ++i)
        sigaction(kNoticedSignals[i], &action, &g_previous[std::size(kFatalSignals) + i]);
}

void RemoveHandlers() {
    const int count = static_cast<int>(std::size(kFatalSignals) + std::size(kNoticedSignals));
    for (int i = 0; i < count; ++i) {
        const int signal = i < static_cast<int>(std::size(kFatalSignals))
                               ? kFatalSignals[i]
                               : kNoticedSignals[i - std::size(kFatalSignals)];
        sigaction(signal, &g_previous[i], nullptr);
    }
    for (int& fd : g_wakePipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

}  // namespace

std::unique_ptr<TerminalSession> TerminalSession::Open() {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || g_wakePipe[0] >= 0) return nullptr;
    if (std::setlocale(LC_ALL, "") == nullptr) std::setlocale(LC_CTYPE, "C.UTF-8");
    UseUtf8CharacterHandling();
    if (tcgetattr(STDIN_FILENO, &g_savedModes) != 0) return nullptr;
    if (pipe2(g_wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return nullptr;

    // Our handlers go in before ncurses starts, so that it leaves these signals to us (it keeps
    // SIGTSTP, which it handles by leaving and re-entering its modes).
    InstallHandlers();
    use_tioctl(TRUE);  // the terminal's real size wins over exported LINES and COLUMNS
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
        RemoveHandlers();
        return nullptr;
    }
    g_screen = screen;
    set_term(screen);
    raw();
    noecho();
    nonl();
    nodelay(stdscr, TRUE);
    meta(stdscr, TRUE);  // bytes of UTF-8 text come whole; we decode them
    set_escdelay(kEscapeDelayMs);
    mouseinterval(0);
    define_key("\033[200~", kPasteStartKey);
    define_key("\033[201~", kPasteEndKey);
    curs_set(0);

    // What puts the terminal back from a signal handler, which cannot call endwin(). A terminal
    // without an alternate screen is cleared instead, so that no dialog stays behind.
    g_restoreLength = 0;
    AppendRestore(Capability("sgr0"));
    AppendRestore(Capability("cnorm"));
    AppendRestore(Capability("rmkx"));
    AppendRestore("\033[?2004l\033[?1006l\033[?1002l\033[?1000l");
    const char* leaveAlternateScreen = Capability("rmcup");
    AppendRestore(leaveAlternateScreen != nullptr ? leaveAlternateScreen : Capability("clear"));

    std::unique_ptr<TerminalSession> session(new TerminalSession);
    session->SetModes();
    g_active = 1;
    static const bool kRestoreAtExit = std::atexit(RestoreTerminal) == 0;
    static_cast<void>(kRestoreAtExit);
    return session;
}

TerminalSession::~TerminalSession() {
    RestoreTerminal();
    delscreen(g_screen);
    g_screen = nullptr;
    RemoveHandlers();
}

int TerminalSession::wakeFd() const { return g_wakePipe[0]; }

void TerminalSession::Drain() {
    char drain[64];
    while (read(g_wakePipe[0], drain, sizeof drain) > 0) {
    }
}

bool TerminalSession::TakeResized() {
    const bool resized = g_resized != 0;
    g_resized = 0;
    return resized;
}

bool TerminalSession::TakeContinued() {
    const bool continued = g_continued != 0;
    g_continued = 0;
    return continued;
}

void TerminalSession::SetModes() {
    // Switching keypad and mouse off and on makes curses send their modes again.
    keypad(stdscr, FALSE);
    keypad(stdscr, TRUE);
    mousemask(0, nullptr);
    mousemask(kMouseEvents, nullptr);
    clearok(curscr, TRUE);
    wnoutrefresh(stdscr);
    doupdate();
    WriteAll("\033[?2004h", 8);  // bracketed paste
}

void TerminalSession::Send(std::string_view sequence) {
    WriteAll(sequence.data(), sequence.size());
}

void TerminalSession::HangUp() {
    RestoreTerminal();
    signal(SIGHUP, SIG_DFL);
    raise(SIGHUP);
    _exit(128 + SIGHUP);
}

}  // namespace win32::terminal
