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
    void PasteAt(POINT, std::u16string_view text) override {
        calls.push_back("paste at " + Shown(text));
    }
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
    void MouseButton(POINT p, MouseKey button, bool down, unsigned modifiers) override {
        calls.push_back(std::string(button == MouseKey::kRight ? "right " : "") +
                        (down ? "down " : "up ") + std::to_string(p.x) + "," + std::to_string(p.y) +
                        (modifiers & kShift ? "+shift" : ""));
    }
    void DisplayChanged() override { calls.push_back("display changed"); }
    void ClipboardTaken() override { calls.push_back("clipboard taken"); }
    void ClipboardOffersText(bool) override { calls.push_back("clipboard offers text"); }
    void Request(HWND, WindowRequest request) override {
        calls.push_back("request " + std::to_string(static_cast<int>(request)));
    }

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

using Calls = std::vector<std::string>;

// Characters that arrived together, and when (ms). No characters: the display's wait ran out.
struct Arrival {
    std::u32string characters;
    Milliseconds at = 0;
};

// Cells map to pixels 100 x 1000; row 99 is the display's own (its task bar).
std::optional<POINT> CellCentre(int column, int row) {
    if (row == 99) return std::nullopt;
    return POINT{column * 100, row * 1000};
}

// What reaches the window system, once whatever still waits at the end has been settled.
Calls Decode(const std::vector<Arrival>& arrivals, bool focusInEdit = true,
             std::vector<KeyString> keys = {}) {
    InputDecoder decoder(std::move(keys));
    RecordingSink sink;
    for (const Arrival& arrival : arrivals)
        decoder.Deliver(arrival.characters, arrival.at, sink, CellCentre, focusInEdit);
    if (const std::optional<Milliseconds> deadline = decoder.Deadline())
        decoder.Deliver({}, *deadline, sink, CellCentre, focusInEdit);
    EXPECT_FALSE(decoder.Deadline().has_value()) << "still waiting after its deadline";
    return sink.calls;
}

TEST(InputDecoder, TypedTextAndKeys) {
    ASSERT_TRUE(kUtf8Locale);
    const struct {
        const char* name;
        std::u32string characters;
        Calls calls;
    } cases[] = {
        {"plain text in one call", U"abc", {"text abc"}},
        {"space is the key, so that it presses buttons", U"a b", {"text a", "key SPACE", "text b"}},
        {"wide and astral characters", U"中文\U0001F511", {"text <4E2D><6587><D83D><DD11>"}},
        {"tab, enter and backspace",
         U"\t\r\n\x7f\b",
         {"key TAB", "key RETURN", "key RETURN", "key BACK", "key BACK"}},
        {"control letters",
         U"\x01\x03\x16\x18\x1a",
         {"key A+ctrl", "key C+ctrl", "key V+ctrl", "key X+ctrl", "key Z+ctrl"}},
        {"other controls are dropped", std::u32string{0, 0x1c, 0x1f, U'x', 0x85}, {"text x"}},
        {"a lone escape", U"\x1b", {"key ESCAPE"}},
        {"escape twice", U"\x1b\x1b", {"key ESCAPE", "key ESCAPE"}},
        {"escape prefix is alt",
         U"\x1b"
         "f\x1b"
         "F\x1b"
         "4\x1b ",
         {"key F+alt", "key F+alt+shift", "key 4+alt", "key SPACE+alt"}},
        {"alt with control characters", U"\x1b\x7f\x1b\r", {"key BACK+alt", "key RETURN+alt"}},
        {"escape before a key's sequence is alt",
         U"x\x1b\x1b[D\x1b\x1bx",
         {"text x", "key LEFT+alt", "key ESCAPE", "key X+alt"}},
        {"xterm sequences",
         U"\x1b[1;3S\x1b[1;5D\x1b[3~\x1b[3;2~\x1b[Z\x1bOP\x1b[1;2H\x1b[2~\x9b"
         U"D",
         {"key F4+alt", "key LEFT+ctrl", "key DELETE", "key DELETE+shift", "key TAB+shift",
          "key F1", "key HOME+shift", "key INSERT", "key LEFT"}},
        {"keypad keys in application mode are their main keys",
         U"\x1bOM\x1bOp\x1bOy\x1bOk\x1bOn",
         {"key RETURN", "text 0", "text 9", "text +", "text ."}},
        {"unknown sequences and replies vanish",
         U"\x1b[?1;2c\x1b[I\x1b[99~\x1b[?62;22c\x1b[1$yok",
         {"text ok"}},
        {"a control sequence longer than any key",
         U"\x1b[" + std::u32string(200, U'1') + U"Dok",
         {"text ok"}},
        {"a sequence that never ends is dropped", U"\x1b[1;", {}},
        {"alt and [ alone", U"\x1b[", {}},
        {"a typed character after a begun sequence is typed", U"\x1b[1;\tz", {"key TAB", "text z"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode({{c.characters}}), c.calls) << c.name;
}

// OSC, DCS, APC and PM strings (replies the program never asked for) end at BEL or ST, in
// their 7-bit and 8-bit forms; a control character or a new ESC ends an unfinished one.
TEST(InputDecoder, TerminalStringsAreConsumed) {
    const struct {
        const char* name;
        std::u32string characters;
        Calls calls;
    } cases[] = {
        {"colour report, DCS reply, title, APC, PM",
         U"\x1b]11;rgb:0000/0000/0000\a\x1bP1$r0m\x1b\\\x1b]0;x\x1b\\\x1b_apc\x1b\\\x1b^pm\aok",
         {"text ok"}},
        {"8-bit forms",
         U"\x9d"
         U"0;t\x9c\x90q\x9c\x9f"
         U"a\x9cok",
         {"text ok"}},
        {"non-ASCII content", U"\x1b]2;標題\aok", {"text ok"}},
        {"CAN abandons a string", U"\x1b]11;rgb\x18ok", {"text ok"}},
        {"a control character ends it and counts", U"\x1bPabc\rz", {"key RETURN", "text z"}},
        {"an ESC ends it and begins a sequence", U"\x1b]abc\x1b[Dz", {"key LEFT", "text z"}},
        {"a string that never ends is dropped", U"\x1b]11;rgb:0/0/0", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode({{c.characters}}), c.calls) << c.name;
}

// When the parts of a key's sequence arrive decides what they are: a lone ESC is Escape once
// kEscapeWait has passed with nothing after it; a begun sequence waits kSequenceStall.
TEST(InputDecoder, SplitSequencesAndWaits) {
    const struct {
        const char* name;
        std::vector<Arrival> arrivals;
        Calls calls;
    } cases[] = {
        {"split after its ESC", {{U"\x1b", 0}, {U"[D", 50}}, {"key LEFT"}},
        {"split after its ESC [", {{U"\x1b[", 0}, {U"D", 300}}, {"key LEFT"}},
        {"split after its ESC [ 1 ; 5", {{U"\x1b[1;5", 0}, {U"D", 900}}, {"key LEFT+ctrl"}},
        {"an alt key split", {{U"\x1b", 0}, {U"f", kEscapeWait - 1}}, {"key F+alt"}},
        {"Escape once the wait ran out, then a key",
         {{U"abc\x1b", 0}, {U"", kEscapeWait}, {U"[D", kEscapeWait + 1}},
         {"text abc", "key ESCAPE", "text [D"}},
        {"not yet Escape before the wait ran out",
         {{U"\x1b", 0}, {U"", kEscapeWait - 1}, {U"[D", kEscapeWait + 1}},
         {"key LEFT"}},
        {"input that arrived wins over a late wake-up", {{U"\x1b", 0}, {U"[D", 500}}, {"key LEFT"}},
        {"a stalled sequence is dropped, the next key arrives",
         {{U"\x1b[1;", 0}, {U"", kSequenceStall}, {U"a", kSequenceStall + 1}},
         {"text a"}},
        {"a stalled string is dropped, the next key arrives",
         {{U"\x1b]11;rgb", 0}, {U"", kSequenceStall}, {U"a", kSequenceStall + 1}},
         {"text a"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode(c.arrivals), c.calls) << c.name;
}

// The terminal description's own key strings, where they differ from xterm's: the Linux
// console's F1 and Shift+Tab, rxvt's Shift+Up; and one that is a prefix of another.
TEST(InputDecoder, KeysOfTheTerminalDescription) {
    const std::vector<KeyString> keys = {
        {U"\x1b[[A", {VK_F1, 0}},   {U"\x1b\t", {VK_TAB, kShift}}, {U"\x1b[a", {VK_UP, kShift}},
        {U"\x1b[1~", {VK_HOME, 0}}, {U"\x1b[1~x", {VK_END, 0}},
    };
    const struct {
        const char* name;
        std::vector<Arrival> arrivals;
        Calls calls;
    } cases[] = {
        {"whole",
         {{U"\x1b[[A\x1b\t\x1b[a\x1b[1~x", 0}},
         {"key F1", "key TAB+shift", "key UP+shift", "key END"}},
        {"split", {{U"\x1b[", 0}, {U"[", 200}, {U"A", 400}}, {"key F1"}},
        {"with alt", {{U"\x1b\x1b[[A", 0}}, {"key F1+alt"}},
        {"a key that begins a longer one, then nothing", {{U"\x1b[1~", 0}}, {"key HOME"}},
        {"xterm's forms still known", {{U"\x1b[Z\x1b[D", 0}}, {"key TAB+shift", "key LEFT"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode(c.arrivals, true, keys), c.calls) << c.name;
}

TEST(InputDecoder, MouseClicksLandOnTheCellsPixel) {
    // SGR reports (1-based cells): the left button with motion while held, the right button;
    // the wheel, the middle button and motion with the right one held are dropped.
    EXPECT_EQ(
        Decode({{U"ab\x1b[<4;4;5M\x1b[<0;4;5m\x1b[<32;6;7M\x1b[<64;1;1M\x1b[<2;1;1M"
                 U"\x1b[<34;2;2M\x1b[<2;1;1m\x1b[<1;1;1M"}}),
        (Calls{"text ab", "move 300,4000", "down 300,4000+shift", "move 300,4000", "up 300,4000",
               "move 500,6000", "move 0,0", "right down 0,0", "move 0,0", "right up 0,0"}));
    // Legacy reports: each byte 32 more than its value; a release is of the button pressed last.
    EXPECT_EQ(
        Decode({{U"\x1b[M $%\x1b[M#$%\x1b[M@&%\x1b[M!$%\x1b[M\"$%\x1b[M#$%"}}),
        (Calls{"move 300,4000", "down 300,4000", "move 300,4000", "up 300,4000", "move 500,4000",
               "move 300,4000", "right down 300,4000", "move 300,4000", "right up 300,4000"}));
    // The display's own cells (its task bar) take the click themselves.
    EXPECT_EQ(Decode({{U"\x1b[<0;1;100M"}}), Calls{});
}

TEST(InputDecoder, PasteGoesIntoTheEditAsItIsUpToItsFirstLineBreak) {
    ASSERT_TRUE(kUtf8Locale);
    const std::u32string start = U"\x1b[200~", end = U"\x1b[201~";
    const struct {
        const char* name;
        std::vector<Arrival> arrivals;
        bool focusInEdit;
        Calls calls;
    } cases[] = {
        {"one line", {{start + U"hello world" + end}}, true, {"paste hello world"}},
        {"stops at the first line break, keys and controls inside are text",
         {{start + U"one\ttwo\x1b\r\nthree\x1b[D" + end + U"x"}},
         true,
         {"paste one<0009>two<001B>", "text x"}},
        {"spread over reads, the end marker split too",
         {{U"a" + start + U"中", 0}, {U"文\x1b[2", 10}, {U"01~b", 20}},
         true,
         {"text a", "paste <4E2D><6587>", "text b"}},
        {"what only looked like the end marker is pasted",
         {{start + U"a\x1b[20x" + end}},
         true,
         {"paste a<001B>[20x"}},
        {"nothing outside an edit", {{start + U"a b\r" + end}}, false, {}},
        {"an empty paste", {{start + end}}, true, {}},
        {"a paste without its end ends when it stalls; keys are keys again",
         {{start + U"abc", 0},
          {U"", kPasteStall - 1},
          {U"d", kPasteStall},
          {U"", 2 * kPasteStall},
          {U"\t", 2 * kPasteStall + 1}},
         true,
         {"paste abcd", "key TAB"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Decode(c.arrivals, c.focusInEdit), c.calls) << c.name;

    // A huge paste is bounded.
    const Calls calls = Decode({{start + std::u32string(100000, U'z') + end}});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_LE(calls[0].size(), 5u + 0x10000u);
    EXPECT_GE(calls[0].size(), 5u + 32767u);
}

// Malformed bytes become U+FFFD as Windows reads them (the codec's own suite checks that) and
// everything after them is kept, within a read and across.
TEST(Utf8Stream, KeepsEverythingAfterAnInvalidByte) {
    const struct {
        std::string_view bytes;
        std::u32string characters;
    } cases[] = {
        {"a\xff"
         "bcd",
         U"a\uFFFDbcd"},
        {"\xe4\xb8\xad\xf0\x9f\x94\x91", U"中\U0001F511"},
        {"\xe4\xb8"
         "a",
         U"\uFFFDa"},                   // cut short
        {"\x80\xe4", U"\uFFFD\uFFFD"},  // the end cut short
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeUtf8Input(c.bytes), c.characters) << c.bytes;

    Utf8Stream stream;  // a character split over two reads
    std::u32string out;
    for (unsigned char byte : {0xe4, 0xb8}) stream.Push(byte, out);
    EXPECT_EQ(out, U"");
    stream.Push(0xad, out);
    EXPECT_EQ(out, U"中");
}

// Other encodings than UTF-8 (the locales the test set-up generates): each byte that begins no
// character is one U+FFFD, and the byte after it is read afresh.
TEST(LocaleStream, DecodesTheLocalesEncoding) {
    const struct {
        const char* locale;
        std::string_view bytes;
        std::u32string characters;
    } cases[] = {
        {"en_US.ISO-8859-1",
         "\xe9"
         "A\xff",
         U"\u00e9A\u00ff"},
        {"zh_CN.GBK", "\xd5\xc5\xc8\xfd", U"张三"},
        {"zh_CN.GBK", "\xd5\n\xffz", U"\uFFFD\n\uFFFDz"},
        {"zh_TW.BIG5", "\xb1\x69\xa4\x54", U"張三"},
        {"ja_JP.EUC-JP", "\xc4\xa5\xbb\xb0\x8e\xb1", U"張三\uFF71"},
        {"C.UTF-8", "\xe5\xbc\xa0\xff", U"张\uFFFD"},
    };
    for (const auto& c : cases) {
        if (std::setlocale(LC_CTYPE, c.locale) == nullptr) {
            ADD_FAILURE() << c.locale << " is not installed (scripts/setup.sh test generates it)";
            continue;
        }
        LocaleStream stream;
        std::u32string out;
        for (char byte : c.bytes) stream.Push(static_cast<unsigned char>(byte), out);
        EXPECT_EQ(out, c.characters) << c.locale;
    }
    std::setlocale(LC_CTYPE, "C.UTF-8");
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
