// SPDX-License-Identifier: MIT
#include "cli/field.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "cipher/code_page_text.h"
#include "cipher/field_cipher.h"
#include "cipher/field_key.h"

namespace cli {

namespace {

namespace CodePageText = Molvan::System::CodePageText;

constexpr std::size_t kBlockBytes = 16;
// The value of each ASCII character in the Base64 alphabet, -1 for the others.
constexpr std::array<signed char, 128> kBase64Values = [] {
    std::array<signed char, 128> values{};
    values.fill(-1);
    constexpr std::string_view alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (std::size_t i = 0; i < alphabet.size(); ++i) {
        values[static_cast<unsigned char>(alphabet[i])] = static_cast<signed char>(i);
    }
    return values;
}();

int Base64Value(WCHAR c) { return c < 128 ? kBase64Values[c] : -1; }

std::string PageName(unsigned int page) { return "code page " + std::to_string(page); }

// For the search over all pages: the bytes map to text a person could have typed, not to the
// private use characters or C1 controls a page gives bytes it barely defines.
bool IsPlausible(const CString& text) {
    return std::none_of(text.begin(), text.end(), [](WCHAR unit) {
        return (unit >= 0x80 && unit < 0xA0) || (unit >= 0xE000 && unit < 0xF900);
    });
}

}  // namespace

bool IsCanonicalCipherText(const CString& text) {
    if (text.size() != 24 || text[22] != u'=' || text[23] != u'=') return false;
    if (!std::all_of(text.begin(), text.begin() + 22,
                     [](WCHAR c) { return Base64Value(c) >= 0; })) {
        return false;
    }
    // The last character carries 2 bits of the block; its other 4 must be zero.
    return Base64Value(text[21]) % 16 == 0;
}

FieldResult EncryptField(const CString& text, unsigned int codePage) {
    FieldResult result;
    bool lossy = false;
    const std::string bytes = CodePageText::FromWide(codePage, text, lossy);
    if (text.find(WCHAR{0}) != CString::npos) {
        result.problems.push_back({Loss::kCut, "the text has a NUL character; it is cut there"});
    }
    if (bytes.size() > kBlockBytes) {
        result.problems.push_back({Loss::kCut, "the text is " + std::to_string(bytes.size()) +
                                                   " bytes in " + PageName(codePage) +
                                                   "; only its first 16 are enciphered"});
    }
    if (lossy) {
        result.problems.push_back(
            {Loss::kUnmappable, "characters that " + PageName(codePage) + " lacks became \"?\""});
    }
    const std::string cipherText = Molvan::System::EncryptText(bytes, Molvan::System::kFieldKey);
    result.cipherText.assign(cipherText.begin(), cipherText.end());
    return result;
}

FieldResult DecryptField(const CString& cipherText, const std::vector<unsigned int>& codePages) {
    FieldResult result;
    if (!IsCanonicalCipherText(cipherText)) {
        result.problems.push_back(
            {Loss::kLenient,
             "not one block of canonical Base64 (24 characters ending in \"==\"); read leniently"});
    }
    // Base64 is ASCII in every ANSI page; the dialog converts the field with CP_ACP.
    bool lossy = false;
    const std::string cipherBytes =
        CodePageText::FromWide(CodePageText::AnsiCodePage(), cipherText, lossy);
    const std::string plain = Molvan::System::DecryptText(cipherBytes, Molvan::System::kFieldKey);
    bool valid = false;
    for (unsigned int page : codePages) {
        CString text = CodePageText::ToWide(page, plain);
        // Text in the page when it converts back to the same bytes.
        valid = CodePageText::FromWide(page, text, lossy) == plain && !lossy;
        if (codePages.size() == 1 || (valid && IsPlausible(text))) {
            result.plain.push_back({page, std::move(text)});
        }
    }
    if (codePages.size() == 1 && !valid) {
        result.problems.push_back(
            {Loss::kInvalidText, "the deciphered bytes are not text in " + PageName(codePages[0])});
    } else if (result.plain.empty()) {
        result.problems.push_back(
            {Loss::kInvalidText, "the deciphered bytes are not text in any common ANSI code page"});
    }
    return result;
}

}  // namespace cli
