// SPDX-License-Identifier: MIT
// Turns what a terminal sends into the window system's input: keys as virtual-key codes with
// modifiers, typed text, pasted text and mouse clicks at screen pixels.
//
// The terminal layer reads the bytes itself, turns them into characters in the locale's encoding
// and hands them over as they arrive, with the time they arrived. The decoder knows the key
// strings of the terminal description and what xterm-like terminals send (cursor and function
// keys with modifiers, SGR and legacy mouse reports, bracketed paste), takes control characters
// as Ctrl+letter and ESC before a character as Alt, consumes the terminal's replies (OSC, DCS,
// APC and PM strings, unknown control sequences), and puts pasted text into an edit field as it
// is (up to its first line break, as a single-line edit pastes) and never as keys.
//
// Nothing the terminal sends leaves the decoder stuck: a sequence that stops arriving is given
// up after a while (see the wait constants below), so a following key always arrives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codepages/utf.h"
#include "src/display.h"

namespace win32::terminal {

// Milliseconds of a monotonic clock.
using Milliseconds = std::int64_t;

// How long a lone ESC waits for the rest of a key's sequence before it is the Escape key. Keys
// that a slow link splits right after their ESC by more than this read as Escape; no rule can
// tell those from the Escape key sooner, and a longer wait is a delay a person notices.
inline constexpr Milliseconds kEscapeWait = 100;
// How long a begun sequence ("ESC [", an OSC string, ...) waits for its next character before
// it is dropped: long, since nobody types those prefixes and a split one must not become text.
inline constexpr Milliseconds kSequenceStall = 1000;
// How long a bracketed paste waits for more before it ends as if the terminal had ended it.
inline constexpr Milliseconds kPasteStall = 2000;

struct KeyWithModifiers {
    UINT virtualKey;
    unsigned modifiers;
};

// A key code of curses.h, or an extended key by its terminfo name ("kLFT5" is Ctrl+Left), as a
// virtual key; nullopt for keys the window system has no use for.
std::optional<KeyWithModifiers> KeyFromCurses(int code, std::string_view name);

// A key's string in the terminal description (ESC and what follows) and the key it stands for.
struct KeyString {
    std::u32string sequence;
    KeyWithModifiers key;
};

// Typed and pasted UTF-8 is decoded as it arrives, across reads, by the project's one codec: a
// sequence cut off by the end of a read waits for the next; malformed bytes become U+FFFD as
// Windows reads them, and decoding goes on after them, so nothing after them is lost.
using codepages::utf::Utf8Stream;

// The code points of `bytes` as a Utf8Stream decodes them, the incomplete end included.
std::u32string DecodeUtf8Input(std::string_view bytes);

// Bytes in the encoding of the current locale (LC_CTYPE) decoded as they arrive: UTF-8 as
// Utf8Stream does, any other encoding (ISO-8859-1, GBK, Big5, EUC-JP, ...) with the C library's
// conversion. The same rule holds for both: a byte that cannot start or continue a character is
// one U+FFFD and the bytes after it are decoded afresh.
class LocaleStream {
public:
    LocaleStream();
    void Push(unsigned char byte, std::u32string& out);

private:
    bool utf8_;
    Utf8Stream utf8Stream_;
    std::mbstate_t state_{};
    bool midCharacter_ = false;  // bytes of an unfinished character came before
};

class InputDecoder {
public:
    // Where a clicked cell lies on the screen, in pixels; nullopt when the display itself
    // takes clicks there (its task bar).
    using CellToPixel = std::function<std::optional<POINT>(int column, int row)>;

    explicit InputDecoder(std::vector<KeyString> keys = {});

    // Delivers the characters that arrived at `now`. Pasted text reaches `sink` only when
    // `focusInEdit`; elsewhere a paste would press buttons with its spaces and line breaks.
    // Called with no characters, it settles what has waited too long (see Deadline).
    void Deliver(std::u32string_view characters, Milliseconds now, InputSink& sink,
                 const CellToPixel& cellToPixel, bool focusInEdit);

    // When the input so far waits for more (a lone ESC, a begun sequence, a paste): the time at
    // which Deliver with no characters settles it. nullopt when nothing waits.
    std::optional<Milliseconds> Deadline() const;

private:
    enum class State {
        kGround,
        kEscape,           // an ESC, and nothing after it yet
        kControlSequence,  // ESC [ and its parameters so far
        kSingleShift,      // ESC O
        kLegacyMouse,      // ESC [ M and fewer than its three bytes
        kString,           // an OSC, DCS, APC or PM string
        kStringEscape,     // an ESC inside one: ST, or the string ended
    };

    void Character(char32_t c, InputSink& sink);
    void Ground(char32_t c, InputSink& sink);
    void Escaped(char32_t c, InputSink& sink);
    void Sequence(char32_t c, InputSink& sink);
    void InString(char32_t c, InputSink& sink);
    // Whether the sequence so far is (or begins) a key of the terminal description; delivers it
    // when it is whole.
    bool TerminalKey(InputSink& sink);
    void Expire(InputSink& sink);
    void Key(UINT virtualKey, unsigned modifiers, InputSink& sink);
    void ControlSequence(char32_t final, InputSink& sink);
    void SingleShift(char32_t final, InputSink& sink);
    void MouseReport(const std::vector<int>& parameters, bool pressed, InputSink& sink);
    void LegacyMouseReport(InputSink& sink);
    void PasteCharacter(char32_t c, InputSink& sink);
    void PasteMatchedPart();  // the part of the end marker seen so far, as pasted text
    void EndPaste(InputSink& sink);
    void Flush(InputSink& sink);
    void Reset();

    std::vector<KeyString> keys_;
    const CellToPixel* cellToPixel_ = nullptr;  // during Deliver
    bool focusInEdit_ = false;

    State state_ = State::kGround;
    std::u32string sequence_;  // the escape sequence so far, from its ESC
    bool overlong_ = false;    // the sequence outgrew what any key sends: dropped at its end
    bool alt_ = false;         // an ESC came before this sequence's ESC: Alt
    Milliseconds lastArrival_ = 0;

    std::u16string text_;  // typed characters not yet delivered
    bool pasting_ = false;
    bool rightHeld_ = false;   // the last mouse button pressed was the right one
    bool pasteEnded_ = false;  // a line break ended what a single-line edit takes
    std::u16string paste_;
    std::size_t pasteEndMatched_ = 0;  // characters of the end marker seen so far
};

}  // namespace win32::terminal
