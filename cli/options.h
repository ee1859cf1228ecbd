// SPDX-License-Identifier: MIT
// credcipher-cli's command line: the command, the options and the fields given as arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/streams.h"

namespace cli {

enum class Command { kEncrypt, kDecrypt, kHelp, kVersion };

struct Options {
    Command command = Command::kHelp;
    unsigned int codePage = 0;  // 0: the ANSI code page of the locale
    bool allCodePages = false;  // decrypt: try each common ANSI code page
    bool strict = false;
    bool quiet = false;
    bool zeroTerminated = false;     // fields and results end in NUL instead of a line end
    std::vector<InputField> fields;  // none: the fields of standard input
};

// The common ANSI code pages, tried by --code-page all; the more widely used first, which
// decides between texts of equal plausibility.
inline constexpr unsigned int kCommonAnsiPages[] = {1252, 936,  1251, 932,  949,  950,  1250,
                                                    1256, 1254, 1253, 1255, 1257, 1258, 874};

// A code page given by number or by a common name (gbk, cp936, windows-1252, utf-8, ...); 0 when
// the name is not known. Does not check that the system has the page.
unsigned int CodePageByName(const std::string& name);

// The start of an argument that may be a secret, for a message: its leading dashes and at most
// two more characters, as UTF-8.
std::string Excerpt(const CString& argument);

// Parses the arguments after the program name as getopt_long does (bundled short options, a
// value attached or in the next argument, unambiguous prefixes of long options, options after
// the fields); nullopt with error set on a usage error.
std::optional<Options> ParseOptions(const std::vector<InputField>& args, std::string& error);

}  // namespace cli
