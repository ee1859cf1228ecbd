// SPDX-License-Identifier: MIT
#include "terminal/input_decoder.h"

#include <curses.h>

#include <iterator>
#include <string>

namespace win32::terminal {

namespace {

// Pasted text beyond this is dropped: no edit takes more than its limit anyway.
constexpr std::size_t kPasteLimit = 0x10000;

constexpr char32_t kEscape = 0x1B;

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

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 + (c >> 10));
        out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
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

// "ESC [ 2 0 1 ~" at batch[i], the end of a paste that the terminal description did not know.
bool IsPasteEnd(const std::vector<InputEvent>& batch, std::size_t i) {
    static constexpr char32_t kEnd[] = {kEscape, U'[', U'2', U'0', U'1', U'~'};
    if (batch.size() - i < std::size(kEnd)) return false;
    for (std::size_t k = 0; k < std::size(kEnd); ++k) {
        if (batch[i + k].kind != InputEvent::kCharacter || batch[i + k].character != kEnd[k])
            return false;
    }
    return true;
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

void Utf8Stream::Push(unsigned char byte, std::u32string& out) {
    if (length_ > 0) {
        // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
        unsigned char low = 0x80, high = 0xBF;
        if (length_ == 1) {
            if (pending_[0] == 0xE0) low = 0xA0;
            if (pending_[0] == 0xED) high = 0x9F;
            if (pending_[0] == 0xF0) low = 0x90;
            if (pending_[0] == 0xF4) high = 0x8F;
        }
        if (byte >= low && byte <= high) {
            pending_[length_++] = byte;
            if (length_ < expected_) return;
            char32_t value = pending_[0] & (0x7F >> expected_);
            for (int i = 1; i < length_; ++i) value = (value << 6) | (pending_[i] & 0x3F);
            out += value;
            length_ = 0;
            return;
        }
        Finish(out);
    }
    if (byte < 0x80) {
        out += byte;
    } else if (byte >= 0xC2 && byte <= 0xF4) {
        pending_[0] = byte;
        length_ = 1;
        expected_ = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
    } else {
        out += U'\uFFFD';
    }
}

void Utf8Stream::Finish(std::u32string& out) {
    out.append(static_cast<std::size_t>(length_), U'\uFFFD');
    length_ = 0;
}

std::u32string DecodeUtf8Input(std::string_view bytes) {
    Utf8Stream stream;
    std::u32string out;
    for (char byte : bytes) stream.Push(static_cast<unsigned char>(byte), out);
    stream.Finish(out);
    return out;
}

void InputDecoder::Flush(InputSink& sink) {
    if (text_.empty()) return;
    std::u16string text;
    text.swap(text_);
    sink.Text(text);
}

void InputDecoder::Paste(const InputEvent& event) {
    if (event.kind != InputEvent::kCharacter || pasteEnded_) return;
    char32_t c = event.character;
    if (c == U'\r' || c == U'\n') {
        pasteEnded_ = true;
        return;
    }
    if (paste_.size() + 2 > kPasteLimit) return;
    AppendUtf16(paste_, c);
}

void InputDecoder::EndPaste(InputSink& sink) {
    if (pasting_ && focusInEdit_ && !paste_.empty()) sink.Paste(paste_);
    pasting_ = false;
    paste_.clear();
}

// An SGR mouse report "CSI < button ; column ; row M" (m on release), 1-based cells. Only the
// left button and motion with it held are of use; the wheel and other buttons are dropped.
void InputDecoder::MouseReport(const std::vector<int>& parameters, bool pressed, InputSink& sink) {
    if (parameters.size() < 3) return;
    const int button = parameters[0];
    if ((button & 64) || (button & 3) != 0) return;
    const std::optional<POINT> point = (*cellToPixel_)(parameters[1] - 1, parameters[2] - 1);
    if (!point) return;
    sink.MouseMove(*point);
    if (button & 32) return;  // motion
    unsigned modifiers = 0;
    if (button & 4) modifiers |= kShift;
    if (button & 8) modifiers |= kAlt;
    if (button & 16) modifiers |= kControl;
    sink.MouseButton(*point, pressed, modifiers);
}

// Handles what follows an ESC at batch[next - 1]; returns the index of the first event not used.
std::size_t InputDecoder::EscapeSequence(const std::vector<InputEvent>& batch, std::size_t next,
                                         InputSink& sink) {
    Flush(sink);
    auto characterAt = [&batch](std::size_t i) -> std::optional<char32_t> {
        if (i < batch.size() && batch[i].kind == InputEvent::kCharacter) return batch[i].character;
        return std::nullopt;
    };
    if (next < batch.size() && batch[next].kind == InputEvent::kKey) {
        sink.KeyPress(batch[next].virtualKey, batch[next].modifiers | kAlt);
        return next + 1;
    }
    const std::optional<char32_t> c = characterAt(next);
    if (!c) {
        sink.KeyPress(VK_ESCAPE, 0);
        return next;
    }

    if (*c == U'[' && characterAt(next + 1)) {
        // A control sequence the terminal description did not know: decode what xterm sends,
        // drop the rest.
        std::string parameters;
        std::size_t i = next + 1;
        for (; characterAt(i) && *characterAt(i) >= 0x20 && *characterAt(i) <= 0x3F; ++i)
            parameters += static_cast<char>(*characterAt(i));
        const std::optional<char32_t> final = characterAt(i);
        if (!final || *final < 0x40 || *final > 0x7E) return i;
        const std::vector<int> values = Parameters(parameters);
        const unsigned modifiers = values.size() > 1 ? XtermModifiers(values[1]) : 0;
        if (!parameters.empty() && parameters[0] == '<' && (*final == U'M' || *final == U'm')) {
            MouseReport(Parameters(std::string_view(parameters).substr(1)), *final == U'M', sink);
        } else if (*final == U'Z') {
            sink.KeyPress(VK_TAB, kShift);
        } else if (*final == U'~' && values[0] == 200) {
            pasting_ = true;
            pasteEnded_ = false;
            paste_.clear();
        } else if (*final == U'~') {
            if (auto key = TildeKey(values[0])) sink.KeyPress(*key, modifiers);
        } else if (auto key = FinalKey(*final)) {
            sink.KeyPress(*key, modifiers);
        }
        return i + 1;
    }
    if (*c == U'O' && characterAt(next + 1)) {
        const char32_t final = *characterAt(next + 1);
        if (auto key = FinalKey(final)) {
            sink.KeyPress(*key, 0);
        } else if (final == U'M') {
            sink.KeyPress(VK_RETURN, 0);  // keypad Enter
        } else if (auto typed = KeypadCharacter(final)) {
            AppendUtf16(text_, *typed);
        }
        return next + 2;
    }
    if (*c == kEscape) {
        sink.KeyPress(VK_ESCAPE, 0);
        return next;
    }
    if (auto key = ControlCharacter(*c)) {
        sink.KeyPress(key->virtualKey, key->modifiers | kAlt);
    } else if (*c == U' ') {
        sink.KeyPress(VK_SPACE, kAlt);
    } else if (*c >= U'a' && *c <= U'z') {
        sink.KeyPress(static_cast<UINT>(*c - U'a' + 'A'), kAlt);
    } else if (*c >= U'A' && *c <= U'Z') {
        sink.KeyPress(static_cast<UINT>(*c), kAlt | kShift);
    } else if (*c >= U'0' && *c <= U'9') {
        sink.KeyPress(static_cast<UINT>(*c), kAlt);
    }
    return next + 1;
}

void InputDecoder::Deliver(const std::vector<InputEvent>& batch, InputSink& sink,
                           const CellToPixel& cellToPixel, bool focusInEdit) {
    cellToPixel_ = &cellToPixel;
    focusInEdit_ = focusInEdit;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const InputEvent& event = batch[i];
        if (pasting_ && event.kind != InputEvent::kPasteEnd) {
            if (IsPasteEnd(batch, i)) {
                EndPaste(sink);
                i += 5;
            } else {
                Paste(event);
            }
            continue;
        }
        switch (event.kind) {
            case InputEvent::kPasteStart:
                Flush(sink);
                pasting_ = true;
                pasteEnded_ = false;
                paste_.clear();
                break;
            case InputEvent::kPasteEnd:
                EndPaste(sink);
                break;
            case InputEvent::kResize:
                Flush(sink);
                sink.DisplayChanged();
                break;
            case InputEvent::kMouseButton: {
                Flush(sink);
                if (const std::optional<POINT> point = cellToPixel(event.column, event.row)) {
                    sink.MouseMove(*point);
                    sink.MouseButton(*point, event.down, event.modifiers);
                }
                break;
            }
            case InputEvent::kMouseMove:
                Flush(sink);
                if (const std::optional<POINT> point = cellToPixel(event.column, event.row))
                    sink.MouseMove(*point);
                break;
            case InputEvent::kKey:
                Flush(sink);
                sink.KeyPress(event.virtualKey, event.modifiers);
                break;
            case InputEvent::kCharacter: {
                const char32_t c = event.character;
                if (c == kEscape) {
                    i = EscapeSequence(batch, i + 1, sink) - 1;
                } else if (c == U' ') {
                    Flush(sink);
                    sink.KeyPress(VK_SPACE, 0);
                } else if (c < 0x20 || c == 0x7F) {
                    if (auto key = ControlCharacter(c)) {
                        Flush(sink);
                        sink.KeyPress(key->virtualKey, key->modifiers);
                    }
                } else if (!IsC1(c)) {
                    AppendUtf16(text_, c);
                }
                break;
            }
        }
    }
    Flush(sink);
    cellToPixel_ = nullptr;
}

}  // namespace win32::terminal
