// SPDX-License-Identifier: MIT
// credcipher-cli's command line: the command, the options and the fields given as arguments.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cipher/wide_string.h"

namespace cli {

enum class Command { kEncrypt, kDecrypt, kHelp, kVersion };

struct Options {
    Command command = Command::kHelp;
    unsigned int codePage = 0;  // 0: the ANSI code page of the locale
    bool allCodePages = false;  // decrypt: try each common ANSI code page
    bool strict = false;
    bool quiet = false;
    std::vector<CString> fields;  // none: the lines of standard input
};

// The common ANSI code pages, tried by --code-page all.
inline constexpr unsigned int kCommonAnsiPages[] = {874,  932,  936,  949,  950,  1250, 1251,
                                                    1252, 1253, 1254, 1255, 1256, 1257, 1258};

// A code page given by number or by a common name (gbk, cp936, windows-1252, utf-8, ...); 0 when
// the name is not known. Does not check that the system has the page.
unsigned int CodePageByName(const std::string& name);

// Parses the arguments after the program name; nullopt with error set on a usage error.
std::optional<Options> ParseOptions(const std::vector<CString>& args, std::string& error);

}  // namespace cli
