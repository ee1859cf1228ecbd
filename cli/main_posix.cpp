// SPDX-License-Identifier: MIT
// credcipher-cli on POSIX: arguments and standard streams in the locale's encoding.
#include <errno.h>
#include <iconv.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <algorithm>
#include <bit>
#include <cctype>
#include <clocale>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "cipher/code_page_text.h"
#include "cli/line_reader.h"
#include "cli/run.h"
#include "cli/streams.h"
#include "codepages/utf.h"

namespace {

namespace CodePageText = Molvan::System::CodePageText;

constexpr std::size_t kBufferBytes = 64 * 1024;
constexpr char16_t kReplacement = u'\uFFFD';

// Text in the locale's encoding. UTF-8 (and ASCII, its subset, which is what an unset or
// missing locale gives) goes through the tool's own UTF-8 conversions; any other codeset
// through iconv. Invalid bytes become U+FFFD; characters the codeset lacks become "?". Every
// codeset glibc offers keeps ASCII as it is, so ASCII passes unconverted.
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

    bool IsUtf8() const { return toWide_ == kNone; }

    // False when bytes held a sequence that is not valid in the codeset.
    bool ToWide(const std::string& bytes, CString& text) const {
        text.clear();
        if (cli::AppendUnits(text, bytes)) return true;
        if (IsUtf8()) {
            text = CodePageText::ToWide(CodePageText::kUtf8, bytes);
            return codepages::utf::IsWellFormedUtf8(bytes);
        }
        bool valid = true;
        text.clear();
        Convert(toWide_, bytes.data(), bytes.size(), text, 1, [&valid](CString& out) {
            out.push_back(kReplacement);
            valid = false;
        });
        return valid;
    }

    void AppendFromWide(const CString& text, std::string& bytes) const {
        const std::size_t old = bytes.size();
        if (cli::AppendUnits(bytes, text)) return;
        bytes.resize(old);
        if (IsUtf8()) {
            bool lossy = false;
            bytes += CodePageText::FromWide(CodePageText::kUtf8, text, lossy);
        } else {
            Convert(fromWide_, reinterpret_cast<const char*>(text.data()), text.size() * 2, bytes,
                    2, [](std::string& out) { out.push_back('?'); });
        }
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

// The terminal's settings from before its input was hidden, put back however the program ends:
// on return, and on a signal that ends or stops it (hidden again when it continues).
class HiddenInput {
public:
    static void Start() {
        if (tcgetattr(STDIN_FILENO, &saved_) != 0) return;
        active_ = 1;
        for (int signal : kEnding) Catch(signal, &OnSignal);
        for (int signal : kStopping) Catch(signal, &OnSignal);
        Catch(SIGCONT, &OnContinue);
        Hide();
    }

    static void Restore() {
        if (active_ != 0) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
    }

private:
    static constexpr int kEnding[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM, SIGPIPE,
                                      SIGABRT, SIGALRM, SIGUSR1, SIGUSR2};
    static constexpr int kStopping[] = {SIGTSTP, SIGTTIN, SIGTTOU};

    // Typed characters are not shown; the line end is, so that the prompt moves on.
    static void Hide() {
        termios hidden = saved_;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK);
        hidden.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSANOW, &hidden);
    }

    // A signal that the program's parent ignores stays ignored.
    static void Catch(int signal, void (*handler)(int)) {
        struct sigaction action {};
        if (sigaction(signal, nullptr, &action) != 0 || action.sa_handler == SIG_IGN) return;
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(signal, &action, nullptr);
    }

    // The signal's own action (end or stop) follows when the handler returns, as the signal is
    // blocked until then.
    static void OnSignal(int signal) {
        Restore();
        ::signal(signal, SIG_DFL);
        raise(signal);
    }

    static void OnContinue(int) {
        Hide();
        for (int signal : kStopping) Catch(signal, &OnSignal);
    }

    static inline termios saved_{};
    static inline volatile sig_atomic_t active_ = 0;
};

class PosixStreams : public cli::Streams {
public:
    explicit PosixStreams(const LocaleText& locale)
        : locale_(locale),
          inTerminal_(isatty(STDIN_FILENO) == 1),
          outTerminal_(isatty(STDOUT_FILENO) == 1) {
        // Both output buffers at their full size from the start: allocated before any field,
        // they stay out of the way of what each field allocates and frees.
        out_.reserve(2 * kBufferBytes);
        flushing_.reserve(2 * kBufferBytes);
    }

    ~PosixStreams() override { HiddenInput::Restore(); }

    void SetZeroTerminated() override {
        reader_.SetZeroTerminated();
        end_ = '\0';
    }

    bool ReadField(cli::InputField& field) override {
        std::string& bytes = field.bytes;
        if (!reader_.Next(bytes, field.tooLong)) {
            if (hidden_) WriteMessageBytes("\n");  // Ctrl+D showed no line end
            return false;
        }
        if (first_ && locale_.IsUtf8() && bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
        first_ = false;
        unsigned char all = 0;
        for (char byte : bytes) all |= static_cast<unsigned char>(byte);
        field.ascii = all < 0x80;
        field.invalid = false;
        field.text.clear();
        if (!field.ascii) field.invalid = !locale_.ToWide(bytes, field.text);
        return true;
    }

    bool InputIsTerminal() const override { return inTerminal_; }

    void HideInput() override {
        HiddenInput::Start();
        hidden_ = true;
    }

    void Prompt(const std::string& what) override {
        Flush();
        WriteMessageBytes(static_cast<char>(std::toupper(static_cast<unsigned char>(what[0]))) +
                          what.substr(1) + " (not shown; Ctrl+D ends): ");
    }

    void WriteRecord(const CString& text) override {
        locale_.AppendFromWide(text, out_);
        out_ += end_;
        if (out_.size() >= kBufferBytes) Flush();
    }

    void WriteAsciiRecord(const std::string& ascii) override {
        out_ += ascii;
        out_ += end_;
        if (out_.size() >= kBufferBytes) Flush();
    }

    void WriteMessage(const std::string& utf8) override {
        Flush();
        std::string line = "credcipher-cli: ";
        locale_.AppendFromWide(CodePageText::ToWide(CodePageText::kUtf8, utf8), line);
        WriteMessageBytes(line + "\n");
    }

    bool OutputIsTerminal() const override { return outTerminal_; }

    void Flush() override {
        // Taken out first: what fails to be written is dropped, not tried again. The two
        // buffers trade places, so that neither is allocated again.
        flushing_.swap(out_);
        out_.clear();
        WriteAll(STDOUT_FILENO, "standard output", flushing_.data(), flushing_.size());
    }

    std::string EncodingNote() const override {
        return "Arguments, input and output are text in the locale's encoding (LC_ALL,\n"
               "LC_CTYPE, LANG; UTF-8 when none is set); a UTF-8 byte order mark at the start\n"
               "of the input is skipped.\n";
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

    static void WriteAll(int fd, const char* name, const char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t wrote = write(fd, data, size);
            if (wrote < 0) {
                if (errno == EINTR) continue;
                // A reader that closed the pipe (when SIGPIPE is ignored) wants no more.
                throw cli::StreamError(
                    std::string("cannot write ") + name + ": " + std::strerror(errno),
                    errno == EPIPE);
            }
            data += wrote;
            size -= static_cast<std::size_t>(wrote);
        }
    }

    // A message that cannot be written has nowhere else to go.
    static void WriteMessageBytes(const std::string& bytes) {
        try {
            WriteAll(STDERR_FILENO, "standard error", bytes.data(), bytes.size());
        } catch (const cli::StreamError&) {
        }
    }

    const LocaleText& locale_;
    const bool inTerminal_;
    const bool outTerminal_;
    bool hidden_ = false;
    bool first_ = true;
    char end_ = '\n';
    cli::LineReader<char> reader_{&Read, [this] { Flush(); }};
    std::string out_;
    std::string flushing_;
};

// A core dump of this process would hold the secrets it was given.
void NoCoreDumps() {
#if defined(__linux__)
    prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
#endif
    const rlimit none{0, 0};
    setrlimit(RLIMIT_CORE, &none);
}

}  // namespace

int main(int argc, char** argv) {
    NoCoreDumps();
    const LocaleText locale;
    std::vector<cli::InputField> args(argc > 0 ? static_cast<std::size_t>(argc - 1) : 0);
    for (std::size_t i = 0; i < args.size(); ++i) {
        args[i].invalid = !locale.ToWide(argv[i + 1], args[i].text);
    }
    PosixStreams streams(locale);
    return cli::Run(args, streams);
}
