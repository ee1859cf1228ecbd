// SPDX-License-Identifier: MIT
// The program's standard streams, one implementation per system: lines of standard input as wide
// text, results to standard output, messages to standard error.
#pragma once

#include <stdexcept>
#include <string>

#include "cipher/wide_string.h"

namespace cli {

// A read or write that failed. A reader that went away (a closed pipe) is no error to report.
struct StreamError : std::runtime_error {
    StreamError(const std::string& what, bool quiet) : std::runtime_error(what), quiet(quiet) {}
    bool quiet;
};

struct InputLine {
    CString text;          // without its ending (LF or CR LF)
    bool tooLong = false;  // the line was longer than kMaxLineBytes; the rest was dropped
};

// Longer than any text a dialog field holds; bounds the memory of a line without an end.
inline constexpr std::size_t kMaxLineBytes = 1 << 20;

class Streams {
public:
    virtual ~Streams() = default;
    // The next line of standard input; false at its end. A last line without an ending counts.
    // Results written so far reach standard output before the read waits for more input.
    virtual bool ReadLine(InputLine& line) = 0;
    virtual void WriteLine(const CString& text) = 0;
    virtual void WriteMessage(const std::string& text) = 0;  // one ASCII line on stderr
    virtual bool OutputIsTerminal() const = 0;
    virtual void Flush() = 0;
    // For --help: the encoding of the text read and written when it is not a console.
    virtual std::string EncodingNote() const = 0;
};

}  // namespace cli
