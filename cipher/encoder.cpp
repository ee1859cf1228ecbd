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

// Every conversion takes two passes: a size query, then the conversion into a new zero-filled
// buffer of n elements (plus `extra` more, which stay zero). A failed size query (0) gives an
// empty buffer of `extra` elements.
struct Bytes {
    std::unique_ptr<char[]> buffer;
    int count;  // n, as the size query reported it
};

struct Wides {
    std::unique_ptr<WCHAR[]> buffer;
    int count;
};

int WithExtra(int count, int extra) {
    if (count > INT_MAX - extra) throw std::length_error("text too long to convert");
    return count + extra;
}

Bytes ToBytes(unsigned int page, const WCHAR* text, int length, int extra) {
    const int count =
        std::max(WideCharToMultiByte(page, 0, text, length, nullptr, 0, nullptr, nullptr), 0);
    Bytes result{std::unique_ptr<char[]>(new char[WithExtra(count, extra)]()), count};
    if (count > 0) {
        WideCharToMultiByte(page, 0, text, length, result.buffer.get(), count, nullptr, nullptr);
    }
    return result;
}

Wides ToWides(unsigned int page, const char* text, int length, int extra) {
    const int count = std::max(MultiByteToWideChar(page, 0, text, length, nullptr, 0), 0);
    Wides result{std::unique_ptr<WCHAR[]>(new WCHAR[WithExtra(count, extra)]()), count};
    if (count > 0) MultiByteToWideChar(page, 0, text, length, result.buffer.get(), count);
    return result;
}

// The elements of a buffer of `size` up to its first zero element (never past its end).
template <typename Unit>
void AssignTerminated(std::basic_string<Unit>& out, const Unit* buffer, int size) {
    out.assign(buffer, std::find(buffer, buffer + size, Unit{}));
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
    const Bytes bytes = ToBytes(kAnsi, text.c_str(), -1, 0);
    AssignTerminated(out, bytes.buffer.get(), bytes.count);
}

void Encoder::AnsiToCString(const std::string& text, CString& out) {
    out.clear();
    if (text.empty()) return;
    const Wides wides = ToWides(kAnsi, text.c_str(), -1, 0);
    AssignTerminated(out, wides.buffer.get(), wides.count);
}

void Encoder::CStringToUtf8(const CString& text, std::string& out) {
    const Bytes bytes = ToBytes(kUtf8, text.c_str(), -1, 0);
    AssignTerminated(out, bytes.buffer.get(), bytes.count);
}

char* Encoder::CStringToUtf8Buffer(std::int32_t& size, const CString& text) {
    // n counts the terminator, so the buffer ends in two zero bytes.
    Bytes bytes = ToBytes(kUtf8, text.c_str(), -1, 1);
    bytes.buffer[bytes.count] = '\0';
    size = bytes.count + 1;
    return bytes.buffer.release();
}

char* Encoder::CStringToUtf8Counted(const CString& text) {
    // By length, so NUL characters convert like any other and n counts no terminator. An empty
    // text fails the size query (length 0) and gives a buffer holding just the terminator.
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        throw std::length_error("text too long to convert");
    }
    Bytes bytes = ToBytes(kUtf8, text.data(), static_cast<int>(text.size()), 1);
    bytes.buffer[bytes.count] = '\0';
    return bytes.buffer.release();
}

void Encoder::AnsiToUtf8(const std::string& text, std::string& out) {
    const Wides wides = ToWides(kAnsi, text.c_str(), -1, 0);
    // The wide buffer's terminator is converted too (length n), so the result ends in a zero.
    const Bytes bytes = wides.count > 0 ? ToBytes(kUtf8, wides.buffer.get(), wides.count, 1)
                                        : Bytes{std::unique_ptr<char[]>(new char[1]()), 0};
    bytes.buffer[bytes.count] = '\0';
    AssignTerminated(out, bytes.buffer.get(), bytes.count + 1);
}

void Encoder::AnsiToWString(const std::string& text, std::basic_string<WCHAR>& out) {
    out.clear();
    if (text.empty()) return;
    const Wides wides = ToWides(kAnsi, text.c_str(), -1, 0);
    AssignTerminated(out, wides.buffer.get(), wides.count);
}

WCHAR* Encoder::Utf8ToWideBuffer(const std::string& text) { return Utf8ToWideBuffer(text.c_str()); }

WCHAR* Encoder::Utf8ToWideBuffer(const char* text) {
    if (text == nullptr) return nullptr;
    // A failed size query still returns a terminated (empty) buffer.
    Wides wides = ToWides(kUtf8, text, -1, 0);
    if (wides.count == 0) return new WCHAR[1]();
    return wides.buffer.release();
}

void Encoder::Utf8ToCString(const char* text, CString& out) {
    out.clear();
    if (text == nullptr) return;
    const Wides wides = ToWides(kUtf8, text, -1, 0);
    AssignTerminated(out, wides.buffer.get(), wides.count);
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
