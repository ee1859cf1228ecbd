// SPDX-License-Identifier: MIT
#include "cli/run.h"

#include <cstdio>

#include "cipher/code_page_text.h"
#include "cli/field.h"
#include "cli/options.h"

namespace cli {

namespace {

namespace CodePageText = Molvan::System::CodePageText;

// Control characters as \xHH (and the backslash doubled), so that deciphered text cannot move
// the cursor, change colours or retitle the terminal it is shown in.
CString EscapeControls(const CString& text) {
    CString escaped;
    for (WCHAR unit : text) {
        if (unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned int>(unit));
            escaped.append(hex, hex + 4);
        } else {
            if (unit == u'\\') escaped.push_back(unit);
            escaped.push_back(unit);
        }
    }
    return escaped;
}

CString Widen(const std::string& ascii) { return CString(ascii.begin(), ascii.end()); }

void WriteLines(Streams& streams, const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        streams.WriteLine(Widen(text.substr(start, end - start)));
    }
}

class FieldRunner {
public:
    FieldRunner(const Options& options, Streams& streams) : options_(options), streams_(streams) {
        if (options.allCodePages) {
            pages_.assign(std::begin(kCommonAnsiPages), std::end(kCommonAnsiPages));
        } else {
            pages_.push_back(options.codePage != 0 ? options.codePage
                                                   : CodePageText::AnsiCodePage());
        }
    }

    // Processes one field, named in messages by its source and number ("argument 2", "line 7").
    void Process(const char* source, std::size_t number, const CString& field, bool tooLong) {
        FieldResult result = options_.command == Command::kEncrypt ? EncryptField(field, pages_[0])
                                                                   : DecryptField(field, pages_);
        if (tooLong) {
            // Says more than the field's own count of its kept bytes.
            std::erase_if(result.problems, [](const Problem& p) { return p.loss == Loss::kCut; });
            result.problems.insert(
                result.problems.begin(),
                {Loss::kCut, "the line is longer than " + std::to_string(kMaxLineBytes) +
                                 " bytes; the rest of it was dropped"});
        }
        for (const Problem& problem : result.problems) {
            if (options_.strict || !options_.quiet) {
                streams_.WriteMessage(std::string(source) + " " + std::to_string(number) +
                                      (options_.strict ? ": error: " : ": warning: ") +
                                      problem.detail);
            }
        }
        if (options_.strict && !result.problems.empty()) {
            refused_ = true;
            return;
        }
        if (options_.command == Command::kEncrypt) {
            streams_.WriteLine(result.cipherText);
        } else if (!options_.allCodePages) {
            streams_.WriteLine(Shown(result.plain[0].text));
        } else {
            // One line per page the bytes are text in, "<page><TAB><text>", and an empty line.
            for (const PlainText& plain : result.plain) {
                CString line = Widen(std::to_string(plain.codePage) + "\t");
                streams_.WriteLine(line + Shown(plain.text));
            }
            streams_.WriteLine(CString());
        }
    }

    bool refused() const { return refused_; }

private:
    CString Shown(const CString& text) const {
        return streams_.OutputIsTerminal() ? EscapeControls(text) : text;
    }

    const Options& options_;
    Streams& streams_;
    std::vector<unsigned int> pages_;
    bool refused_ = false;
};

}  // namespace

int Run(const std::vector<CString>& args, Streams& streams) {
    std::string error;
    const std::optional<Options> options = ParseOptions(args, error);
    if (!options) {
        streams.WriteMessage(error + "; see credcipher-cli --help");
        return kExitUsage;
    }
    try {
        if (options->command == Command::kHelp || options->command == Command::kVersion) {
            WriteLines(streams, options->command == Command::kHelp
                                    ? HelpText(streams.EncodingNote())
                                    : "credcipher-cli " CREDCIPHER_VERSION "\n");
            streams.Flush();
            return kExitOk;
        }
        if (options->codePage != 0 && !CodePageText::IsAvailable(options->codePage)) {
            streams.WriteMessage("code page " + std::to_string(options->codePage) +
                                 " is not available on this system");
            return kExitUsage;
        }
        FieldRunner runner(*options, streams);
        if (!options->fields.empty()) {
            for (std::size_t i = 0; i < options->fields.size(); ++i) {
                runner.Process("argument", i + 1, options->fields[i], false);
            }
        } else {
            InputLine line;
            for (std::size_t number = 1; streams.ReadLine(line); ++number) {
                runner.Process("line", number, line.text, line.tooLong);
            }
        }
        streams.Flush();
        return runner.refused() ? kExitRefused : kExitOk;
    } catch (const StreamError& failure) {
        if (!failure.quiet) streams.WriteMessage(failure.what());
        return kExitIo;
    }
}

}  // namespace cli
