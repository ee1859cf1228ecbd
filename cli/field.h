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
    kCut,          // text longer than 16 bytes in the code page (or with a NUL) was cut
    kUnmappable,   // characters the code page lacks became "?"
    kLenient,      // cipher text that is not one block of canonical Base64 was read leniently
    kInvalidText,  // deciphered bytes that are not text in the code page
};

struct Problem {
    Loss loss;
    std::string detail;  // a sentence for the person reading stderr
};

struct PlainText {
    unsigned int codePage;
    CString text;
};

struct FieldResult {
    CString cipherText;             // encrypt
    std::vector<PlainText> plain;   // decrypt: one entry, or one per valid page (all pages)
    std::vector<Problem> problems;  // in the order found
};

// Enciphers text as its bytes in codePage.
FieldResult EncryptField(const CString& text, unsigned int codePage);

// Deciphers cipherText and reads the bytes as text in each of codePages.
FieldResult DecryptField(const CString& cipherText, const std::vector<unsigned int>& codePages);

// Whether text is one AES block in Base64 as the tool writes it: 24 characters, the last two
// "=", and no bits set past the block's 16 bytes.
bool IsCanonicalCipherText(const CString& text);

}  // namespace cli
