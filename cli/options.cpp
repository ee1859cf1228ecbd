// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace cli {

namespace {

struct NamedPage {
    const char* name;
    unsigned int page;
};

// Names as iconv, the IANA registry and Windows' own tools spell them, in lower case; "cpNNN"
// and "windows-NNN" for any number are handled apart.
constexpr NamedPage kNames[] = {
    {"utf-8", 65001},   {"utf8", 65001},  {"gbk", 936},         {"gb2312", 936}, {"shift_jis", 932},
    {"shift-jis", 932}, {"sjis", 932},    {"big5", 950},        {"euc-kr", 949}, {"uhc", 949},
    {"tis-620", 874},   {"latin1", 1252}, {"iso-8859-1", 1252},
};

bool ParseNumber(std::string_view text, unsigned int& number) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number > 0;
}

// Options are ASCII; anything else makes a name that matches none.
std::string Narrow(const CString& text) {
    std::string narrow;
    for (WCHAR unit : text) {
        narrow.push_back(unit < 0x80 ? static_cast<char>(unit) : '\x7F');
    }
    return narrow;
}

}  // namespace

unsigned int CodePageByName(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    unsigned int number = 0;
    if (ParseNumber(lower, number)) return number;
    for (std::string_view prefix : {"cp", "windows-", "ms"}) {
        if (lower.starts_with(prefix) &&
            ParseNumber(std::string_view(lower).substr(prefix.size()), number)) {
            return number;
        }
    }
    for (const NamedPage& named : kNames) {
        if (lower == named.name) return named.page;
    }
    return 0;
}

std::optional<Options> ParseOptions(const std::vector<CString>& args, std::string& error) {
    Options options;
    bool haveCommand = false;
    bool onlyFields = false;  // after "--"
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string arg = Narrow(args[i]);
        if (onlyFields || (haveCommand && (arg.empty() || arg[0] != '-' || arg == "-"))) {
            if (!haveCommand) {
                error = "missing command (encrypt or decrypt)";
                return std::nullopt;
            }
            options.fields.push_back(args[i]);
        } else if (arg == "--") {
            onlyFields = true;
        } else if (arg == "-h" || arg == "--help") {
            options.command = Command::kHelp;
            return options;
        } else if (arg == "--version") {
            options.command = Command::kVersion;
            return options;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-c" || arg == "--code-page" || arg.starts_with("--code-page=")) {
            std::string value;
            if (arg.starts_with("--code-page=")) {
                value = arg.substr(std::string_view("--code-page=").size());
            } else if (i + 1 < args.size()) {
                value = Narrow(args[++i]);
            } else {
                error = "--code-page needs a value";
                return std::nullopt;
            }
            options.allCodePages = value == "all";
            options.codePage = options.allCodePages ? 0 : CodePageByName(value);
            if (!options.allCodePages && options.codePage == 0) {
                error = "unknown code page '" + value + "'";
                return std::nullopt;
            }
        } else if (!haveCommand && (arg == "encrypt" || arg == "decrypt")) {
            options.command = arg == "encrypt" ? Command::kEncrypt : Command::kDecrypt;
            haveCommand = true;
        } else if (!arg.empty() && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        } else {
            error = "unknown command '" + arg + "' (encrypt or decrypt)";
            return std::nullopt;
        }
    }
    if (!haveCommand) {
        error = "missing command (encrypt or decrypt)";
        return std::nullopt;
    }
    if (options.allCodePages && options.command == Command::kEncrypt) {
        error = "--code-page all works with decrypt only";
        return std::nullopt;
    }
    return options;
}

}  // namespace cli
