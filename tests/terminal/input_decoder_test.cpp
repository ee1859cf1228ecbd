// SPDX-License-Identifier: MIT
#include "terminal/input_decoder.h"

#include <curses.h>
#include <gtest/gtest.h>

#include "utf8_locale.h"

namespace win32::terminal {
namespace {

// Writes down what reaches the window system, one line per call.
class RecordingSink : public InputSink {
public:
    void KeyPress(UINT virtualKey, unsigned modifiers) override {
        std::string line = "key " + KeyName(virtualKey);
        if (modifiers & kControl) line += "+ctrl";
        if (modifiers & kAlt) line += "+alt";
        if (modifiers & kShift) line += "+shift";
        calls.push_back(line);
    }
    void Text(std::u16string_view text) override { calls.push_back("text " + Shown(text)); }
    void Paste(std::u16string_view text) override { calls.push_back("paste " + Shown(text)); }
    static std::string Shown(std::u16string_view text) {
        std::string utf8;
        for (char16_t c : text) {
            if (c >= 0x20 && c < 0x80) {
                utf8 += static_cast<char>(c);
            } else {
                char buffer[16];
                std::snprintf(buffer, sizeof buffer, "<%04X>", static_cast<unsigned>(c));
                utf8 += buffer;
            }
        }
        return utf8;
    }
    void MouseMove(POINT p) override {
        calls.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void MouseButton(POINT p, bool down, unsigned modifiers) override {
        calls.push_back(std::string(down ? "down " : "up ") + std::to_string(p.x) + "," +
                        std::to_string(p.y) + (modifiers & kShift ? "+shift" : ""));
    }
    void DisplayChanged() override { calls.push_back("display changed"); }

    std::vector<std::string> calls;

private:
    static std::string KeyName(UINT key) {
        switch (key) {
            case VK_TAB:
                return "TAB";
            case VK_RETURN:
                return "RETURN";
            case VK_ESCAPE:
                return "ESCAPE";
            case VK_SPACE:
                return "SPACE";
            case VK_BACK:
                return "BACK";
            case VK_DELETE:
                return "DELETE";
            case VK_LEFT:
                return "LEFT";
            case VK_RIGHT:
                return "RIGHT";
            case VK_UP:
                return "UP";
            case VK_HOME:
                return "HOME";
            case VK_END:
                return "END";
            case VK_INSERT:
                return "INSERT";
            default:
                if (key >= VK_F1 && key <= VK_F12) return "F" + std::to_string(key - VK_F1 + 1);
                if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
                    return std::string(1, static_cast<char>(key));
                return "?" + std::to_string(key);
        }
    }
};

using Batch = std::vector<InputEvent>;
using Calls = std::vector<std::string>;

// A batch of characters, as ncurses hands over bytes it did not recognise as a key.
Batch Chars(std::u32string_view text) {
    Batch batch;
    for (char32_t c : text) batch.push_back(InputEvent::Character(c));
    return batch;
}

Batch operator+(Batch a, const Batch& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Cells map to pixels 100 x 1000; row 99 is the display's own (its task bar).
std::optional<POINT> CellCentre(int column, int row) {
    if (row == 99) return std::nullopt;
    return POINT{column * 100, row * 1000};
}

Calls Decode(const std::vector<Batch>& batches, bool focusInEdit = true) {
    InputDecoder decoder;
    RecordingSink sink;
    for (const Batch& batch : batches) decoder.Deliver(batch, sink, CellCentre, focusInEdit);
    return sink.calls;
}

TEST(InputDecoder, TypedTextAndKeys) {
    ASSERT_TRUE(kUtf8Locale);
    const struct {
        const char* name;
        Batch batch;
        Calls calls;
    } cases[] = {
        {"plain text in one call", Chars(U"abc"), {"text abc"}},
        {"space is the key, so that it presses buttons",
         Chars(U"a b"),
         {"text a", "key SPACE", "text b"}},
        {"wide and astral characters", Chars(U"中文\U0001F511"), {"text <4E2D><6587><D83D><DD11>"}},
        {"tab, enter and backspace",
         Chars(U"\t\r\n\x7f\b"),
         {"key TAB", "key RETURN", "key RETURN", "key BACK", "key BACK"}},
        {"control letters",
         Chars(U"\x01\x03\x16\x18\x1a"),
         {"key A+ctrl", "key C+ctrl", "key V+ctrl", "key X+ctrl", "key Z+ctrl"}},
        {"other controls are dropped",
         Batch{InputEvent::Character(0)} + Chars(U"\x1c\x1fx\x85"),
         {"text x"}},
        {"a lone escape", Chars(U"\x1b"), {"key ESCAPE"}},
        {"escape twice", Chars(U"\x1b\x1b"), {"key ESCAPE", "key ESCAPE"}},
        {"escape prefix is alt",
         Chars(U"\x1b"
               "f\x1b"
               "F\x1b"
               "4\x1b "),
         {"key F+alt", "key F+alt+shift", "key 4+alt", "key SPACE+alt"}},
        {"alt with control characters",
         Chars(U"\x1b\x7f\x1b\r"),
         {"key BACK+alt", "key RETURN+alt"}},
        {"alt with a key ncurses decoded",
         Chars(U"x\x1b") + Batch{InputEvent::Key(VK_F4)},
         {"text x", "key F4+alt"}},
        {"keys ncurses decoded",
         Batch{InputEvent::Key(VK_TAB, kShift), InputEvent::Key(VK_LEFT)},
         {"key TAB+shift", "key LEFT"}},
        {"xterm sequences the terminal description lacks",
         Chars(U"\x1b[1;3S\x1b[1;5D\x1b[3~\x1b[3;2~\x1b[Z\x1bOP\x1b[1;2H\x1b[2~"),
         {"key F4+alt", "key LEFT+ctrl", "key DELETE", "key DELETE+shift", "key TAB+shift",
          "key F1", "key HOME+shift", "key INSERT"}},
        {"keypad keys in application mode are their main keys",
         Chars(U"\x1bOM\x1bOp\x1bOy\x1bOk\x1bOn"),
         {"key RETURN", "text 0", "text 9", "text +", "text ."}},
        {"unknown sequences vanish", Chars(U"\x1b[?1;2c\x1b[I\x1b[99~ok"), {"text ok"}},
        {"a sequence cut off by the batch's end is dropped", Chars(U"\x1b[1;"), {}},
        {"alt and [ alone", Chars(U"\x1b["), {}},
        {"resize", Batch{InputEvent::Of(InputEvent::kResize)}, {"display changed"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode({c.batch}), c.calls) << c.name;
}

TEST(InputDecoder, MouseClicksLandOnTheCellsPixel) {
    const Batch batch =
        Chars(U"ab") + Batch{InputEvent::Mouse(3, 4, true, kShift), InputEvent::Mouse(3, 4, false),
                             InputEvent::Move(5, 6)};
    EXPECT_EQ(Decode({batch}), (Calls{"text ab", "move 300,4000", "down 300,4000+shift",
                                      "move 300,4000", "up 300,4000", "move 500,6000"}));
    // SGR reports (1-based) from terminals whose description ncurses lacks: left button only.
    EXPECT_EQ(Decode({Chars(U"\x1b[<0;10;5M\x1b[<32;11;5M\x1b[<0;11;5m\x1b[<64;1;1M\x1b[<2;1;1M")}),
              (Calls{"move 900,4000", "down 900,4000", "move 1000,4000", "move 1000,4000",
                     "up 1000,4000"}));
}

TEST(InputDecoder, PasteGoesIntoTheEditAsItIsUpToItsFirstLineBreak) {
    ASSERT_TRUE(kUtf8Locale);
    const InputEvent start = InputEvent::Of(InputEvent::kPasteStart);
    const InputEvent end = InputEvent::Of(InputEvent::kPasteEnd);
    const struct {
        const char* name;
        std::vector<Batch> batches;
        bool focusInEdit;
        Calls calls;
    } cases[] = {
        {"one line",
         {Batch{start} + Chars(U"hello world") + Batch{end}},
         true,
         {"paste hello world"}},
        {"stops at the first line break, keys and controls inside are text",
         {Batch{start} + Chars(U"one\ttwo\x1b\r\nthree") + Batch{InputEvent::Key(VK_TAB), end} +
          Chars(U"x")},
         true,
         {"paste one<0009>two<001B>", "text x"}},
        {"spread over batches",
         {Chars(U"a") + Batch{start} + Chars(U"中"), Chars(U"文"), Batch{end}},
         true,
         {"text a", "paste <4E2D><6587>"}},
        {"nothing outside an edit", {Batch{start} + Chars(U"a b\r") + Batch{end}}, false, {}},
        {"markers the terminal description lacks",
         {Chars(U"\x1b[200~pa ste\x1b[201~!")},
         true,
         {"paste pa ste", "text !"}},
        {"an empty paste", {Batch{start, end}}, true, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode(c.batches, c.focusInEdit), c.calls) << c.name;

    // A huge paste is bounded.
    Batch huge{start};
    for (int i = 0; i < 100000; ++i) huge.push_back(InputEvent::Character(U'z'));
    huge.push_back(end);
    const Calls calls = Decode({huge});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_LE(calls[0].size(), 5u + 0x10000u);
    EXPECT_GE(calls[0].size(), 5u + 32767u);
}

// Each invalid byte is one U+FFFD and everything after it is kept, within a read and across.
TEST(Utf8Stream, KeepsEverythingAfterAnInvalidByte) {
    const struct {
        std::string_view bytes;
        std::u32string characters;
    } cases[] = {
        {"a\xff"
         "bcd",
         U"a\uFFFDbcd"},
        {"abc\377def", U"abc\uFFFDdef"},
        {"\xe4\xb8\xad\xf0\x9f\x94\x91", U"中\U0001F511"},
        {"\xe4\xb8"
         "a",
         U"\uFFFD\uFFFDa"},                                           // cut short
        {"\xc0\xaf\xed\xa0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, surrogate
        {"\xf4\x90\x80\x80z", U"\uFFFD\uFFFD\uFFFD\uFFFDz"},          // past U+10FFFF
        {"\x80\xe4", U"\uFFFD\uFFFD"},                                // the end cut short
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeUtf8Input(c.bytes), c.characters) << c.bytes;

    Utf8Stream stream;  // a character split over two reads
    std::u32string out;
    for (unsigned char byte : {0xe4, 0xb8}) stream.Push(byte, out);
    EXPECT_EQ(out, U"");
    stream.Push(0xad, out);
    EXPECT_EQ(out, U"中");
}

TEST(KeyFromCurses, KeysAndModifiers) {
    const struct {
        int code;
        const char* name;
        std::optional<KeyWithModifiers> key;
    } cases[] = {
        {KEY_LEFT, "KEY_LEFT", KeyWithModifiers{VK_LEFT, 0}},
        {KEY_SRIGHT, "KEY_SRIGHT", KeyWithModifiers{VK_RIGHT, kShift}},
        {KEY_SR, "KEY_SR", KeyWithModifiers{VK_UP, kShift}},
        {KEY_BTAB, "KEY_BTAB", KeyWithModifiers{VK_TAB, kShift}},
        {KEY_HOME, "KEY_HOME", KeyWithModifiers{VK_HOME, 0}},
        {KEY_SEND, "KEY_SEND", KeyWithModifiers{VK_END, kShift}},
        {KEY_DC, "KEY_DC", KeyWithModifiers{VK_DELETE, 0}},
        {KEY_SDC, "KEY_SDC", KeyWithModifiers{VK_DELETE, kShift}},
        {KEY_BACKSPACE, "KEY_BACKSPACE", KeyWithModifiers{VK_BACK, 0}},
        {KEY_ENTER, "KEY_ENTER", KeyWithModifiers{VK_RETURN, 0}},
        {KEY_F(4), "KEY_F(4)", KeyWithModifiers{VK_F4, 0}},
        {KEY_F(16), "KEY_F(16)", KeyWithModifiers{VK_F4, kShift}},
        {KEY_F(28), "KEY_F(28)", KeyWithModifiers{VK_F4, kControl}},
        {KEY_F(52), "KEY_F(52)", KeyWithModifiers{VK_F4, kAlt}},
        {KEY_F(61), "KEY_F(61)", KeyWithModifiers{VK_F1, kAlt | kShift}},
        {1000, "kLFT5", KeyWithModifiers{VK_LEFT, kControl}},
        {1001, "kRIT6", KeyWithModifiers{VK_RIGHT, kControl | kShift}},
        {1002, "kDC3", KeyWithModifiers{VK_DELETE, kAlt}},
        {1003, "kHOM2", KeyWithModifiers{VK_HOME, kShift}},
        {1004, "kEND8", KeyWithModifiers{VK_END, kControl | kAlt | kShift}},
        {1005, "kLFT", std::nullopt},
        {1006, "kLFT9", std::nullopt},
        {1007, "kxIN", std::nullopt},
        {KEY_B2, "KEY_B2", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto key = KeyFromCurses(c.code, c.name);
        ASSERT_EQ(key.has_value(), c.key.has_value()) << c.name;
        if (!key) continue;
        EXPECT_EQ(key->virtualKey, c.key->virtualKey) << c.name;
        EXPECT_EQ(key->modifiers, c.key->modifiers) << c.name;
    }
}

}  // namespace
}  // namespace win32::terminal
