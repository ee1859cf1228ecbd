// SPDX-License-Identifier: MIT
#include "cipher/encoder.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "cipher/codepage.h"

namespace Molvan::System {

namespace {

using CodePage::kAnsi;
using CodePage::kUtf8;

// Every conversion is one call into an output of `bound` units, which holds the result of any
// text in the pages the tool meets (a UTF-16 unit is at most three bytes of UTF-8 or two of a
// double-byte page; a byte is at most one unit). Only when that call fails (a bound past
// INT_MAX, a page that needs more, or a conversion that fails anyway) does a size query come
// first. `convert(buffer, capacity)` makes the call and returns what it returns.
constexpr std::size_t kMaxBytesPerUnit = 3;

int CheckedSize(std::size_t count, int extra) {
    if (count > static_cast<std::size_t>(INT_MAX - extra)) {
        throw std::length_error("text too long to convert");
    }
    return static_cast<int>(count);
}

// The units of text (up to and including its terminator when length is -1), as a bound.
std::size_t Units(std::size_t size, int length) {
    return length == -1 ? size + 1 : static_cast<std::size_t>(length);
}

// Into out, which then holds the output up to its first zero unit.
template <typename Unit, typename Convert>
void ConvertToString(std::basic_string<Unit>& out, std::size_t bound, Convert convert) {
    int count = 0;
    if (bound > 0 && bound <= static_cast<std::size_t>(INT_MAX)) {
        out.resize(bound);
        count = std::max(convert(out.data(), static_cast<int>(bound)), 0);
    }
    if (count == 0) {
        count = std::max(convert(nullptr, 0), 0);
        out.resize(static_cast<std::size_t>(count));
        if (count > 0) convert(out.data(), count);
    }
    out.resize(static_cast<std::size_t>(std::find(out.begin(), out.begin() + count, Unit{}) -
                                        out.begin()));
}

// Into a new buffer for the caller, with room for `extra` more units after the output (which
// the caller fills); count is the output's length, 0 when the conversion failed.
template <typename Unit>
struct Buffer {
    std::unique_ptr<Unit[]> units;
    int count;
};

template <typename Unit, typename Convert>
Buffer<Unit> ConvertToBuffer(std::size_t bound, int extra, Convert convert) {
    if (bound > 0 && bound <= static_cast<std::size_t>(INT_MAX - extra)) {
        Buffer<Unit> result{std::unique_ptr<Unit[]>(new Unit[bound + extra]), 0};
        result.count = std::max(convert(result.units.get(), static_cast<int>(bound)), 0);
        if (result.count > 0) return result;
    }
    const int count = std::max(convert(nullptr, 0), 0);
    Buffer<Unit> result{std::unique_ptr<Unit[]>(new Unit[CheckedSize(count, extra) + extra]),
                        count};
    if (count > 0) convert(result.units.get(), count);
    return result;
}

// The two directions, as `convert` functions for the helpers above.
auto ToBytes(unsigned int page, const WCHAR* text, int length) {
    return [=](char* buffer, int capacity) {
        return WideCharToMultiByte(page, 0, text, length, buffer, capacity, nullptr, nullptr);
    };
}

auto ToWides(unsigned int page, const char* text, int length) {
    return [=](WCHAR* buffer, int capacity) {
        return MultiByteToWideChar(page, 0, text, length, buffer, capacity);
    };
}

bool IsAsciiAlphanumeric(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z');
}

// White space of the "C" locale: tab, line feed, vertical tab, form feed, carriage return, space.
bool IsAsciiSpace(unsigned char byte) { return (byte >= 0x09 && byte <= 0x0D) || byte == ' '; }

// Percent-encoding of one byte: digits and letters as they are, white space as "+", anything
// else as "%" and two upper-case hexadecimal digits.
template <typename Append>
void PercentEncode(unsigned char byte, Append append) {
    if (IsAsciiAlphanumeric(byte)) {
        append(static_cast<char>(byte));
    } else if (IsAsciiSpace(byte)) {
        append('+');
    } else {
        const unsigned char high = byte >> 4;
        const unsigned char low = byte % 16;
        append('%');
        append(Encoder::HexDigit(high));
        append(Encoder::HexDigit(low));
    }
}

}  // namespace

void Encoder::CStringToAnsi(const CString& text, std::string& out) {
    ConvertToString(out, kMaxBytesPerUnit * Units(text.size(), -1),
                    ToBytes(kAnsi, text.c_str(), -1));
}

void Encoder::AnsiToCString(const std::string& text, CString& out) {
    out.clear();
    if (text.empty()) return;
    ConvertToString(out, Units(text.size(), -1), ToWides(kAnsi, text.c_str(), -1));
}

void Encoder::CStringToUtf8(const CString& text, std::string& out) {
    ConvertToString(out, kMaxBytesPerUnit * Units(text.size(), -1),
                    ToBytes(kUtf8, text.c_str(), -1));
}

char* Encoder::CStringToUtf8Buffer(std::int32_t& size, const CString& text) {
    // n counts the terminator, so the buffer ends in two zero bytes.
    Buffer<char> bytes = ConvertToBuffer<char>(kMaxBytesPerUnit * Units(text.size(), -1), 1,
                                               ToBytes(kUtf8, text.c_str(), -1));
    bytes.units[bytes.count] = '\0';
    size = bytes.count + 1;
    return bytes.units.release();
}

char* Encoder::CStringToUtf8Counted(const CString& text) {
    // By length, so NUL characters convert like any other and n counts no terminator. An empty
    // text fails the conversion (length 0) and gives a buffer holding just the terminator.
    const int length = CheckedSize(text.size(), 0);
    Buffer<char> bytes = ConvertToBuffer<char>(kMaxBytesPerUnit * Units(text.size(), length), 1,
                                               ToBytes(kUtf8, text.data(), length));
    bytes.units[bytes.count] = '\0';
    return bytes.units.release();
}

void Encoder::AnsiToUtf8(const std::string& text, std::string& out) {
    // Through the wide text, which ends where the ANSI text's first zero byte did.
    CString wide;
    ConvertToString(wide, Units(text.size(), -1), ToWides(kAnsi, text.c_str(), -1));
    CStringToUtf8(wide, out);
}

void Encoder::AnsiToWString(const std::string& text, std::basic_string<WCHAR>& out) {
    AnsiToCString(text, out);
}

WCHAR* Encoder::Utf8ToWideBuffer(const std::string& text) { return Utf8ToWideBuffer(text.c_str()); }

WCHAR* Encoder::Utf8ToWideBuffer(const char* text) {
    if (text == nullptr) return nullptr;
    // Terminated even where the conversion gives no terminator: a failed one, and one whose
    // input ends inside a UTF-8 sequence, which takes the terminator along.
    Buffer<WCHAR> wides =
        ConvertToBuffer<WCHAR>(Units(std::strlen(text), -1), 1, ToWides(kUtf8, text, -1));
    wides.units[wides.count] = u'\0';
    return wides.units.release();
}

void Encoder::Utf8ToCString(const char* text, CString& out) {
    out.clear();
    if (text == nullptr) return;
    ConvertToString(out, Units(std::strlen(text), -1), ToWides(kUtf8, text, -1));
}

void Encoder::Utf8ToCString(const std::string& text, CString& out) {
    out.clear();
    if (text.empty()) return;
    Utf8ToCString(text.c_str(), out);
}

void Encoder::UrlEncode(const char* text, char*& out) {
    const std::size_t length = std::strlen(text);
    if (length > (SIZE_MAX - 1) / 3) throw std::length_error("text too long to encode");
    char* buffer = new char[3 * length + 1];
    std::size_t written = 0;
    for (std::size_t i = 0; i < length; ++i) {
        PercentEncode(static_cast<unsigned char>(text[i]), [&](char c) { buffer[written++] = c; });
    }
    buffer[written] = '\0';
    out = buffer;
}

CString Encoder::UrlEncode(CString text) {
    // The bytes of a wide text are its UTF-8 form.
    std::string bytes;
    CStringToUtf8(text, bytes);
    CString result;
    result.reserve(3 * bytes.size());
    for (const char byte : bytes) {
        PercentEncode(static_cast<unsigned char>(byte),
                      [&result](char c) { result.push_back(static_cast<WCHAR>(c)); });
    }
    return result;
}

char Encoder::HexDigit(const unsigned char& value) {
    return static_cast<char>(value <= 9 ? value + 0x30 : value + 0x37);
}

}  // namespace Molvan::System
