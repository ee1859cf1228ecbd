// SPDX-License-Identifier: MIT
// credcipher-cli on Windows: UTF-16 arguments; a console is read and written as Unicode, and
// redirected input and output are UTF-8.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cipher/code_page_text.h"
#include "cli/line_reader.h"
#include "cli/run.h"
#include "cli/streams.h"
#include "codepages/utf.h"

namespace {

namespace CodePageText = Molvan::System::CodePageText;

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

std::string LastError(const char* what) {
    return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

class WindowsStreams : public cli::Streams {
public:
    WindowsStreams()
        : in_(GetStdHandle(STD_INPUT_HANDLE)),
          out_(GetStdHandle(STD_OUTPUT_HANDLE)),
          err_(GetStdHandle(STD_ERROR_HANDLE)),
          inConsole_(IsConsole(in_)),
          outConsole_(IsConsole(out_)),
          errConsole_(IsConsole(err_)) {}

    ~WindowsStreams() override { RestoreEcho(); }

    void SetZeroTerminated() override {
        byteReader_.SetZeroTerminated();
        consoleReader_.SetZeroTerminated();
        end_ = L'\0';
    }

    bool ReadField(cli::InputField& field) override {
        if (inConsole_) {
            const bool got = consoleReader_.Next(field.text, field.tooLong);
            if (hidden_) Write(err_, errConsole_, L"\n", "standard error");  // Enter was not shown
            return got;
        }
        if (!byteReader_.Next(bytes_, field.tooLong)) return false;
        if (first_ && bytes_.starts_with("\xEF\xBB\xBF")) bytes_.erase(0, 3);  // a BOM
        first_ = false;
        field.text = CodePageText::ToWide(CodePageText::kUtf8, bytes_);
        field.invalid = !codepages::utf::IsWellFormedUtf8(bytes_);
        return true;
    }

    bool InputIsTerminal() const override { return inConsole_; }

    // The console's echo goes off until the program ends; a Ctrl+C or a closed console window
    // ends it through the handler, which puts the echo back first.
    void HideInput() override {
        if (!GetConsoleMode(in_, &savedMode_)) return;
        hiddenInput_ = in_;
        SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
        SetConsoleMode(in_, savedMode_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
        hidden_ = true;
    }

    void Prompt(const std::string& what) override {
        Flush();
        Write(err_, errConsole_,
              CString(1, static_cast<wchar_t>(std::toupper(static_cast<unsigned char>(what[0])))) +
                  CString(what.begin() + 1, what.end()) + L" (not shown; Ctrl+Z, Enter ends): ",
              "standard error");
    }

    void WriteRecord(const CString& text) override {
        pending_ += text;
        pending_ += end_;
        if (pending_.size() >= 16 * 1024) Flush();
    }

    void WriteAsciiRecord(const std::string& ascii) override {
        cli::AppendUnits(pending_, ascii);
        pending_ += end_;
        if (pending_.size() >= 16 * 1024) Flush();
    }

    void WriteMessage(const std::string& utf8) override {
        Flush();
        // A message that cannot be written has nowhere else to go.
        try {
            Write(err_, errConsole_,
                  L"credcipher-cli: " + CodePageText::ToWide(CodePageText::kUtf8, utf8) + L"\n",
                  "standard error");
        } catch (const cli::StreamError&) {
        }
    }

    bool OutputIsTerminal() const override { return outConsole_; }

    void Flush() override {
        // Taken out first: what fails to be written is dropped, not tried again.
        Write(out_, outConsole_, std::exchange(pending_, CString()), "standard output");
    }

    std::string EncodingNote() const override {
        return "Arguments are read as Unicode. A console is read and written as Unicode;\n"
               "input and output that are redirected (a file or a pipe) are UTF-8 (a byte\n"
               "order mark at the start of the input is skipped), each output line ending in\n"
               "LF.\n";
    }

private:
    std::size_t ReadConsoleChunk(wchar_t* buffer, std::size_t capacity) {
        DWORD got = 0;
        if (!ReadConsoleW(in_, buffer, static_cast<DWORD>(capacity), &got, nullptr)) {
            throw cli::StreamError(LastError("cannot read the console"), false);
        }
        // Ctrl+Z at the start of a line ends the input, as for the console's own programs.
        return got > 0 && buffer[0] == 0x1A ? 0 : got;
    }

    std::size_t ReadBytes(char* buffer, std::size_t capacity) {
        DWORD got = 0;
        if (!ReadFile(in_, buffer, static_cast<DWORD>(capacity), &got, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) return 0;  // the writer closed its end
            throw cli::StreamError(LastError("cannot read standard input"), false);
        }
        return got;
    }

    static void RestoreEcho() {
        if (hiddenInput_ != nullptr) SetConsoleMode(hiddenInput_, savedMode_);
    }

    static BOOL WINAPI OnConsoleEvent(DWORD) {
        RestoreEcho();
        return FALSE;  // the default handling ends the program
    }

    static void Write(HANDLE handle, bool console, const CString& text, const char* name) {
        if (text.empty()) return;
        if (console) {
            DWORD wrote = 0;
            for (std::size_t done = 0; done < text.size(); done += wrote) {
                const DWORD count =
                    static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 8192));
                if (!WriteConsoleW(handle, text.data() + done, count, &wrote, nullptr) ||
                    wrote == 0) {
                    throw cli::StreamError(LastError((std::string("cannot write ") + name).c_str()),
                                           false);
                }
            }
            return;
        }
        bool lossy = false;
        const std::string bytes = CodePageText::FromWide(CodePageText::kUtf8, text, lossy);
        DWORD wrote = 0;
        for (std::size_t done = 0; done < bytes.size(); done += wrote) {
            if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                           &wrote, nullptr)) {
                const DWORD error = GetLastError();
                // A reader that closed the pipe wants no more.
                throw cli::StreamError(LastError((std::string("cannot write ") + name).c_str()),
                                       error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA);
            }
        }
    }

    HANDLE in_, out_, err_;
    bool inConsole_, outConsole_, errConsole_;
    bool first_ = true;
    bool hidden_ = false;
    wchar_t end_ = L'\n';
    static inline HANDLE hiddenInput_ = nullptr;
    static inline DWORD savedMode_ = 0;
    std::string bytes_;
    CString pending_;
    cli::LineReader<char> byteReader_{[this](char* b, std::size_t n) { return ReadBytes(b, n); },
                                      [this] { Flush(); }};
    cli::LineReader<wchar_t> consoleReader_{
        [this](wchar_t* b, std::size_t n) { return ReadConsoleChunk(b, n); }, [this] { Flush(); }};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<cli::InputField> args;
    for (int i = 1; i < argc; ++i) args.push_back({argv[i]});
    // Two readers of 64 KiB each: kept off the stack.
    auto streams = std::make_unique<WindowsStreams>();
    return cli::Run(args, *streams);
}
