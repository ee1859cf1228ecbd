// SPDX-License-Identifier: MIT
// One field through the dialog's road: wide text -> bytes in a code page -> the field cipher,
// and back. Says what the format lost or read leniently on the way.
#pragma once

#include <string>
#include <vector>

#include "cipher/wide_string.h"

namespace cli {

// What the format does silently, as far as one field can tell.
enum class Loss {
    kCut,           // text longer than 16 bytes in the code page (or with a NUL) was cut
    kUnmappable,    // characters the code page lacks became "?"
    kLenient,       // cipher text that is not one block of canonical Base64 was read leniently
    kInvalidText,   // deciphered bytes that are not text in the code page
    kLineBreak,     // a text with a line break, which would split its record
    kInvalidInput,  // input bytes that are not valid in their encoding
};

struct Problem {
    Loss loss;
    std::string detail;  // a sentence for the person reading stderr
};

struct PlainText {
    std::vector<unsigned int> codePages;  // one, or with all pages each page giving this text
    CString text;
};

struct FieldResult {
    CString cipherText;             // encrypt
    std::vector<PlainText> plain;   // decrypt: one entry, or the distinct texts of all pages
    std::vector<Problem> problems;  // in the order found
};

// Enciphers and deciphers one field after another, keeping its buffers from field to field.
class FieldCipher {
public:
    FieldCipher();

    // Enciphers text as its bytes in codePage.
    const FieldResult& Encrypt(const CString& text, unsigned int codePage);

    // Deciphers cipherText and reads the bytes as text in codePage.
    const FieldResult& Decrypt(const CString& cipherText, unsigned int codePage);

    // For a field of ASCII bytes about which Encrypt has nothing to say (at most 16 bytes, no
    // NUL, no line break): its cipher text, the same as Encrypt's; nullptr for any other field.
    const std::string* EncryptAscii(const std::string& text);

    // For a canonical cipher text in ASCII bytes that deciphers to printable ASCII other than
    // "\\" (about which Decrypt has nothing to say, and which no output escapes): that text,
    // the same as Decrypt's in any page; nullptr for any other field.
    const std::string* DecryptToAscii(const std::string& cipherText);

    // Deciphers cipherText and reads the bytes in each of codePages; the texts that they are,
    // most plausible first, each with the pages that give it.
    const FieldResult& DecryptInEach(const CString& cipherText,
                                     const std::vector<unsigned int>& codePages);

private:
    void Decipher(const CString& cipherText);

    FieldResult result_;
    std::string bytes_;
    std::string plain_;
    std::string cipherText_;
    CString wide_;
};

// Whether text is one AES block in Base64 as the tool writes it: 24 characters, the last two
// "=", and no bits set past the block's 16 bytes.
bool IsCanonicalCipherText(const CString& text);

// Whether a character ends a line: LF, or CR, which ends one for readers of CR LF (this program
// among them, when it is the last character).
inline bool IsLineBreak(WCHAR unit) { return unit == u'\n' || unit == u'\r'; }
bool HasLineBreak(const CString& text);

}  // namespace cli
