// SPDX-License-Identifier: MIT
// The program's standard streams, one implementation per system: fields of standard input as
// wide text, results to standard output, messages to standard error.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "cipher/wide_string.h"

namespace cli {

// A read or write that failed. A reader that went away (a closed pipe) is no error to report.
struct StreamError : std::runtime_error {
    StreamError(const std::string& what, bool quiet) : std::runtime_error(what), quiet(quiet) {}
    bool quiet;
};

// One field as it came: an argument, a line of standard input or a NUL-terminated record.
struct InputField {
    CString text;          // without its ending (LF, CR LF or NUL)
    bool tooLong = false;  // longer than kMaxLineBytes; the rest was dropped
    bool invalid = false;  // held bytes that are not valid in its encoding (now U+FFFD)
    // A reader that has the field's bytes and finds them all ASCII, which every encoding here
    // keeps as it is, may give them instead of text (which it then leaves empty): that spares
    // the common field two conversions.
    bool ascii = false;
    std::string bytes;
};

// Appends text of one unit type to a string of another, unit by unit, and says whether it was
// ASCII (all units below 0x80), which every encoding here keeps as it is. Unlike append() with
// iterators of another type, it makes no temporary string.
template <typename To, typename From>
bool AppendUnits(To& to, const From& from) {
    using In = std::make_unsigned_t<typename From::value_type>;
    const std::size_t old = to.size();
    const std::size_t count = from.size();
    to.resize(old + count);
    typename To::value_type* out = to.data() + old;
    const typename From::value_type* in = from.data();
    unsigned int all = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const In unit = static_cast<In>(in[i]);
        all |= unit;
        out[i] = static_cast<typename To::value_type>(unit);
    }
    return all < 0x80;
}

// Longer than any text a dialog field holds; bounds the memory of a line without an end.
inline constexpr std::size_t kMaxLineBytes = 1 << 20;

class Streams {
public:
    virtual ~Streams() = default;
    // From now on fields and results end in NUL instead of a line end.
    virtual void SetZeroTerminated() = 0;
    // The next field of standard input; false at its end. A last field without an ending counts,
    // and a byte order mark at the start of UTF-8 input is skipped. Results written so far reach
    // standard output before the read waits for more input.
    virtual bool ReadField(InputField& field) = 0;
    virtual bool InputIsTerminal() const = 0;
    // Typed input is no longer shown on the terminal, until the program ends however it ends.
    virtual void HideInput() = 0;
    // Asks on the terminal for the next field (what: "text to encrypt", ...).
    virtual void Prompt(const std::string& what) = 0;
    virtual void WriteRecord(const CString& text) = 0;
    virtual void WriteAsciiRecord(const std::string& ascii) = 0;
    virtual void WriteMessage(const std::string& utf8) = 0;  // one line on stderr
    virtual bool OutputIsTerminal() const = 0;
    virtual void Flush() = 0;
    // For --help: the encoding of the text read and written when it is not a console.
    virtual std::string EncodingNote() const = 0;
};

}  // namespace cli
