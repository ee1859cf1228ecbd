// SPDX-License-Identifier: MIT
#include "terminal/terminal_session.h"

#include <curses.h>
#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "terminal/cell_grid.h"

namespace win32::terminal {

namespace {

// Every signal whose default action ends the program: the terminal is restored first. SIGHUP
// ends it as Cancel does; the others end it by their default action once the terminal is back.
constexpr int kEndingSignals[] = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT,
                                  SIGBUS,  SIGFPE,  SIGUSR1,   SIGSEGV, SIGUSR2, SIGPIPE,
                                  SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM,
                                  SIGPROF, SIGPOLL, SIGPWR,    SIGSYS};
// Signals that stop the program: the terminal is restored before, and set up again after.
constexpr int kStoppingSignals[] = {SIGTSTP, SIGTTIN, SIGTTOU};
constexpr int kNoticedSignals[] = {SIGWINCH, SIGCONT};

// What the signal handlers need, set up before they are installed.
volatile sig_atomic_t g_active = 0;  // the terminal is in our modes
termios g_savedModes;
termios g_programModes;
char g_restoreSequence[512];
std::size_t g_restoreLength = 0;
int g_wakePipe[2] = {-1, -1};
volatile sig_atomic_t g_resized = 0;
volatile sig_atomic_t g_continued = 0;
SCREEN* g_screen = nullptr;
struct sigaction g_previous[NSIG];
bool g_installed[NSIG] = {};

void WriteAll(const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, length);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        data += written;
        length -= static_cast<std::size_t>(written);
    }
}

void Wake() {
    const char byte = 's';
    if (g_wakePipe[1] >= 0) (void)!write(g_wakePipe[1], &byte, 1);
}

// The one tear-down, async-signal-safe: the saved sequence and modes put the terminal back.
void RestoreTerminal() {
    if (!g_active) return;
    g_active = 0;
    WriteAll(g_restoreSequence, g_restoreLength);
    tcsetattr(STDIN_FILENO, TCSANOW, &g_savedModes);
}

void OnEndingSignal(int signal) {
    const int saved = errno;
    RestoreTerminal();
    // The terminal hung up: nobody is left to answer the dialog, which ends as Cancel.
    if (signal == SIGHUP) _exit(IDCANCEL);
    // The handler was installed with SA_RESETHAND: the signal raised again is delivered with
    // its default action once this handler returns (a fault simply recurs).
    raise(signal);
    errno = saved;
}

void Install(int signal, void (*handler)(int), int flags);

void OnStoppingSignal(int signal) {
    const int saved = errno;
    const bool wasActive = g_active != 0;
    RestoreTerminal();
    // Stop by the signal's own default action, as an untouched program stops, then carry on
    // here once continued.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, nullptr);
    sigset_t only, previous;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, &previous);
    raise(signal);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    Install(signal, OnStoppingSignal, SA_RESTART);
    if (wasActive) {
        g_continued = 1;
        Wake();
    }
    errno = saved;
}

void OnNoticedSignal(int signal) {
    const int saved = errno;
    if (signal == SIGWINCH) g_resized = 1;
    if (signal == SIGCONT) g_continued = 1;
    Wake();
    errno = saved;
}

void Install(int signal, void (*handler)(int), int flags) {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = handler;
    action.sa_flags = flags;
    sigaction(signal, &action, nullptr);
}

// A signal the parent ignores (nohup, a background job's SIGINT) stays ignored.
void InstallUnlessIgnored(int signal, void (*handler)(int), int flags) {
    if (sigaction(signal, nullptr, &g_previous[signal]) != 0) return;
    if (g_previous[signal].sa_handler == SIG_IGN) return;
    Install(signal, handler, flags);
    g_installed[signal] = true;
}

const char* Capability(const char* name) {
    const char* value = tigetstr(const_cast<char*>(name));
    if (value == reinterpret_cast<const char*>(-1)) return nullptr;
    return value;
}

// Appends a terminfo string without its padding ("$<2>", "$<5*/>"): a delay for slow terminals
// of old, never text to print.
void AppendWithoutPadding(std::string& out, const char* text) {
    if (text == nullptr) return;
    for (const char* c = text; *c != '\0'; ++c) {
        if (c[0] == '$' && c[1] == '<') {
            const char* end = std::strchr(c, '>');
            if (end != nullptr) {
                c = end;
                continue;
            }
        }
        out += *c;
    }
}

void InstallHandlers() {
    for (int signal : kEndingSignals) InstallUnlessIgnored(signal, OnEndingSignal, SA_RESETHAND);
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        InstallUnlessIgnored(signal, OnEndingSignal, SA_RESETHAND);
    for (int signal : kStoppingSignals) InstallUnlessIgnored(signal, OnStoppingSignal, SA_RESTART);
    for (int signal : kNoticedSignals) InstallUnlessIgnored(signal, OnNoticedSignal, SA_RESTART);
}

void RemoveHandlers() {
    for (int signal = 1; signal < NSIG; ++signal) {
        if (g_installed[signal]) sigaction(signal, &g_previous[signal], nullptr);
        g_installed[signal] = false;
    }
    for (int& fd : g_wakePipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

// A terminal without an alternate screen gets the dialog drawn over the shell's screen: the
// shell's lines are scrolled up into the terminal's history first, so that the screen cleared
// at the end erases only the dialog.
void ScrollShellAway() {
    const char* move = Capability("cup");
    if (move == nullptr || LINES <= 0) return;
    std::string scroll;
    AppendWithoutPadding(scroll, tparm(const_cast<char*>(move), LINES - 1, 0));
    scroll.append(static_cast<std::size_t>(LINES), '\n');
    WriteAll(scroll.data(), scroll.size());
}

}  // namespace

std::unique_ptr<TerminalSession> TerminalSession::Open() {
    if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO) || g_wakePipe[0] >= 0) return nullptr;
    if (std::setlocale(LC_ALL, "") == nullptr) std::setlocale(LC_CTYPE, "C.UTF-8");
    UseUtf8CharacterHandling();
    if (tcgetattr(STDIN_FILENO, &g_savedModes) != 0) return nullptr;
    if (pipe2(g_wakePipe, O_NONBLOCK | O_CLOEXEC) != 0) return nullptr;

    // Our handlers go in before ncurses starts, so that it leaves every signal to us.
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
    tcgetattr(STDIN_FILENO, &g_programModes);

    // What puts the terminal back from a signal handler, which cannot call endwin(). A terminal
    // without an alternate screen is cleared instead, so that no dialog stays behind.
    // The cursor is shown last: leaving the alternate screen may bring back its state there.
    std::string restore;
    AppendWithoutPadding(restore, Capability("sgr0"));
    AppendWithoutPadding(restore, Capability("rmkx"));
    restore += "\033[?2004l\033[?1006l\033[?1002l\033[?1000l";
    const char* leaveAlternateScreen = Capability("rmcup");
    AppendWithoutPadding(
        restore, leaveAlternateScreen != nullptr ? leaveAlternateScreen : Capability("clear"));
    AppendWithoutPadding(restore, Capability("cnorm"));
    g_restoreLength = std::min(restore.size(), sizeof g_restoreSequence);
    std::memcpy(g_restoreSequence, restore.data(), g_restoreLength);
    if (leaveAlternateScreen == nullptr) ScrollShellAway();

    std::unique_ptr<TerminalSession> session(new TerminalSession);
    g_active = 1;
    session->SetModes();
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
    // After a stop the shell may have set its own modes (also after SIGSTOP, which no handler
    // sees).
    tcsetattr(STDIN_FILENO, TCSANOW, &g_programModes);
    if (!g_active) {
        // Continued after a stop that restored the terminal behind curses' back: the
        // program's screen again.
        std::string enter;
        AppendWithoutPadding(enter, Capability("smcup"));
        WriteAll(enter.data(), enter.size());
        curs_set(1);  // curses sends a visibility only when it changes: make sure it does
        curs_set(0);
    }
    // Switching the keypad off and on makes curses send its mode again.
    keypad(stdscr, FALSE);
    keypad(stdscr, TRUE);
    clearok(curscr, TRUE);
    wnoutrefresh(stdscr);
    doupdate();
    // Bracketed paste; clicks, and motion while a button is held (a drag on the caption moves
    // the dialog as it goes), reported in the SGR form, which has no limit on the cell.
    constexpr std::string_view kModes = "\033[?2004h\033[?1000h\033[?1002h\033[?1006h";
    WriteAll(kModes.data(), kModes.size());
    g_active = 1;
}

void TerminalSession::Send(std::string_view sequence) {
    WriteAll(sequence.data(), sequence.size());
}

void TerminalSession::HangUp() {
    RestoreTerminal();
    _exit(IDCANCEL);
}

}  // namespace win32::terminal
