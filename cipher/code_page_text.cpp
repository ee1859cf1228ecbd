// SPDX-License-Identifier: MIT
#include "cipher/code_page_text.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "cipher/codepage.h"

namespace Molvan::System::CodePageText {

namespace {

// Every page this tool converts (the ANSI pages and UTF-8) keeps ASCII as it is, so text of
// ASCII alone needs no conversion.
template <typename Unit>
bool IsAscii(const std::basic_string<Unit>& text) {
    return std::all_of(text.begin(), text.end(), [](Unit unit) { return unit > 0 && unit < 0x80; });
}

int CheckedLength(std::size_t size) {
    if (size > INT_MAX) throw std::length_error("text too long to convert");
    return static_cast<int>(size);
}

}  // namespace

unsigned int AnsiCodePage() { return GetACP(); }

bool IsAvailable(unsigned int page) {
    return page != CodePage::kAnsi && MultiByteToWideChar(page, 0, "a", 1, nullptr, 0) == 1;
}

std::string FromWide(unsigned int page, const CString& text, bool& lossy) {
    lossy = false;
    if (IsAscii(text)) return std::string(text.begin(), text.end());
    // CP_UTF8 takes no default character; its only loss, a lone surrogate, is not reported.
    int usedDefault = 0;
    int* usedDefaultOut = page == kUtf8 ? nullptr : &usedDefault;
    const int count =
        WideCharToMultiByte(page, 0, text.c_str(), -1, nullptr, 0, nullptr, usedDefaultOut);
    if (count <= 1) return std::string();
    std::string bytes(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(page, 0, text.c_str(), -1, bytes.data(), count, nullptr, usedDefaultOut);
    bytes.pop_back();  // the terminator, counted by length -1
    lossy = usedDefault != 0;
    return bytes;
}

CString ToWide(unsigned int page, const std::string& bytes) {
    if (IsAscii(bytes)) return CString(bytes.begin(), bytes.end());
    const int length = CheckedLength(bytes.size());
    const int count = MultiByteToWideChar(page, 0, bytes.data(), length, nullptr, 0);
    if (count <= 0) return CString();
    CString text(static_cast<std::size_t>(count), WCHAR{0});
    MultiByteToWideChar(page, 0, bytes.data(), length, text.data(), count);
    return text;
}

}  // namespace Molvan::System::CodePageText
