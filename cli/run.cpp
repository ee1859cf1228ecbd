// SPDX-License-Identifier: MIT
#include "cli/run.h"

#include <algorithm>
#include <cstdio>

#include "cipher/code_page_text.h"
#include "cli/field.h"
#include "cli/options.h"

namespace cli {

namespace {

namespace CodePageText = Molvan::System::CodePageText;

bool IsControl(WCHAR unit) { return unit < 0x20 || unit == 0x7F || (unit >= 0x80 && unit < 0xA0); }

// The control character as \xHH.
void AppendEscaped(CString& out, WCHAR unit) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned int>(unit));
    for (const char* c = hex; *c != 0; ++c) out.push_back(static_cast<WCHAR>(*c));
}

CString Widen(const std::string& ascii) { return CString(ascii.begin(), ascii.end()); }

void WriteLines(Streams& streams, const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        streams.WriteRecord(Widen(text.substr(start, end - start)));
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
    // Whatever happens, the field gives one record (with all pages, one group ending in an
    // empty record), so that results stay in step with their fields.
    void Process(const char* source, std::size_t number, const InputField& field) {
        const bool encrypt = options_.command == Command::kEncrypt;
        if (field.ascii && !options_.allCodePages && !field.tooLong) {
            const std::string* result =
                encrypt ? cipher_.EncryptAscii(field.bytes) : cipher_.DecryptToAscii(field.bytes);
            if (result != nullptr) {
                streams_.WriteAsciiRecord(*result);
                return;
            }
        }
        const CString& text = field.ascii ? Widened(field.bytes) : field.text;
        const FieldResult& result = encrypt                 ? cipher_.Encrypt(text, pages_[0])
                                    : options_.allCodePages ? cipher_.DecryptInEach(text, pages_)
                                                            : cipher_.Decrypt(text, pages_[0]);
        problems_ = result.problems;
        if (field.tooLong) {
            // Says more than the field's own count of its kept bytes.
            std::erase_if(problems_, [](const Problem& p) { return p.loss == Loss::kCut; });
            problems_.insert(
                problems_.begin(),
                {Loss::kCut, "the line is longer than " + std::to_string(kMaxLineBytes) +
                                 " bytes; the rest of it was dropped"});
        }
        if (field.invalid) {
            problems_.insert(problems_.begin(),
                             {Loss::kInvalidInput,
                              "bytes that are not valid in the input's encoding became U+FFFD"});
        }
        if (!encrypt && !options_.zeroTerminated) {
            for (const PlainText& plain : result.plain) {
                if (!HasLineBreak(plain.text)) continue;
                problems_.push_back({Loss::kLineBreak,
                                     "the deciphered text holds a line break; it is written "
                                     "escaped (\\x0A ...), and whole with -z"});
                break;
            }
        }
        for (const Problem& problem : problems_) {
            if (options_.strict || !options_.quiet) {
                streams_.WriteMessage(std::string(source) + " " + std::to_string(number) +
                                      (options_.strict ? ": error: " : ": warning: ") +
                                      problem.detail);
            }
        }
        if (options_.strict && !problems_.empty()) {
            refused_ = true;
            streams_.WriteRecord(CString());
            return;
        }
        if (encrypt) {
            streams_.WriteRecord(result.cipherText);
        } else if (!options_.allCodePages) {
            streams_.WriteRecord(Shown(result.plain[0].text));
        } else {
            // One record per distinct text, "<pages><TAB><text>", and an empty record.
            for (const PlainText& plain : result.plain) {
                CString line;
                for (unsigned int page : plain.codePages) {
                    if (!line.empty()) line.push_back(u',');
                    line += Widen(std::to_string(page));
                }
                line.push_back(u'\t');
                line += Shown(plain.text);
                streams_.WriteRecord(line);
            }
            streams_.WriteRecord(CString());
        }
    }

    bool refused() const { return refused_; }

private:
    const CString& Widened(const std::string& ascii) {
        widened_.clear();
        AppendUnits(widened_, ascii);
        return widened_;
    }

    // On a terminal, control characters as \xHH (and the backslash doubled), so
    // that deciphered text cannot move the cursor, change colours or retitle the terminal it is
    // shown in. Elsewhere only what would end the record, unless records end in NUL.
    const CString& Shown(const CString& text) {
        const bool terminal = streams_.OutputIsTerminal();
        const auto escaped = [&](WCHAR unit) {
            return terminal ? IsControl(unit) || unit == u'\\'
                            : !options_.zeroTerminated && IsLineBreak(unit);
        };
        if (std::none_of(text.begin(), text.end(), escaped)) return text;
        shown_.clear();
        for (WCHAR unit : text) {
            if (!escaped(unit)) {
                shown_.push_back(unit);
            } else if (unit == u'\\') {
                shown_.append(2, u'\\');
            } else {
                AppendEscaped(shown_, unit);
            }
        }
        return shown_;
    }

    const Options& options_;
    Streams& streams_;
    std::vector<unsigned int> pages_;
    FieldCipher cipher_;
    std::vector<Problem> problems_;
    CString shown_;
    CString widened_;
    bool refused_ = false;
};

}  // namespace

int Run(const std::vector<InputField>& args, Streams& streams) {
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
        if (options->zeroTerminated) streams.SetZeroTerminated();
        FieldRunner runner(*options, streams);
        if (!options->fields.empty()) {
            for (std::size_t i = 0; i < options->fields.size(); ++i) {
                runner.Process("argument", i + 1, options->fields[i]);
            }
        } else {
            // Typed at a terminal, a field is asked for and not shown: it may be a password.
            const bool prompt = streams.InputIsTerminal();
            if (prompt) streams.HideInput();
            const char* what =
                options->command == Command::kEncrypt ? "text to encrypt" : "cipher text";
            InputField field;
            field.text.reserve(256);
            field.bytes.reserve(256);
            for (std::size_t number = 1;; ++number) {
                if (prompt) streams.Prompt(what);
                if (!streams.ReadField(field)) break;
                runner.Process(prompt                    ? "field"
                               : options->zeroTerminated ? "record"
                                                         : "line",
                               number, field);
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
