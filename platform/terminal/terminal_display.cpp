// SPDX-License-Identifier: MIT
// The terminal display: paints the account of the windows into a grid of cells and shows it;
// reads keys, text, pastes, mouse clicks and resizes and hands them to the window system. The
// terminal's modes and signals belong to the session it runs in.
#include "terminal/terminal_display.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cwchar>

#include "cipher/base64.h"
#include "src/utf.h"
#include "terminal/cell_geometry.h"
#include "terminal/input_decoder.h"
#include "terminal/terminal_session.h"
#include "terminal/window_painter.h"

namespace win32 {

namespace terminal {

namespace {

constexpr CellSize kCell{kCellWidth, kCellHeight};

Milliseconds Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return Milliseconds{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

// The key strings of the terminal description that begin with ESC (the others are control
// characters, which the decoder knows), with the keys they stand for.
std::vector<KeyString> TerminalKeys() {
    std::vector<KeyString> keys;
    // Extended keys (kLFT5, ...) have codes past KEY_MAX that curses numbers as it reads them.
    for (int code = KEY_MIN; code < KEY_MAX + 1024; ++code) {
        const char* name = keyname(code);
        if (name == nullptr) continue;
        const std::optional<KeyWithModifiers> key = KeyFromCurses(code, name);
        if (!key) continue;
        for (int count = 0;; ++count) {
            char* bound = keybound(code, count);
            if (bound == nullptr) break;
            std::u32string sequence;
            for (const char* c = bound; *c != '\0'; ++c) {
                const auto byte = static_cast<unsigned char>(*c);
                if (byte >= 0x80 && byte < 0xA0) {  // an 8-bit control: its ESC form
                    sequence += U'\x1b';
                    sequence += static_cast<char32_t>(byte - 0x40);
                } else {
                    sequence += static_cast<char32_t>(byte);
                }
            }
            std::free(bound);
            if (sequence.size() > 1 && sequence[0] == U'\x1b') keys.push_back({sequence, *key});
        }
    }
    return keys;
}

// Text in the locale's encoding; a character it lacks becomes "?".
std::string LocaleBytes(std::u16string_view text) {
    std::string bytes;
    std::mbstate_t state{};
    for (const CodePoint& point : DecodeUtf16(text)) {
        char encoded[MB_LEN_MAX];
        const std::size_t length = std::wcrtomb(encoded, static_cast<wchar_t>(point.value), &state);
        if (length == static_cast<std::size_t>(-1)) {
            state = std::mbstate_t{};
            bytes += '?';
        } else {
            bytes.append(encoded, length);
        }
    }
    return bytes;
}

attr_t VideoAttributes(std::uint8_t attributes) {
    attr_t video = A_NORMAL;
    if (attributes & kBold) video |= A_BOLD;
    if (attributes & kReverse) video |= A_REVERSE;
    if (attributes & kUnderline) video |= A_UNDERLINE;
    if (attributes & kDim) video |= A_DIM;
    return video;
}

// The task bar's keys, before the window system gets them: Alt+Tab restores the minimised
// window of the task bar, and while no window is shown, so do Enter and Space.
class TaskBarKeys final : public InputSink {
public:
    TaskBarKeys(InputSink& next, HWND entry, bool hasKeys)
        : next_(next), entry_(entry), hasKeys_(hasKeys) {}

    void KeyPress(UINT virtualKey, unsigned modifiers) override {
        const bool restore =
            entry_ != nullptr &&
            ((virtualKey == VK_TAB && modifiers == kAlt) ||
             (hasKeys_ && modifiers == 0 && (virtualKey == VK_RETURN || virtualKey == VK_SPACE)));
        if (!restore) {
            next_.KeyPress(virtualKey, modifiers);
            return;
        }
        next_.Request(entry_, WindowRequest::kRestore);
        entry_ = nullptr;  // once: the screen shows what it did before the next
    }
    void Text(std::u16string_view text) override { next_.Text(text); }
    void Paste(std::u16string_view text) override { next_.Paste(text); }
    void PasteAt(POINT screen, std::u16string_view text) override { next_.PasteAt(screen, text); }
    void MouseMove(POINT screen) override { next_.MouseMove(screen); }
    void MouseButton(POINT screen, MouseKey button, bool down, unsigned modifiers) override {
        next_.MouseButton(screen, button, down, modifiers);
    }
    void DisplayChanged() override { next_.DisplayChanged(); }
    void Request(HWND window, WindowRequest request) override { next_.Request(window, request); }
    void ClipboardTaken() override { next_.ClipboardTaken(); }
    void ClipboardOffersText(bool offers) override { next_.ClipboardOffersText(offers); }

private:
    InputSink& next_;
    HWND entry_;
    bool hasKeys_;
};

class TerminalDisplay final : public Display {
public:
    explicit TerminalDisplay(std::unique_ptr<TerminalSession> session)
        : session_(std::move(session)), screenSize_{COLS, LINES} {}

    std::vector<MonitorArea> Monitors() override {
        const RECT all{0, 0, screenSize_.x * kCellWidth, screenSize_.y * kCellHeight};
        return {MonitorArea{all, all}};
    }
    FontMetrics DialogFont() override { return TerminalFont(); }
    int MeasureText(std::u16string_view text) override { return TextPixels(text); }
    SystemMetricsSet Metrics() override { return TerminalMetrics(); }

    void Paint(const std::function<std::vector<WindowView>()>& screen) override {
        views_ = screen();
        Show();
    }

    void WaitForInput(InputSink& sink, int timeout) override {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {session_->wakeFd(), POLLIN, 0}};
        // The sooner of the message queue's limit (a timer) and the key decoder's.
        if (const std::optional<Milliseconds> deadline = decoder_.Deadline()) {
            const int decoder =
                static_cast<int>(std::clamp<Milliseconds>(*deadline - Now(), 0, 60000));
            timeout = timeout < 0 ? decoder : std::min(timeout, decoder);
        }
        const int ready = poll(fds, 2, timeout);
        if (ready > 0 && (fds[1].revents & POLLIN)) session_->Drain();
        if (session_->TakeContinued()) {
            session_->SetModes();
            Show();
        }
        if (session_->TakeResized()) {
            Resize();
            sink.DisplayChanged();
        }
        std::u32string characters;
        if (ready > 0 && fds[0].revents) Read(characters);
        if (ready == 0 || !characters.empty()) Deliver(characters, sink);
    }

    void Beep() override { beep(); }

    // OSC 52 sets the terminal's clipboard (over SSH too, and in tmux with set-clipboard on),
    // in the locale's encoding like everything the program writes; a terminal that refuses it
    // ignores it.
    void PublishClipboardText(std::u16string_view text) override {
        const std::string bytes = LocaleBytes(text);
        const std::string encoded = Molvan::System::Base64::EncodeUnbroken(
            reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        TerminalSession::Send("\033]52;c;" + encoded + "\a");
    }

private:
    // The bytes are read and decoded here, not by curses: the decoder needs to know when each
    // part of a key's sequence arrived, and curses drops the rest of a read after an invalid
    // byte.
    void Read(std::u32string& characters) {
        char bytes[4096];
        const ssize_t count = read(STDIN_FILENO, bytes, sizeof bytes);
        if (count == 0 || (count < 0 && errno != EINTR && errno != EAGAIN)) {
            TerminalSession::HangUp();
        }
        for (ssize_t i = 0; i < count; ++i)
            text_.Push(static_cast<unsigned char>(bytes[i]), characters);
    }

    void Deliver(std::u32string_view characters, InputSink& sink) {
        const std::vector<PlacedWindow>& placed = placed_;
        TaskBarKeys keys(sink, taskBarEntry_, taskBarHasKeys_);
        decoder_.Deliver(
            characters, Now(), keys,
            [&placed, &sink](int column, int row) -> std::optional<POINT> {
                // A click on a task bar entry restores its window, as the shell's task bar
                // does.
                if (HWND minimized = TaskBarEntryAt(placed, column, row)) {
                    sink.Request(minimized, WindowRequest::kRestore);
                    return std::nullopt;
                }
                return PixelOfCell(placed, column, row, kCell);
            },
            focusInEdit_);
    }

    // The windows are shown again at once on the new size, as last read.
    void Resize() {
        winsize size{};
        if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_row > 0 && size.ws_col > 0)
            resize_term(size.ws_row, size.ws_col);
        screenSize_ = POINT{COLS, LINES};
        clearok(curscr, TRUE);
        Show();
    }

    void Show() {
        const Screen screen = PaintScreen(views_, screenSize_.x, screenSize_.y, kCell);
        placed_ = screen.windows;
        focusInEdit_ = screen.focusInEdit;
        taskBarEntry_ = screen.taskBarEntry;
        taskBarHasKeys_ = screen.taskBarHasKeys;
        const Grid& grid = screen.grid;
        for (int row = 0; row < grid.rows() && row < LINES; ++row) {
            for (int column = 0; column < grid.columns() && column < COLS; ++column) {
                const Cell& cell = grid.at(column, row);
                if (cell.tail) continue;
                if (const char code = LineDrawingCode(cell.character)) {
                    mvwaddch(stdscr, row, column,
                             NCURSES_ACS(code) | VideoAttributes(cell.attributes));
                    continue;
                }
                wchar_t text[3] = {static_cast<wchar_t>(cell.character),
                                   static_cast<wchar_t>(cell.combining), 0};
                cchar_t shown{};
                setcchar(&shown, text, VideoAttributes(cell.attributes), 0, nullptr);
                mvwadd_wch(stdscr, row, column, &shown);
            }
        }
        // The cursor stands where the keyboard is, so that a terminal that cannot hide it
        // (vt100) shows it there too.
        if (screen.cursor) {
            curs_set(1);
            wmove(stdscr, screen.cursor->y, screen.cursor->x);
        } else {
            curs_set(0);
            wmove(stdscr, std::max(0, LINES - 1), 0);
        }
        wnoutrefresh(stdscr);
        doupdate();
    }

    std::unique_ptr<TerminalSession> session_;
    POINT screenSize_;
    std::vector<WindowView> views_;
    std::vector<PlacedWindow> placed_;
    bool focusInEdit_ = false;
    HWND taskBarEntry_ = nullptr;
    bool taskBarHasKeys_ = false;
    LocaleStream text_;
    InputDecoder decoder_{TerminalKeys()};
};

}  // namespace

}  // namespace terminal

std::unique_ptr<Display> MakeTerminalDisplay() {
    std::unique_ptr<terminal::TerminalSession> session = terminal::TerminalSession::Open();
    if (session == nullptr) return nullptr;
    return std::make_unique<terminal::TerminalDisplay>(std::move(session));
}

}  // namespace win32
