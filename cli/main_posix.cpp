// SPDX-License-Identifier: MIT
// credcipher-cli on POSIX: arguments and standard streams in the locale's encoding.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <clocale>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cipher/code_page_text.h"
#include "cli/line_reader.h"
#include "cli/run.h"
#include "cli/streams.h"

namespace {

namespace CodePageText = Molvan::System::CodePageText;

constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr char16_t kReplacement = u'\uFFFD';

// Text in the locale's encoding. UTF-8 (and ASCII, its subset, which is what an unset or
// missing locale gives) goes through the tool's own UTF-8 conversions; any other codeset
// through iconv. Invalid bytes become U+FFFD; characters the codeset lacks become "?".
class LocaleText {
public:
    LocaleText() {
        std::string codeset = std::setlocale(LC_CTYPE, "") != nullptr ? nl_langinfo(CODESET) : "";
        if (codeset.empty() || codeset == "UTF-8" || codeset == "ANSI_X3.4-1968") return;
        const char* wide = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
        toWide_ = iconv_open(wide, codeset.c_str());
        fromWide_ = iconv_open(codeset.c_str(), wide);
        if (toWide_ == kNone || fromWide_ == kNone) Close();
    }
    ~LocaleText() { Close(); }
    LocaleText(const LocaleText&) = delete;
    LocaleText& operator=(const LocaleText&) = delete;

    CString ToWide(const std::string& bytes) const {
        if (toWide_ == kNone) return CodePageText::ToWide(CodePageText::kUtf8, bytes);
        CString text;
        Convert(toWide_, bytes.data(), bytes.size(), text, 1,
                [](CString& out) { out.push_back(kReplacement); });
        return text;
    }

    std::string FromWide(const CString& text) const {
        bool lossy = false;
        if (fromWide_ == kNone) return CodePageText::FromWide(CodePageText::kUtf8, text, lossy);
        std::string bytes;
        Convert(fromWide_, reinterpret_cast<const char*>(text.data()), text.size() * 2, bytes, 2,
                [](std::string& out) { out.push_back('?'); });
        return bytes;
    }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);

    void Close() {
        if (toWide_ != kNone) iconv_close(toWide_);
        if (fromWide_ != kNone) iconv_close(fromWide_);
        toWide_ = fromWide_ = kNone;
    }

    // Converts in chunks; an input unit that cannot be converted (skip bytes) is dropped and
    // replaced.
    template <typename Out, typename Replace>
    static void Convert(iconv_t cd, const char* in, std::size_t inLeft, Out& out, std::size_t skip,
                        Replace replace) {
        using Unit = typename Out::value_type;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char chunk[1024];
        char* input = const_cast<char*>(in);  // iconv's signature; it only reads the input
        for (;;) {
            char* output = chunk;
            std::size_t outLeft = sizeof chunk;
            const bool failed =
                iconv(cd, &input, &inLeft, &output, &outLeft) == static_cast<std::size_t>(-1);
            const int error = failed ? errno : 0;
            const std::size_t units = (sizeof chunk - outLeft) / sizeof(Unit);
            const std::size_t old = out.size();
            out.resize(old + units);
            std::memcpy(out.data() + old, chunk, units * sizeof(Unit));
            if (error == E2BIG) continue;
            if ((error == EILSEQ || error == EINVAL) && inLeft > 0) {
                const std::size_t step = std::min(skip, inLeft);
                input += step;
                inLeft -= step;
                replace(out);
                continue;
            }
            return;
        }
    }

    iconv_t toWide_ = kNone;
    iconv_t fromWide_ = kNone;
};

class PosixStreams : public cli::Streams {
public:
    explicit PosixStreams(const LocaleText& locale)
        : locale_(locale), terminal_(isatty(STDOUT_FILENO) == 1) {}

    bool ReadLine(cli::InputLine& line) override {
        if (!reader_.Next(bytes_, line.tooLong)) return false;
        line.text = locale_.ToWide(bytes_);
        return true;
    }

    void WriteLine(const CString& text) override {
        out_ += locale_.FromWide(text);
        out_ += '\n';
        if (out_.size() >= kBufferBytes) Flush();
    }

    void WriteMessage(const std::string& text) override {
        Flush();
        const std::string line = "credcipher-cli: " + text + "\n";
        // A message that cannot be written has nowhere else to go.
        try {
            WriteAll(STDERR_FILENO, line.data(), line.size());
        } catch (const cli::StreamError&) {
        }
    }

    bool OutputIsTerminal() const override { return terminal_; }

    void Flush() override {
        // Taken out first: what fails to be written is dropped, not tried again.
        const std::string pending = std::exchange(out_, std::string());
        WriteAll(STDOUT_FILENO, pending.data(), pending.size());
    }

    std::string EncodingNote() const override {
        return "Arguments, input and output are text in the locale's encoding (LC_ALL, LC_CTYPE,\n"
               "LANG; UTF-8 when none is set).\n";
    }

private:
    static std::size_t Read(char* buffer, std::size_t capacity) {
        for (;;) {
            const ssize_t got = read(STDIN_FILENO, buffer, capacity);
            if (got >= 0) return static_cast<std::size_t>(got);
            if (errno != EINTR) {
                throw cli::StreamError(
                    std::string("cannot read standard input: ") + std::strerror(errno), false);
            }
        }
    }

    static void WriteAll(int fd, const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t wrote = write(fd, data, size);
            if (wrote < 0) {
                if (errno == EINTR) continue;
                // A reader that closed the pipe (when SIGPIPE is ignored) wants no more.
                throw cli::StreamError(std::string("cannot write: ") + std::strerror(errno),
                                       errno == EPIPE);
            }
            data += wrote;
            size -= static_cast<std::size_t>(wrote);
        }
    }

    const LocaleText& locale_;
    const bool terminal_;
    cli::LineReader<char> reader_{&Read, [this] { Flush(); }};
    std::string bytes_;
    std::string out_;
};

}  // namespace

int main(int argc, char** argv) {
    const LocaleText locale;
    std::vector<CString> args;
    for (int i = 1; i < argc; ++i) args.push_back(locale.ToWide(argv[i]));
    PosixStreams streams(locale);
    return cli::Run(args, streams);
}
