// SPDX-License-Identifier: MIT
// The C interface over the field cipher: UTF-8 in and out, the code page named by the caller,
// and every exception turned into a status before it reaches C.
#include "credcipher.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "cipher/code_page_text.h"
#include "cipher/encoder.h"
#include "cipher/field_cipher.h"
#include "cipher/field_key.h"
#include "codepages/utf.h"

namespace {

using Molvan::System::Encoder;
namespace CodePageText = Molvan::System::CodePageText;

// A status to leave by, from anywhere below.
struct Failure {
    int status;
};

unsigned int ResolvePage(unsigned int page) {
    if (page == CREDCIPHER_ANSI_CODE_PAGE) return CodePageText::AnsiCodePage();
    if (!CodePageText::IsAvailable(page)) throw Failure{CREDCIPHER_ERROR_CODE_PAGE};
    return page;
}

// The UTF-8 text up to its first NUL as the dialog's wide text; malformed UTF-8 is refused
// rather than replaced.
CString WideText(const char* text, std::size_t len) {
    if (text == nullptr && len != 0) throw Failure{CREDCIPHER_ERROR_ARGUMENT};
    if (len == 0) return CString();
    const std::string utf8(text, strnlen(text, len));
    if (!codepages::utf::IsWellFormedUtf8(utf8)) throw Failure{CREDCIPHER_ERROR_UTF8};
    CString wide;
    Encoder::Utf8ToCString(utf8, wide);
    return wide;
}

template <typename Call>
int Guarded(Call call) noexcept {
    try {
        call();
        return CREDCIPHER_OK;
    } catch (const Failure& failure) {
        return failure.status;
    } catch (const std::bad_alloc&) {
        return CREDCIPHER_ERROR_NO_MEMORY;
    } catch (const std::length_error&) {
        return CREDCIPHER_ERROR_ARGUMENT;  // longer than a conversion takes (INT_MAX)
    } catch (...) {
        return CREDCIPHER_ERROR_INTERNAL;
    }
}

}  // namespace

extern "C" {

int credcipher_encrypt(const char* text, size_t len, unsigned int code_page,
                       char out[CREDCIPHER_CIPHER_TEXT_SIZE]) {
    return Guarded([&] {
        if (out == nullptr) throw Failure{CREDCIPHER_ERROR_ARGUMENT};
        const unsigned int page = ResolvePage(code_page);
        bool lossy = false;
        const std::string bytes = CodePageText::FromWide(page, WideText(text, len), lossy);
        const std::string cipherText =
            Molvan::System::EncryptText(bytes, Molvan::System::kFieldKey);
        std::memcpy(out, cipherText.c_str(), CREDCIPHER_CIPHER_TEXT_SIZE);
    });
}

int credcipher_decrypt(const char* cipher_text, size_t len, unsigned int code_page, char* out,
                       size_t out_size, size_t* out_len) {
    return Guarded([&] {
        if (out == nullptr && out_size != 0) throw Failure{CREDCIPHER_ERROR_ARGUMENT};
        const unsigned int page = ResolvePage(code_page);
        // The dialog reads its cipher field in the same code page as its plain text.
        bool lossy = false;
        const std::string cipherBytes =
            CodePageText::FromWide(page, WideText(cipher_text, len), lossy);
        const std::string plain =
            Molvan::System::DecryptText(cipherBytes, Molvan::System::kFieldKey);
        std::string text;
        Encoder::CStringToUtf8(CodePageText::ToWide(page, plain), text);
        if (out_len != nullptr) *out_len = text.size();
        if (text.size() >= out_size) {
            if (out_size != 0) out[0] = '\0';
            throw Failure{CREDCIPHER_ERROR_BUFFER_TOO_SMALL};
        }
        std::memcpy(out, text.c_str(), text.size() + 1);
    });
}

const char* credcipher_strerror(int status) {
    switch (status) {
        case CREDCIPHER_OK:
            return "success";
        case CREDCIPHER_ERROR_ARGUMENT:
            return "a required pointer is null, or the text is too long";
        case CREDCIPHER_ERROR_CODE_PAGE:
            return "the code page is not known on this system";
        case CREDCIPHER_ERROR_UTF8:
            return "the text is not valid UTF-8";
        case CREDCIPHER_ERROR_BUFFER_TOO_SMALL:
            return "the output buffer is too small";
        case CREDCIPHER_ERROR_NO_MEMORY:
            return "out of memory";
        case CREDCIPHER_ERROR_INTERNAL:
            return "internal error";
        default:
            return "unknown status";
    }
}

const char* credcipher_version(void) { return CREDCIPHER_VERSION_STRING; }

}  // extern "C"
