// SPDX-License-Identifier: MIT
// The terminal's input decoding on arbitrary bytes. Whatever comes before it, valid UTF-8 text
// comes out whole (an invalid byte never swallows what follows), and no byte becomes more than
// one character. And the decoder is never stuck: after any input, arriving at any pace, and the
// wait it asks for, a typed character and a plain key still arrive as themselves.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codepages/utf.h"
#include "terminal/input_decoder.h"

using win32::terminal::DecodeUtf8Input;
using win32::terminal::InputDecoder;
using win32::terminal::Milliseconds;
using win32::terminal::Utf8Stream;

namespace {

// Valid text made of the fuzzer's bytes: each pair of bytes one code point, no surrogates.
std::string ValidText(const std::uint8_t* data, std::size_t size, std::u32string& points) {
    std::string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        char32_t c = (char32_t{data[i]} << 9 | char32_t{data[i + 1]} << 1) % 0x110000;
        if (c >= 0xD800 && c < 0xE000) c -= 0x800;
        points += c;
        codepages::utf::AppendUtf8(text, c);
    }
    return text;
}

// Remembers the last thing that reached the window system.
class LastCall : public win32::InputSink {
public:
    void KeyPress(UINT virtualKey, unsigned modifiers) override {
        key = virtualKey;
        keyModifiers = modifiers;
        text.clear();
    }
    void Text(std::u16string_view typed) override {
        text = typed;
        key = 0;
    }
    void Paste(std::u16string_view) override { Other(); }
    void PasteAt(POINT, std::u16string_view) override { Other(); }
    void MouseMove(POINT) override { Other(); }
    void MouseButton(POINT, win32::MouseKey, bool, unsigned) override { Other(); }
    void DisplayChanged() override { Other(); }
    void Request(HWND, win32::WindowRequest) override { Other(); }
    void ClipboardTaken() override { Other(); }
    void ClipboardOffersText(bool) override { Other(); }

    UINT key = 0;
    unsigned keyModifiers = 0;
    std::u16string text;

private:
    void Other() {
        key = 0;
        text.clear();
    }
};

// Feeds `bytes` to a decoder as a terminal delivers them; a byte 0xFF ends a read, and the
// byte after it is how many milliseconds (x 8) pass before the next. Then it waits as the
// decoder asks, and types "x" and a Tab, which must arrive as themselves.
void CheckNeverStuck(std::string_view bytes) {
    InputDecoder decoder;
    LastCall sink;
    const InputDecoder::CellToPixel cell = [](int column, int row) -> std::optional<POINT> {
        return POINT{column, row};
    };
    Utf8Stream utf8;
    Milliseconds now = 0;
    std::u32string characters;
    auto deliver = [&] {
        decoder.Deliver(characters, now, sink, cell, true);
        characters.clear();
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0xFF && i + 1 < bytes.size()) {
            if (!characters.empty()) deliver();
            now += 8 * static_cast<unsigned char>(bytes[++i]);
            if (const auto deadline = decoder.Deadline(); deadline && now >= *deadline) deliver();
            continue;
        }
        utf8.Push(byte, characters);
    }
    if (!characters.empty()) deliver();
    if (const auto deadline = decoder.Deadline()) {
        if (*deadline < now) std::abort();  // a deadline in the past was not settled
        now = *deadline;
        deliver();
    }
    if (decoder.Deadline()) std::abort();  // still waiting after its wait ran out

    now += 1;
    utf8.Push('x', characters);
    deliver();
    if (sink.text.empty() || sink.text.back() != u'x') std::abort();  // typed text lost
    now += 1;
    characters = U"\t";
    deliver();
    if (sink.key != VK_TAB || sink.keyModifiers != 0) std::abort();  // a plain key lost
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t split = data[0] % (size);  // the arbitrary part, then the valid text
    const std::string_view noise(reinterpret_cast<const char*>(data + 1), split);
    std::u32string points;
    const std::string valid = ValidText(data + 1 + split, size - 1 - split, points);
    const std::string input = std::string(noise) + valid;

    const std::u32string whole = DecodeUtf8Input(input);
    if (whole.size() < points.size() ||
        whole.compare(whole.size() - points.size(), points.size(), points) != 0) {
        std::abort();  // valid text after the noise was lost or changed
    }
    if (whole.size() > input.size()) std::abort();  // at most one character per byte

    CheckNeverStuck(noise);
    return 0;
}
