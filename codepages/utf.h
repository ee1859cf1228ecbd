// SPDX-License-Identifier: MIT
// The one UTF-8 and UTF-16 codec of the project: the cipher, the command line, the library, the
// code pages' CP_UTF8 and the platform all decode and encode here. Header-only, so that the
// Windows build's command line uses it without the code-page tables.
//
// Malformed UTF-8 is read as Windows' MultiByteToWideChar(CP_UTF8, 0) reads it (recorded under
// Wine in codepages/recording/cp65001.txt), each case one U+FFFD:
//  - a byte that starts no sequence (80-C1, F5-FF);
//  - a lead byte and the continuation bytes after it, up to a byte that is no continuation
//    byte; that byte then starts anew;
//  - a lead and a second byte that make an overlong form, a surrogate or a value past U+10FFFF;
//  - a sequence cut off by the end of the input, together with all the rest of the input.
// A stream (Utf8Stream) has no end: a sequence cut off by the end of one read waits for the
// next, and the byte that breaks it decides as above.
// A lone surrogate in UTF-16 becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace codepages::utf {

inline constexpr char32_t kReplacement = 0xFFFD;

// One character read from the front of some text.
struct Decoded {
    char32_t code;       // kReplacement where the text is malformed
    std::size_t length;  // the units it takes; 0: the bytes so far begin a sequence, wait for more
    bool malformed;
};

// The first character of `bytes` (not empty). `more`: the bytes are not the end of the input.
inline Decoded DecodeUtf8(std::string_view bytes, bool more = false) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1, false};
    // The continuation bytes the lead asks for, and the range of the second byte outside which
    // the sequence is an overlong form, a surrogate or past U+10FFFF.
    std::size_t continuations = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {kReplacement, 1, true};
    }
    if (bytes.size() <= continuations && !more) return {kReplacement, bytes.size(), true};
    char32_t code = lead & (0x3F >> continuations);
    for (std::size_t i = 1; i <= continuations; ++i) {
        if (i == bytes.size()) return {0, 0, false};
        const unsigned char next = byte(i);
        if (next < 0x80 || next > 0xBF) return {kReplacement, i, true};
        if (i == 1 && (next < low || next > high)) return {kReplacement, 2, true};
        code = (code << 6) | (next & 0x3F);
    }
    return {code, continuations + 1, false};
}

// The first code point of `units` (not empty); a lone surrogate is malformed.
inline Decoded DecodeUtf16(std::u16string_view units) {
    const char16_t unit = units[0];
    if (unit < 0xD800 || unit > 0xDFFF) return {unit, 1, false};
    if (unit <= 0xDBFF && units.size() > 1 && units[1] >= 0xDC00 && units[1] <= 0xDFFF) {
        return {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{units[1]} - 0xDC00), 2,
                false};
    }
    return {kReplacement, 1, true};
}

// The UTF-16 units of `code`, a surrogate or a value past U+10FFFF as U+FFFD; their count.
inline int EncodeUtf16(char32_t code, char16_t (&units)[2]) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
    if (code < 0x10000) {
        units[0] = static_cast<char16_t>(code);
        return 1;
    }
    code -= 0x10000;
    units[0] = static_cast<char16_t>(0xD800 | (code >> 10));
    units[1] = static_cast<char16_t>(0xDC00 | (code & 0x3FF));
    return 2;
}

// The UTF-8 bytes of `code`, a surrogate or a value past U+10FFFF as U+FFFD; their count.
inline int EncodeUtf8(char32_t code, char (&bytes)[4]) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) code = kReplacement;
    const auto put = [&bytes](int i, char32_t value) { bytes[i] = static_cast<char>(value); };
    if (code < 0x80) {
        put(0, code);
        return 1;
    }
    static constexpr char32_t kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    const int length = code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    for (int i = length - 1; i > 0; --i, code >>= 6) put(i, 0x80 | (code & 0x3F));
    put(0, kLead[length] | code);
    return length;
}

inline void AppendUtf16(std::u16string& out, char32_t code) {
    char16_t units[2];
    out.append(units, static_cast<std::size_t>(EncodeUtf16(code, units)));
}

inline void AppendUtf8(std::string& out, char32_t code) {
    char bytes[4];
    out.append(bytes, static_cast<std::size_t>(EncodeUtf8(code, bytes)));
}

inline std::u16string Utf8ToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded decoded = DecodeUtf8(bytes.substr(i));
        AppendUtf16(out, decoded.code);
        i += decoded.length;
    }
    return out;
}

inline std::string Utf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size();) {
        const Decoded decoded = DecodeUtf16(units.substr(i));
        AppendUtf8(out, decoded.code);
        i += decoded.length;
    }
    return out;
}

// Whether `bytes` decode without a replacement: no stray continuation byte, no overlong form,
// no surrogate, nothing past U+10FFFF, no sequence cut short.
inline bool IsWellFormedUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const Decoded decoded = DecodeUtf8(bytes.substr(i));
        if (decoded.malformed) return false;
        i += decoded.length;
    }
    return true;
}

// UTF-8 decoded as it arrives, across reads (a terminal's input).
class Utf8Stream {
public:
    // Appends the code points that `byte` completes or breaks.
    void Push(unsigned char byte, std::u32string& out) {
        pending_[length_++] = static_cast<char>(byte);
        Drain(true, out);
    }
    // Ends the input: a sequence still waiting is one U+FFFD.
    void Finish(std::u32string& out) { Drain(false, out); }

private:
    void Drain(bool more, std::u32string& out) {
        std::size_t used = 0;
        while (used < length_) {
            const Decoded decoded =
                DecodeUtf8(std::string_view(pending_ + used, length_ - used), more);
            if (decoded.length == 0) break;
            out += decoded.code;
            used += decoded.length;
        }
        for (std::size_t i = used; i < length_; ++i) pending_[i - used] = pending_[i];
        length_ -= used;
    }

    char pending_[4] = {};  // a sequence that waits: at most a lead and two continuation bytes
    std::size_t length_ = 0;
};

}  // namespace codepages::utf
