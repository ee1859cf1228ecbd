// SPDX-License-Identifier: MIT
// WideCharToMultiByte and MultiByteToWideChar for POSIX, keeping KERNEL32's contract: an output
// size of 0 asks for the size; a length of -1 reads through the terminator and counts it; a
// length of 0, a bad argument or a too small buffer fails with 0; unmappable or malformed input
// is substituted, never refused. Only flags 0 are supported.
#include <span>
#include <string>

#include "cipher/codepage.h"
#include "cipher/codepage_posix.h"

namespace {

using namespace Molvan::System::CodePage;

constexpr unsigned int kThreadAnsi = 3;  // CP_THREAD_ACP: the same page here

unsigned int ResolvePage(unsigned int page) {
    return page == kAnsi || page == kThreadAnsi ? AnsiCodePage() : page;
}

template <typename Unit>
std::span<const Unit> InputText(const Unit* text, int length) {
    const std::size_t count =
        length == -1 ? std::char_traits<Unit>::length(text) + 1 : static_cast<std::size_t>(length);
    return {text, count};
}

}  // namespace

int WideCharToMultiByte(unsigned int CodePage, unsigned int dwFlags, const char16_t* lpWideCharStr,
                        int cchWideChar, char* lpMultiByteStr, int cbMultiByte,
                        const char* lpDefaultChar, int* lpUsedDefaultChar) {
    if (dwFlags != 0 || lpWideCharStr == nullptr || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && lpMultiByteStr == nullptr)) {
        return 0;
    }
    const std::span<const char16_t> text = InputText(lpWideCharStr, cchWideChar);
    Output<char> out(cbMultiByte > 0 ? lpMultiByteStr : nullptr, cbMultiByte);
    const unsigned int page = ResolvePage(CodePage);
    if (page == kUtf8) {
        // As on Windows, UTF-8 takes no default character.
        if (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) return 0;
        return Utf16ToUtf8(text, out) ? out.Result() : 0;
    }
    bool usedDefault = false;
    const char defaultChar = lpDefaultChar != nullptr ? *lpDefaultChar : '?';
    if (!Utf16ToAnsi(page, text, out, defaultChar, usedDefault)) return 0;
    if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = usedDefault ? 1 : 0;
    return out.Result();
}

int MultiByteToWideChar(unsigned int CodePage, unsigned int dwFlags, const char* lpMultiByteStr,
                        int cbMultiByte, char16_t* lpWideCharStr, int cchWideChar) {
    if (dwFlags != 0 || lpMultiByteStr == nullptr || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr)) {
        return 0;
    }
    const std::span<const char> chars = InputText(lpMultiByteStr, cbMultiByte);
    const std::span<const unsigned char> text(reinterpret_cast<const unsigned char*>(chars.data()),
                                              chars.size());
    Output<char16_t> out(cchWideChar > 0 ? lpWideCharStr : nullptr, cchWideChar);
    const unsigned int page = ResolvePage(CodePage);
    const bool converted = page == kUtf8 ? Utf8ToUtf16(text, out) : AnsiToUtf16(page, text, out);
    return converted ? out.Result() : 0;
}
