// SPDX-License-Identifier: MIT
// Turns what a terminal sends into the window system's input: keys as virtual-key codes with
// modifiers, typed text, pasted text, mouse clicks at screen pixels and resizes.
//
// The terminal layer reads in batches (whatever arrived together) and hands each batch over as
// a list of events: characters, keys that ncurses recognised, mouse reports by cell, the
// bracketed-paste markers and resizes. The decoder adds what ncurses leaves to the program:
// control characters as Ctrl+letter, ESC followed by a key in the same batch as Alt+key, xterm
// key sequences that the terminal description lacks, and pasted text, which goes into an edit
// field as it is (up to its first line break, as a single-line edit pastes, tabs and control
// characters included) and never as keys.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "src/display.h"

namespace win32::terminal {

struct InputEvent {
    enum Kind { kCharacter, kKey, kMouseButton, kMouseMove, kPasteStart, kPasteEnd, kResize };
    Kind kind = kCharacter;
    char32_t character = 0;   // kCharacter
    UINT virtualKey = 0;      // kKey
    unsigned modifiers = 0;   // kKey, kMouseButton (win32::Modifiers)
    int column = 0, row = 0;  // kMouseButton, kMouseMove
    bool down = false;        // kMouseButton: the left button went down (else up)

    static InputEvent Character(char32_t c) { return {kCharacter, c}; }
    static InputEvent Key(UINT vk, unsigned modifiers = 0) { return {kKey, 0, vk, modifiers}; }
    static InputEvent Mouse(int column, int row, bool down, unsigned modifiers = 0) {
        return {kMouseButton, 0, 0, modifiers, column, row, down};
    }
    static InputEvent Move(int column, int row) { return {kMouseMove, 0, 0, 0, column, row}; }
    static InputEvent Of(Kind kind) { return {kind}; }
};

struct KeyWithModifiers {
    UINT virtualKey;
    unsigned modifiers;
};

// A key code of curses.h, or an extended key by its terminfo name ("kLFT5" is Ctrl+Left), as a
// virtual key; nullopt for keys the window system has no use for.
std::optional<KeyWithModifiers> KeyFromCurses(int code, std::string_view name);

// Typed and pasted bytes decoded as UTF-8 as they arrive, across reads. Each byte that is not
// part of a well-formed sequence becomes one U+FFFD, and decoding goes on with the next byte, so
// nothing after an invalid byte is lost.
class Utf8Stream {
public:
    // Appends the code points that `byte` completes.
    void Push(unsigned char byte, std::u32string& out);
    // Ends a sequence left incomplete (another kind of input came between).
    void Finish(std::u32string& out);

private:
    unsigned char pending_[4] = {};
    int length_ = 0;    // bytes in pending_
    int expected_ = 0;  // bytes the pending sequence needs
};

// The code points of `bytes` as a Utf8Stream decodes them, the incomplete end included.
std::u32string DecodeUtf8Input(std::string_view bytes);

class InputDecoder {
public:
    // Where a clicked cell lies on the screen, in pixels; nullopt when the display itself
    // takes clicks there (its task bar).
    using CellToPixel = std::function<std::optional<POINT>(int column, int row)>;

    // Delivers one batch. Pasted text reaches `sink` only when `focusInEdit`; elsewhere a
    // paste would press buttons with its spaces and line breaks.
    void Deliver(const std::vector<InputEvent>& batch, InputSink& sink,
                 const CellToPixel& cellToPixel, bool focusInEdit);

private:
    void Paste(const InputEvent& event);
    void EndPaste(InputSink& sink);
    std::size_t EscapeSequence(const std::vector<InputEvent>& batch, std::size_t next,
                               InputSink& sink);
    void MouseReport(const std::vector<int>& parameters, bool pressed, InputSink& sink);
    void Flush(InputSink& sink);

    const CellToPixel* cellToPixel_ = nullptr;  // during Deliver
    bool focusInEdit_ = false;

    std::u16string text_;  // typed characters not yet delivered
    bool pasting_ = false;
    bool pasteEnded_ = false;  // a line break ended what a single-line edit takes
    std::u16string paste_;
};

}  // namespace win32::terminal
