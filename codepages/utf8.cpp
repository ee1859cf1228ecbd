// SPDX-License-Identifier: MIT
// UTF-8 <-> UTF-16 with Windows' substitutions (U+FFFD, no failure).
#include "codepages/output.h"

namespace codepages {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

bool PutUtf8(char32_t code, Output<char>& out) {
    auto put = [&out](unsigned int byte) { return out.Put(static_cast<char>(byte)); };
    if (code < 0x80) return put(code);
    if (code < 0x800) return put(0xC0 | (code >> 6)) && put(0x80 | (code & 0x3F));
    if (code < 0x10000) {
        return put(0xE0 | (code >> 12)) && put(0x80 | ((code >> 6) & 0x3F)) &&
               put(0x80 | (code & 0x3F));
    }
    return put(0xF0 | (code >> 18)) && put(0x80 | ((code >> 12) & 0x3F)) &&
           put(0x80 | ((code >> 6) & 0x3F)) && put(0x80 | (code & 0x3F));
}

bool PutUtf16(char32_t code, Output<char16_t>& out) {
    if (code < 0x10000) return out.Put(static_cast<char16_t>(code));
    code -= 0x10000;
    return out.Put(static_cast<char16_t>(0xD800 | (code >> 10))) &&
           out.Put(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
}

// How many continuation bytes a lead byte asks for (0: it cannot start a sequence), and the
// range of the second byte outside which the sequence is an overlong form, a surrogate or past
// U+10FFFF.
struct Lead {
    int continuations;
    unsigned char secondLow;
    unsigned char secondHigh;
};

Lead ClassifyLead(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {1, 0x80, 0xBF};
    if (byte == 0xE0) return {2, 0xA0, 0xBF};
    if (byte == 0xED) return {2, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {2, 0x80, 0xBF};
    if (byte == 0xF0) return {3, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {3, 0x80, 0xBF};
    if (byte == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0};
}

bool IsContinuation(unsigned char byte) { return byte >= 0x80 && byte <= 0xBF; }

}  // namespace

bool Utf16ToUtf8(std::span<const char16_t> text, Output<char>& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (IsHighSurrogate(text[i]) || IsLowSurrogate(text[i])) {
            code = kReplacement;
        }
        if (!PutUtf8(code, out)) return false;
    }
    return true;
}

// Windows' reading of malformed UTF-8, each case giving one U+FFFD: a byte that starts no
// sequence; a sequence that the input ends inside, with the rest of the input, whatever it is;
// a lead byte followed by a byte that is no continuation byte (which then starts anew); a lead
// and a second byte that make an overlong form, a surrogate or a code point past U+10FFFF, with
// both bytes.
bool Utf8ToUtf16(std::span<const unsigned char> text, Output<char16_t>& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = text[i++];
        if (lead < 0x80) {
            if (!out.Put(lead)) return false;
            continue;
        }
        const Lead kind = ClassifyLead(lead);
        if (text.size() - i < static_cast<std::size_t>(kind.continuations)) {
            return out.Put(kReplacement);
        }
        char32_t code = lead & (0x3F >> kind.continuations);
        bool complete = kind.continuations > 0;
        for (int taken = 0; complete && taken < kind.continuations; ++taken) {
            const unsigned char byte = text[i];
            if (!IsContinuation(byte)) {
                complete = false;
                break;
            }
            ++i;
            complete = taken > 0 || (byte >= kind.secondLow && byte <= kind.secondHigh);
            code = (code << 6) | (byte & 0x3F);
        }
        if (!PutUtf16(complete ? code : kReplacement, out)) return false;
    }
    return true;
}

}  // namespace codepages
