// SPDX-License-Identifier: MIT
#include "src/command_line.h"

#include "src/utf.h"

namespace win32 {

namespace {

std::string Quote(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        return argument;
    }
    // Backslashes count only before a quote: double them there, and escape the quote.
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
        } else if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
            backslashes = 0;
        } else {
            quoted.append(backslashes, '\\');
            backslashes = 0;
        }
        if (c != '\\') quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    quoted.push_back('"');
    return quoted;
}

}  // namespace

std::u16string CommandLineTail(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line.push_back(' ');
        line += Quote(argv[i] != nullptr ? argv[i] : "");
    }
    return Utf8ToUtf16(line);
}

}  // namespace win32
