// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include <algorithm>
#include <charconv>
#include <string_view>

#include "cipher/code_page_text.h"

namespace cli {

namespace {

struct NamedPage {
    const char* name;
    unsigned int page;
};

// Names as iconv, the IANA registry and Windows' own tools spell them, in lower case; "cpNNN"
// and "windows-NNN" for any number are handled apart. Latin-1 is read as Windows and the web
// read it: as 1252, its superset. ASCII and GB18030 are pages of their own on Windows (20127,
// 54936), not the ANSI pages whose text they share.
constexpr NamedPage kNames[] = {
    {"utf-8", 65001},    {"utf8", 65001},      {"gbk", 936},        {"gb2312", 936},
    {"shift_jis", 932},  {"shift-jis", 932},   {"sjis", 932},       {"big5", 950},
    {"euc-kr", 949},     {"uhc", 949},         {"tis-620", 874},    {"latin1", 1252},
    {"latin-1", 1252},   {"iso-8859-1", 1252}, {"iso8859-1", 1252}, {"ascii", 20127},
    {"us-ascii", 20127}, {"gb18030", 54936},
};

enum class Option { kCodePage, kStrict, kQuiet, kZero, kHelp, kVersion };

struct LongOption {
    std::string_view name;
    Option option;
};

constexpr LongOption kLongOptions[] = {
    {"code-page", Option::kCodePage},   {"strict", Option::kStrict}, {"quiet", Option::kQuiet},
    {"zero-terminated", Option::kZero}, {"help", Option::kHelp},     {"version", Option::kVersion},
};

bool ParseNumber(std::string_view text, unsigned int& number) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number > 0;
}

std::string Utf8(const CString& text) {
    bool lossy = false;
    return Molvan::System::CodePageText::FromWide(Molvan::System::CodePageText::kUtf8, text, lossy);
}

// Option names and code-page names are ASCII; anything else makes a name that matches none.
std::string LowerAscii(const CString& text) {
    std::string lower;
    for (WCHAR unit : text) {
        if (unit >= 0x80) return "\x80";
        lower.push_back(unit >= 'A' && unit <= 'Z' ? static_cast<char>(unit - 'A' + 'a')
                                                   : static_cast<char>(unit));
    }
    return lower;
}

class Parser {
public:
    Parser(const std::vector<InputField>& args, std::string& error) : args_(args), error_(error) {}

    std::optional<Options> Parse() {
        for (next_ = 0; next_ < args_.size();) {
            const InputField& arg = args_[next_++];
            const CString& text = arg.text;
            if (onlyFields_ || text.size() < 2 || text[0] != u'-') {
                if (!Operand(arg)) return std::nullopt;
            } else if (text.size() == 2 && text[1] == u'-') {
                onlyFields_ = true;
            } else if (text[1] == u'-') {
                if (!Long(text)) return std::nullopt;
            } else if (!Short(text)) {
                return std::nullopt;
            }
            if (done_) return options_;
        }
        if (!haveCommand_) return Fail("missing command (encrypt or decrypt)");
        if (options_.allCodePages && options_.command == Command::kEncrypt) {
            return Fail("--code-page all works with decrypt only");
        }
        return options_;
    }

private:
    std::nullopt_t Fail(std::string message) {
        error_ = std::move(message);
        return std::nullopt;
    }

    bool Operand(const InputField& arg) {
        if (haveCommand_) {
            options_.fields.push_back(arg);
            return true;
        }
        const std::string name = LowerAscii(arg.text);
        if (name != "encrypt" && name != "decrypt") {
            Fail("unknown command '" + Excerpt(arg.text) + "' (encrypt or decrypt)");
            return false;
        }
        options_.command = name == "encrypt" ? Command::kEncrypt : Command::kDecrypt;
        haveCommand_ = true;
        return true;
    }

    // "--name", "--name=value", "--name value", or a prefix of one name only.
    bool Long(const CString& text) {
        const std::size_t equals = text.find(u'=');
        const std::string name =
            LowerAscii(text.substr(2, equals == CString::npos ? equals : equals - 2));
        const LongOption* found = nullptr;
        for (const LongOption& option : kLongOptions) {
            if (option.name == name) {
                found = &option;
                break;
            }
            if (!name.empty() && option.name.starts_with(name)) {
                if (found != nullptr) {
                    Fail("option '" + Excerpt(text) + "' is ambiguous");
                    return false;
                }
                found = &option;
            }
        }
        if (found == nullptr) {
            Fail("unknown option '" + Excerpt(text) +
                 "' (a field that starts with \"-\" goes after \"--\")");
            return false;
        }
        const std::string shown = "--" + std::string(found->name);
        if (found->option != Option::kCodePage) {
            if (equals != CString::npos) {
                Fail("option " + shown + " takes no value");
                return false;
            }
            Apply(found->option);
            return true;
        }
        if (equals != CString::npos) return CodePage(text.substr(equals + 1));
        return ValueFromNextArgument(shown);
    }

    // "-q", "-qz", "-c936", "-c=936", "-qc 936".
    bool Short(const CString& text) {
        for (std::size_t i = 1; i < text.size(); ++i) {
            Option option;
            switch (text[i]) {
                case u'q':
                    option = Option::kQuiet;
                    break;
                case u'z':
                    option = Option::kZero;
                    break;
                case u'h':
                    option = Option::kHelp;
                    break;
                case u'c': {
                    CString value = text.substr(i + 1);
                    if (value.empty()) return ValueFromNextArgument("-c");
                    if (value[0] == u'=') value.erase(0, 1);
                    return CodePage(value);
                }
                default:
                    // One character of the argument says which option, and gives no secret away.
                    Fail("unknown option '-" + Utf8(text.substr(i, 1)) +
                         "' (a field that starts with \"-\" goes after \"--\")");
                    return false;
            }
            Apply(option);
            if (done_) return true;
        }
        return true;
    }

    bool ValueFromNextArgument(const std::string& shown) {
        if (next_ == args_.size()) {
            Fail("option " + shown + " needs a value");
            return false;
        }
        return CodePage(args_[next_++].text);
    }

    bool CodePage(const CString& value) {
        const std::string name = LowerAscii(value);
        options_.allCodePages = name == "all";
        options_.codePage = options_.allCodePages ? 0 : CodePageByName(name);
        if (!options_.allCodePages && options_.codePage == 0) {
            Fail("unknown code page '" + Excerpt(value) +
                 "': a number (936, 1252, 65001), a name (see --help) or all");
            return false;
        }
        return true;
    }

    void Apply(Option option) {
        switch (option) {
            case Option::kStrict:
                options_.strict = true;
                break;
            case Option::kQuiet:
                options_.quiet = true;
                break;
            case Option::kZero:
                options_.zeroTerminated = true;
                break;
            case Option::kHelp:
            case Option::kVersion:
                options_.command = option == Option::kHelp ? Command::kHelp : Command::kVersion;
                done_ = true;
                break;
            case Option::kCodePage:
                break;
        }
    }

    const std::vector<InputField>& args_;
    std::string& error_;
    Options options_;
    std::size_t next_ = 0;
    bool haveCommand_ = false;
    bool onlyFields_ = false;  // after "--"
    bool done_ = false;        // --help or --version: the rest does not matter
};

}  // namespace

unsigned int CodePageByName(const std::string& name) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
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

std::string Excerpt(const CString& argument) {
    std::size_t end = argument.find_first_not_of(u'-');
    if (end == CString::npos) return Utf8(argument);
    // Two characters, a surrogate pair counting as one.
    for (int kept = 0; kept < 2 && end < argument.size(); ++kept) {
        const bool pair = argument[end] >= 0xD800 && argument[end] < 0xDC00 &&
                          end + 1 < argument.size() && argument[end + 1] >= 0xDC00 &&
                          argument[end + 1] < 0xE000;
        end += pair ? 2 : 1;
    }
    return Utf8(argument.substr(0, end)) + (end < argument.size() ? "..." : "");
}

std::optional<Options> ParseOptions(const std::vector<InputField>& args, std::string& error) {
    error.clear();
    return Parser(args, error).Parse();
}

}  // namespace cli
