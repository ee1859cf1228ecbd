// SPDX-License-Identifier: MIT
#include "terminal/input_decoder.h"

#include <curses.h>
#include <langinfo.h>

#include <cstring>
#include <cwchar>
#include <string>

namespace win32::terminal {

namespace {

using codepages::utf::AppendUtf16;

// Pasted text beyond this is dropped: no edit takes more than its limit anyway.
constexpr std::size_t kPasteLimit = 0x10000;

// A control sequence longer than this is no key: it is read to its end and dropped.
constexpr std::size_t kSequenceLimit = 64;

constexpr char32_t kEscape = 0x1B;
constexpr char32_t kBell = 0x07;
constexpr char32_t kCancel = 0x18;      // CAN and SUB abandon a sequence or string
constexpr char32_t kSubstitute = 0x1A;  //
constexpr char32_t kStringTerminator = 0x9C;
constexpr std::u32string_view kPasteEndMarker = U"\x1b[201~";

// xterm's modifier parameter (and the digit of terminfo's extended key names): 1 + a bit set of
// Shift 1, Alt 2, Ctrl 4.
unsigned XtermModifiers(int parameter) {
    if (parameter < 2 || parameter > 16) return 0;
    const int bits = parameter - 1;
    unsigned modifiers = 0;
    if (bits & 1) modifiers |= kShift;
    if (bits & 2) modifiers |= kAlt;
    if (bits & 4) modifiers |= kControl;
    return modifiers;
}

// F1..F12, then each twelve again with Shift, Ctrl, Ctrl+Shift, Alt, Alt+Shift, as terminfo
// numbers xterm's modified function keys.
std::optional<KeyWithModifiers> FunctionKey(int number) {
    static constexpr unsigned kGroups[] = {0,    kShift,       kControl, kControl | kShift,
                                           kAlt, kAlt | kShift};
    if (number < 1 || number > 72) return std::nullopt;
    const int group = (number - 1) / 12;
    return KeyWithModifiers{static_cast<UINT>(VK_F1 + (number - 1) % 12), kGroups[group]};
}

bool IsC1(char32_t c) { return c >= 0x80 && c < 0xA0; }

std::optional<KeyWithModifiers> ControlCharacter(char32_t c) {
    switch (c) {
        case 0x09:
            return KeyWithModifiers{VK_TAB, 0};
        case 0x0D:
        case 0x0A:
            return KeyWithModifiers{VK_RETURN, 0};
        case 0x08:  // Ctrl+H: what some terminals send for Backspace
        case 0x7F:
            return KeyWithModifiers{VK_BACK, 0};
        case kEscape:
            return KeyWithModifiers{VK_ESCAPE, 0};
        default:
            if (c >= 0x01 && c <= 0x1A)
                return KeyWithModifiers{static_cast<UINT>('A' + c - 1), kControl};
            return std::nullopt;
    }
}

// The key an SS3 or CSI sequence's final character stands for (cursor keys, Home, End, F1-F4).
std::optional<UINT> FinalKey(char32_t final) {
    switch (final) {
        case U'A':
            return VK_UP;
        case U'B':
            return VK_DOWN;
        case U'C':
            return VK_RIGHT;
        case U'D':
            return VK_LEFT;
        case U'H':
            return VK_HOME;
        case U'F':
            return VK_END;
        case U'P':
            return VK_F1;
        case U'Q':
            return VK_F2;
        case U'R':
            return VK_F3;
        case U'S':
            return VK_F4;
        default:
            return std::nullopt;
    }
}

// What a key of the numeric keypad types in application mode ("ESC O p" is 0): the same as
// its main key.
std::optional<char32_t> KeypadCharacter(char32_t final) {
    if (final >= U'p' && final <= U'y') return U'0' + (final - U'p');
    switch (final) {
        case U'j':
            return U'*';
        case U'k':
            return U'+';
        case U'l':
            return U',';
        case U'm':
            return U'-';
        case U'n':
            return U'.';
        case U'o':
            return U'/';
        case U'X':
            return U'=';
        default:
            return std::nullopt;
    }
}

// The key of "CSI n ~".
std::optional<UINT> TildeKey(int n) {
    switch (n) {
        case 1:
        case 7:
            return VK_HOME;
        case 2:
            return VK_INSERT;
        case 3:
            return VK_DELETE;
        case 4:
        case 8:
            return VK_END;
        case 5:
            return VK_PRIOR;
        case 6:
            return VK_NEXT;
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return VK_F1 + (n - 11);
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return VK_F6 + (n - 17);
        case 23:
        case 24:
            return VK_F11 + (n - 23);
        default:
            return std::nullopt;
    }
}

std::vector<int> Parameters(std::string_view text) {
    std::vector<int> values;
    int value = 0;
    bool any = false;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            if (value < 100000) value = value * 10 + (c - '0');
            any = true;
        } else if (c == ';') {
            values.push_back(any ? value : 1);
            value = 0;
            any = false;
        }
    }
    values.push_back(any ? value : 1);
    return values;
}

}  // namespace

std::optional<KeyWithModifiers> KeyFromCurses(int code, std::string_view name) {
    switch (code) {
        case KEY_UP:
            return KeyWithModifiers{VK_UP, 0};
        case KEY_DOWN:
            return KeyWithModifiers{VK_DOWN, 0};
        case KEY_LEFT:
            return KeyWithModifiers{VK_LEFT, 0};
        case KEY_RIGHT:
            return KeyWithModifiers{VK_RIGHT, 0};
        case KEY_SR:
            return KeyWithModifiers{VK_UP, kShift};
        case KEY_SF:
            return KeyWithModifiers{VK_DOWN, kShift};
        case KEY_SLEFT:
            return KeyWithModifiers{VK_LEFT, kShift};
        case KEY_SRIGHT:
            return KeyWithModifiers{VK_RIGHT, kShift};
        case KEY_HOME:
        case KEY_A1:
            return KeyWithModifiers{VK_HOME, 0};
        case KEY_SHOME:
            return KeyWithModifiers{VK_HOME, kShift};
        case KEY_END:
        case KEY_C1:
            return KeyWithModifiers{VK_END, 0};
        case KEY_SEND:
            return KeyWithModifiers{VK_END, kShift};
        case KEY_DC:
            return KeyWithModifiers{VK_DELETE, 0};
        case KEY_SDC:
            return KeyWithModifiers{VK_DELETE, kShift};
        case KEY_IC:
            return KeyWithModifiers{VK_INSERT, 0};
        case KEY_SIC:
            return KeyWithModifiers{VK_INSERT, kShift};
        case KEY_PPAGE:
        case KEY_A3:
            return KeyWithModifiers{VK_PRIOR, 0};
        case KEY_SPREVIOUS:
            return KeyWithModifiers{VK_PRIOR, kShift};
        case KEY_NPAGE:
        case KEY_C3:
            return KeyWithModifiers{VK_NEXT, 0};
        case KEY_SNEXT:
            return KeyWithModifiers{VK_NEXT, kShift};
        case KEY_BACKSPACE:
            return KeyWithModifiers{VK_BACK, 0};
        case KEY_ENTER:
            return KeyWithModifiers{VK_RETURN, 0};
        case KEY_BTAB:
            return KeyWithModifiers{VK_TAB, kShift};
        default:
            break;
    }
    if (code >= KEY_F(1) && code <= KEY_F(63)) return FunctionKey(code - KEY_F(0));

    // Extended keys: "k" + key + xterm modifier digit, e.g. kRIT5 (Ctrl+Right), kDC6.
    static constexpr struct {
        std::string_view stem;
        UINT key;
    } kStems[] = {{"kUP", VK_UP},    {"kDN", VK_DOWN},  {"kLFT", VK_LEFT},  {"kRIT", VK_RIGHT},
                  {"kHOM", VK_HOME}, {"kEND", VK_END},  {"kDC", VK_DELETE}, {"kIC", VK_INSERT},
                  {"kNXT", VK_NEXT}, {"kPRV", VK_PRIOR}};
    for (const auto& stem : kStems) {
        if (name.size() != stem.stem.size() + 1 || name.substr(0, stem.stem.size()) != stem.stem)
            continue;
        const char digit = name.back();
        if (digit < '2' || digit > '8') return std::nullopt;
        return KeyWithModifiers{stem.key, XtermModifiers(digit - '0')};
    }
    return std::nullopt;
}

std::u32string DecodeUtf8Input(std::string_view bytes) {
    Utf8Stream stream;
    std::u32string out;
    for (char byte : bytes) stream.Push(static_cast<unsigned char>(byte), out);
    stream.Finish(out);
    return out;
}

LocaleStream::LocaleStream() {
    const char* codeset = nl_langinfo(CODESET);
    utf8_ = codeset != nullptr &&
            (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

void LocaleStream::Push(unsigned char byte, std::u32string& out) {
    if (utf8_) {
        utf8Stream_.Push(byte, out);
        return;
    }
    wchar_t wide = 0;
    const char c = static_cast<char>(byte);
    const std::size_t result = std::mbrtowc(&wide, &c, 1, &state_);
    if (result == static_cast<std::size_t>(-2)) {
        midCharacter_ = true;
        return;
    }
    if (result == static_cast<std::size_t>(-1)) {
        // The bytes before this one began no character: one U+FFFD, and this byte afresh.
        state_ = std::mbstate_t{};
        const bool again = midCharacter_;
        midCharacter_ = false;
        out += U'\uFFFD';
        if (again) Push(byte, out);
        return;
    }
    midCharacter_ = false;
    out += static_cast<char32_t>(wide);
}

InputDecoder::InputDecoder(std::vector<KeyString> keys) : keys_(std::move(keys)) {}

void InputDecoder::Flush(InputSink& sink) {
    if (text_.empty()) return;
    std::u16string text;
    text.swap(text_);
    sink.Text(text);
}

void InputDecoder::Reset() {
    state_ = State::kGround;
    sequence_.clear();
    overlong_ = false;
    alt_ = false;
}

void InputDecoder::Key(UINT virtualKey, unsigned modifiers, InputSink& sink) {
    Flush(sink);
    sink.KeyPress(virtualKey, modifiers | (alt_ ? unsigned{kAlt} : 0u));
}

void InputDecoder::PasteCharacter(char32_t c, InputSink& sink) {
    if (c == kPasteEndMarker[pasteEndMatched_]) {
        if (++pasteEndMatched_ == kPasteEndMarker.size()) EndPaste(sink);
        return;
    }
    // What looked like the end marker was pasted text. Only its first character is an ESC, so
    // none of it can begin the marker anew; `c` can.
    PasteMatchedPart();
    if (c == kPasteEndMarker[0]) {
        pasteEndMatched_ = 1;
        return;
    }
    if (pasteEnded_) return;
    if (c == U'\r' || c == U'\n') {
        pasteEnded_ = true;
        return;
    }
    if (paste_.size() + 2 > kPasteLimit) return;
    AppendUtf16(paste_, c);
}

void InputDecoder::PasteMatchedPart() {
    const std::size_t matched = pasteEndMatched_;
    pasteEndMatched_ = 0;
    for (std::size_t i = 0; i < matched && !pasteEnded_ && paste_.size() + 2 <= kPasteLimit; ++i)
        AppendUtf16(paste_, kPasteEndMarker[i]);
}

void InputDecoder::EndPaste(InputSink& sink) {
    if (focusInEdit_ && !paste_.empty()) sink.Paste(paste_);
    pasting_ = false;
    paste_.clear();
    pasteEndMatched_ = 0;
}

// An SGR mouse report "CSI < button ; column ; row M" (m on release), 1-based cells. Of use are
// the left button, motion with it held, and the right button (a context menu); the wheel and
// the middle button are dropped.
void InputDecoder::MouseReport(const std::vector<int>& parameters, bool pressed, InputSink& sink) {
    if (parameters.size() < 3) return;
    const int button = parameters[0];
    const bool right = (button & 3) == 2;
    if ((button & 64) || ((button & 3) != 0 && !right) || (right && (button & 32))) return;
    const std::optional<POINT> point = (*cellToPixel_)(parameters[1] - 1, parameters[2] - 1);
    if (!point) return;
    sink.MouseMove(*point);
    if (button & 32) return;  // motion
    unsigned modifiers = 0;
    if (button & 4) modifiers |= kShift;
    if (button & 8) modifiers |= kAlt;
    if (button & 16) modifiers |= kControl;
    if (pressed) rightHeld_ = right;
    sink.MouseButton(*point, right ? MouseKey::kRight : MouseKey::kLeft, pressed, modifiers);
}

// "CSI M" and three bytes, each 32 more than its value: terminals without SGR reports. A
// release does not say which button went up: the one pressed last.
void InputDecoder::LegacyMouseReport(InputSink& sink) {
    const int button = static_cast<int>(sequence_[3]) - 32;
    const int column = static_cast<int>(sequence_[4]) - 32;
    const int row = static_cast<int>(sequence_[5]) - 32;
    if (button < 0 || column < 1 || row < 1) return;
    if ((button & 3) == 3 && !(button & 32)) {
        MouseReport({(button & ~3) | (rightHeld_ ? 2 : 0), column, row}, false, sink);
    } else {
        MouseReport({button, column, row}, true, sink);
    }
}

bool InputDecoder::TerminalKey(InputSink& sink) {
    const KeyString* whole = nullptr;
    for (const KeyString& key : keys_) {
        if (key.sequence.size() > sequence_.size() && key.sequence.starts_with(sequence_))
            return true;  // a longer key begins so: wait for it
        if (key.sequence == sequence_) whole = &key;
    }
    if (whole == nullptr) return false;
    Key(whole->key.virtualKey, whole->key.modifiers, sink);
    Reset();
    return true;
}

void InputDecoder::ControlSequence(char32_t final, InputSink& sink) {
    const std::u32string_view body = std::u32string_view(sequence_).substr(2);
    std::string parameters;
    for (char32_t c : body.substr(0, body.size() - 1)) parameters += static_cast<char>(c);
    const std::vector<int> values = Parameters(parameters);
    const unsigned modifiers = values.size() > 1 ? XtermModifiers(values[1]) : 0;
    if (!parameters.empty() && parameters[0] == '<' && (final == U'M' || final == U'm')) {
        MouseReport(Parameters(std::string_view(parameters).substr(1)), final == U'M', sink);
    } else if (final == U'Z') {
        Key(VK_TAB, kShift, sink);
    } else if (final == U'~' && values[0] == 200) {
        Flush(sink);
        pasting_ = true;
        pasteEnded_ = false;
        paste_.clear();
    } else if (final == U'~') {
        if (auto key = TildeKey(values[0])) Key(*key, modifiers, sink);
    } else if (parameters.find_first_not_of("0123456789;") != std::string::npos) {
        // Private and intermediate forms ("CSI ? 1 ; 2 c", "CSI 1 $ y") are replies, not keys.
    } else if (auto key = FinalKey(final)) {
        Key(*key, modifiers, sink);
    }
}

void InputDecoder::SingleShift(char32_t final, InputSink& sink) {
    std::string parameters;
    for (char32_t c : std::u32string_view(sequence_).substr(2, sequence_.size() - 3))
        parameters += static_cast<char>(c);
    const std::vector<int> values = Parameters(parameters);
    const unsigned modifiers = XtermModifiers(values.back());
    if (auto key = FinalKey(final)) {
        Key(*key, modifiers, sink);
    } else if (final == U'M') {
        Key(VK_RETURN, modifiers, sink);  // keypad Enter
    } else if (auto typed = KeypadCharacter(final)) {
        AppendUtf16(text_, *typed);
    }
}

void InputDecoder::Ground(char32_t c, InputSink& sink) {
    if (c == kEscape) {
        Flush(sink);
        state_ = State::kEscape;
        sequence_ = U"\x1b";
        return;
    }
    if (IsC1(c)) {
        // The 8-bit forms of CSI, SS3, DCS, OSC, PM and APC are their ESC forms; other C1
        // controls are dropped.
        if (c == 0x9B || c == 0x8F || c == 0x90 || c == 0x9D || c == 0x9E || c == 0x9F) {
            Ground(kEscape, sink);
            Escaped(c - 0x40, sink);
        }
        return;
    }
    if (c == U' ') {
        Key(VK_SPACE, 0, sink);
    } else if (c < 0x20 || c == 0x7F) {
        if (auto key = ControlCharacter(c)) Key(key->virtualKey, key->modifiers, sink);
    } else {
        AppendUtf16(text_, c);
    }
}

void InputDecoder::Escaped(char32_t c, InputSink& sink) {
    sequence_ += c;
    std::optional<State> introduced;
    if (c == U'[') introduced = State::kControlSequence;
    if (c == U'O') introduced = State::kSingleShift;
    if (c == U']' || c == U'P' || c == U'_' || c == U'^') introduced = State::kString;
    if (TerminalKey(sink)) {
        // Delivered, or the beginning of a longer key of the description.
        if (state_ == State::kEscape) state_ = introduced.value_or(State::kControlSequence);
        return;
    }
    if (introduced) {
        state_ = *introduced;
        return;
    }
    if (c == kEscape) {
        // ESC ESC: the first is the Escape key, or Alt for the sequence that follows.
        if (alt_) {
            alt_ = false;
            Key(VK_ESCAPE, 0, sink);
        }
        alt_ = true;
        sequence_ = U"\x1b";
        return;
    }
    if (alt_) {  // ESC ESC x: Escape, then Alt+x
        alt_ = false;
        Key(VK_ESCAPE, 0, sink);
    }
    alt_ = true;
    if (auto key = ControlCharacter(c)) {
        Key(key->virtualKey, key->modifiers, sink);
    } else if (c == U' ') {
        Key(VK_SPACE, 0, sink);
    } else if (c >= U'a' && c <= U'z') {
        Key(static_cast<UINT>(c - U'a' + 'A'), 0, sink);
    } else if (c >= U'A' && c <= U'Z') {
        Key(static_cast<UINT>(c), kShift, sink);
    } else if (c >= U'0' && c <= U'9') {
        Key(static_cast<UINT>(c), 0, sink);
    }
    Reset();
}

// ESC [ or ESC O and what follows, up to the final character.
void InputDecoder::Sequence(char32_t c, InputSink& sink) {
    if (c == kEscape || c < 0x20 || c > 0x7E) {
        // Not part of a sequence: what came before is dropped, and `c` is read afresh (a new
        // sequence, or a key typed after an incomplete one).
        Reset();
        if (c != kCancel && c != kSubstitute) Character(c, sink);
        return;
    }
    if (sequence_.size() < kSequenceLimit) {
        sequence_ += c;
    } else {
        overlong_ = true;
    }
    if (!overlong_ && TerminalKey(sink)) return;
    const bool final = c >= 0x40 && c <= 0x7E && sequence_.size() > 2;
    if (!final) return;
    if (overlong_) {
        Reset();
    } else if (state_ == State::kControlSequence && sequence_ == U"\x1b[M") {
        state_ = State::kLegacyMouse;
    } else {
        if (sequence_[1] == U'[') ControlSequence(c, sink);
        if (sequence_[1] == U'O') SingleShift(c, sink);
        Reset();
    }
}

// An OSC, DCS, APC or PM string: read to its end (BEL or ST) and dropped. A control character
// other than those ends it too and counts as typed: no reply holds one.
void InputDecoder::InString(char32_t c, InputSink& sink) {
    if (state_ == State::kStringEscape) {
        Reset();
        if (c != U'\\') {
            Ground(kEscape, sink);
            Escaped(c, sink);
        }
        return;
    }
    if (c == kBell || c == kStringTerminator) {
        Reset();
    } else if (c == kEscape) {
        state_ = State::kStringEscape;
    } else if (c < 0x20 || c == 0x7F) {
        Reset();
        if (c != kCancel && c != kSubstitute) Character(c, sink);
    }
}

void InputDecoder::Character(char32_t c, InputSink& sink) {
    if (pasting_) {
        PasteCharacter(c, sink);
        return;
    }
    switch (state_) {
        case State::kGround:
            Ground(c, sink);
            break;
        case State::kEscape:
            Escaped(c, sink);
            break;
        case State::kControlSequence:
        case State::kSingleShift:
            Sequence(c, sink);
            break;
        case State::kLegacyMouse:
            sequence_ += c;
            if (sequence_.size() == 6) {
                LegacyMouseReport(sink);
                Reset();
            }
            break;
        case State::kString:
        case State::kStringEscape:
            InString(c, sink);
            break;
    }
}

std::optional<Milliseconds> InputDecoder::Deadline() const {
    if (pasting_) return lastArrival_ + kPasteStall;
    switch (state_) {
        case State::kGround:
            return std::nullopt;
        case State::kEscape:
            return lastArrival_ + kEscapeWait;
        default:
            return lastArrival_ + kSequenceStall;
    }
}

// Input that waited past its deadline: a lone ESC is the Escape key, a paste ends, and a begun
// sequence is dropped unless it is already a whole key of the terminal description.
void InputDecoder::Expire(InputSink& sink) {
    if (pasting_) {
        PasteMatchedPart();
        EndPaste(sink);
        return;
    }
    if (state_ == State::kEscape) {
        const bool twice = alt_;
        alt_ = false;
        Key(VK_ESCAPE, 0, sink);
        if (twice) Key(VK_ESCAPE, 0, sink);
    } else if (!overlong_) {
        for (const KeyString& key : keys_) {
            if (key.sequence == sequence_) Key(key.key.virtualKey, key.key.modifiers, sink);
        }
    }
    Reset();
}

void InputDecoder::Deliver(std::u32string_view characters, Milliseconds now, InputSink& sink,
                           const CellToPixel& cellToPixel, bool focusInEdit) {
    cellToPixel_ = &cellToPixel;
    focusInEdit_ = focusInEdit;
    if (characters.empty()) {
        // Input that arrived wins over a deadline: only a wait with nothing new settles one.
        if (const std::optional<Milliseconds> deadline = Deadline(); deadline && now >= *deadline)
            Expire(sink);
    } else {
        lastArrival_ = now;
        for (char32_t c : characters) Character(c, sink);
    }
    Flush(sink);
    cellToPixel_ = nullptr;
}

}  // namespace win32::terminal
