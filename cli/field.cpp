// SPDX-License-Identifier: MIT
#include "cli/field.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "cipher/code_page_text.h"
#include "cipher/field_cipher.h"
#include "cipher/field_key.h"
#include "cli/plausibility.h"
#include "cli/streams.h"

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

const std::string& Key() {
    static const std::string key = Molvan::System::kFieldKey;
    return key;
}

int Base64Value(WCHAR c) { return c < 128 ? kBase64Values[c] : -1; }

std::string PageName(unsigned int page) { return "code page " + std::to_string(page); }

// Every page this tool converts keeps ASCII as it is, so ASCII needs no conversion. NUL is left
// to the conversion, which ends the text there.
void ToPage(unsigned int page, const CString& text, std::string& bytes, bool& lossy) {
    lossy = false;
    bytes.clear();
    if (!AppendUnits(bytes, text) || bytes.find('\0') != std::string::npos) {
        bytes = CodePageText::FromWide(page, text, lossy);
    }
}

// The bytes as text in page; false when they are not text there (they do not convert back to
// themselves).
bool FromPage(unsigned int page, const std::string& bytes, CString& text) {
    text.clear();
    if (AppendUnits(text, bytes)) return true;
    text = CodePageText::ToWide(page, bytes);
    bool lossy = false;
    return CodePageText::FromWide(page, text, lossy) == bytes && !lossy;
}

// For the search over all pages: the bytes map to text a person could have typed, not to the
// private use characters or C1 controls a page gives bytes it barely defines.
bool IsTypable(const CString& text) {
    return std::none_of(text.begin(), text.end(), [](WCHAR unit) {
        return (unit >= 0x80 && unit < 0xA0) || (unit >= 0xE000 && unit < 0xF900);
    });
}

}  // namespace

FieldCipher::FieldCipher() {
    // Room for a field's usual texts from the start, so that later fields allocate nothing.
    bytes_.reserve(64);
    wide_.reserve(32);
    result_.cipherText.reserve(32);
    result_.plain.resize(1);
    result_.plain[0].text.reserve(32);
    result_.plain[0].codePages.reserve(1);
}

bool IsCanonicalCipherText(const CString& text) {
    if (text.size() != 24 || text[22] != u'=' || text[23] != u'=') return false;
    if (!std::all_of(text.begin(), text.begin() + 22,
                     [](WCHAR c) { return Base64Value(c) >= 0; })) {
        return false;
    }
    // The last character carries 2 bits of the block; its other 4 must be zero.
    return Base64Value(text[21]) % 16 == 0;
}

bool HasLineBreak(const CString& text) {
    return std::any_of(text.begin(), text.end(), [](WCHAR unit) { return IsLineBreak(unit); });
}

const FieldResult& FieldCipher::Encrypt(const CString& text, unsigned int codePage) {
    result_.problems.clear();
    bool lossy = false;
    ToPage(codePage, text, bytes_, lossy);
    bool nul = false, lineBreak = false;
    for (WCHAR unit : text) {
        nul |= unit == 0;
        lineBreak |= IsLineBreak(unit);
    }
    if (nul) {
        result_.problems.push_back({Loss::kCut, "the text has a NUL character; it is cut there"});
    }
    if (bytes_.size() > kBlockBytes) {
        result_.problems.push_back({Loss::kCut, "the text is " + std::to_string(bytes_.size()) +
                                                    " bytes in " + PageName(codePage) +
                                                    "; only its first 16 are enciphered"});
    }
    if (lossy) {
        result_.problems.push_back(
            {Loss::kUnmappable, "characters that " + PageName(codePage) + " lacks became \"?\""});
    }
    if (lineBreak) {
        result_.problems.push_back(
            {Loss::kLineBreak,
             "the text holds a line break, which no field of the dialog holds; deciphered, it "
             "comes back whole only with -z"});
    }
    const std::string cipherText = Molvan::System::EncryptText(bytes_, Key());
    result_.cipherText.clear();
    AppendUnits(result_.cipherText, cipherText);  // Base64 is ASCII
    return result_;
}

const std::string* FieldCipher::EncryptAscii(const std::string& text) {
    if (text.size() > kBlockBytes) return nullptr;
    for (char byte : text) {
        if (byte <= 0 || IsLineBreak(static_cast<WCHAR>(byte))) return nullptr;
    }
    cipherText_ = Molvan::System::EncryptText(text, Key());
    return &cipherText_;
}

const std::string* FieldCipher::DecryptToAscii(const std::string& cipherText) {
    wide_.clear();
    if (!AppendUnits(wide_, cipherText) || !IsCanonicalCipherText(wide_)) return nullptr;
    plain_ = Molvan::System::DecryptText(cipherText, Key());
    for (char byte : plain_) {
        if (byte < 0x20 || byte > 0x7E || byte == '\\') return nullptr;
    }
    return &plain_;
}

void FieldCipher::Decipher(const CString& cipherText) {
    result_.problems.clear();
    if (!IsCanonicalCipherText(cipherText)) {
        result_.problems.push_back(
            {Loss::kLenient,
             "not one block of canonical Base64 (24 characters ending in \"==\"); read leniently"});
    }
    // Base64 is ASCII in every ANSI page; the dialog converts the field with CP_ACP.
    bool lossy = false;
    ToPage(CodePageText::AnsiCodePage(), cipherText, bytes_, lossy);
    plain_ = Molvan::System::DecryptText(bytes_, Key());
}

const FieldResult& FieldCipher::Decrypt(const CString& cipherText, unsigned int codePage) {
    Decipher(cipherText);
    result_.plain.resize(1);
    result_.plain[0].codePages.assign(1, codePage);
    if (!FromPage(codePage, plain_, result_.plain[0].text)) {
        result_.problems.push_back(
            {Loss::kInvalidText, "the deciphered bytes are not text in " + PageName(codePage)});
    }
    return result_;
}

const FieldResult& FieldCipher::DecryptInEach(const CString& cipherText,
                                              const std::vector<unsigned int>& codePages) {
    Decipher(cipherText);
    // Every page's reading, the most plausible first and, among equals, in the order of
    // codePages; a text that an earlier reading gave only adds its page there.
    struct Reading {
        unsigned int page;
        double plausibility;
        CString text;
    };
    std::vector<Reading> readings;
    CString text;
    for (unsigned int page : codePages) {
        if (FromPage(page, plain_, text) && IsTypable(text)) {
            readings.push_back({page, Plausibility(text, page), text});
        }
    }
    std::stable_sort(readings.begin(), readings.end(), [](const Reading& a, const Reading& b) {
        return a.plausibility > b.plausibility;
    });
    result_.plain.clear();
    for (Reading& reading : readings) {
        auto same = std::find_if(result_.plain.begin(), result_.plain.end(),
                                 [&](const PlainText& p) { return p.text == reading.text; });
        if (same != result_.plain.end()) {
            same->codePages.push_back(reading.page);
        } else {
            result_.plain.push_back({{reading.page}, std::move(reading.text)});
        }
    }
    if (result_.plain.empty()) {
        result_.problems.push_back(
            {Loss::kInvalidText, "the deciphered bytes are not text in any common ANSI code page"});
    }
    return result_;
}

}  // namespace cli
