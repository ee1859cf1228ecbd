// SPDX-License-Identifier: MIT
// The terminal display: paints the account of the windows into a grid of cells and shows it;
// reads keys, text, pastes, mouse clicks and resizes and hands them to the window system. The
// terminal's modes and signals belong to the session it runs in.
#include "terminal/terminal_display.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

// A batch never grows past this; what is left is read on the next wait.
constexpr std::size_t kBatchLimit = 1 << 16;

attr_t VideoAttributes(std::uint8_t attributes) {
    attr_t video = A_NORMAL;
    if (attributes & kBold) video |= A_BOLD;
    if (attributes & kReverse) video |= A_REVERSE;
    if (attributes & kUnderline) video |= A_UNDERLINE;
    if (attributes & kDim) video |= A_DIM;
    return video;
}

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
        const int ready = poll(fds, 2, timeout);
        std::vector<InputEvent> batch;
        if (ready > 0 && (fds[1].revents & POLLIN)) session_->Drain();
        if (session_->TakeContinued()) {
            session_->SetModes();
            Show();
        }
        if (session_->TakeResized()) {
            Resize();
            batch.push_back(InputEvent::Of(InputEvent::kResize));
        }
        if (ready > 0 && fds[0].revents) {
            int available = 0;
            if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) ||
                (ioctl(STDIN_FILENO, FIONREAD, &available) == 0 && available == 0)) {
                TerminalSession::HangUp();
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
                return PixelOfCell(placed, column, row, kCell);
            },
            focusInEdit_);
    }

    void Beep() override { beep(); }

    // OSC 52 sets the terminal's clipboard (over SSH too, and in tmux with set-clipboard on);
    // a terminal that refuses it ignores it.
    void PublishClipboardText(std::u16string_view text) override {
        const std::string utf8 = Utf16ToUtf8(text);
        std::string encoded = Molvan::System::Base64::Encode(
            reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
        std::erase_if(encoded, [](char c) { return c == '\r' || c == '\n'; });
        TerminalSession::Send("\033]52;c;" + encoded + "\a");
    }

private:
    // Bytes are decoded here rather than by curses, which drops the rest of a read after an
    // invalid byte.
    void Read(std::vector<InputEvent>& batch) {
        std::u32string characters;
        auto takeCharacters = [&batch, &characters] {
            for (char32_t c : characters) batch.push_back(InputEvent::Character(c));
            characters.clear();
        };
        int code = 0;
        while (batch.size() < kBatchLimit && (code = wgetch(stdscr)) != ERR) {
            if (code < KEY_MIN) {
                utf8_.Push(static_cast<unsigned char>(code), characters);
                takeCharacters();
                continue;
            }
            utf8_.Finish(characters);
            takeCharacters();
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

    std::unique_ptr<TerminalSession> session_;
    POINT screenSize_;
    std::vector<WindowView> views_;
    std::vector<PlacedWindow> placed_;
    bool focusInEdit_ = false;
    Utf8Stream utf8_;
    InputDecoder decoder_;
};

}  // namespace

}  // namespace terminal

std::unique_ptr<Display> MakeTerminalDisplay() {
    std::unique_ptr<terminal::TerminalSession> session = terminal::TerminalSession::Open();
    if (session == nullptr) return nullptr;
    return std::make_unique<terminal::TerminalDisplay>(std::move(session));
}

}  // namespace win32
