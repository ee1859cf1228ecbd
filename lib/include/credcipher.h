/* SPDX-License-Identifier: MIT */
/* libcredcipher: the cipher text of credcipher's fields, for applications that read or write
 * them in their own configuration files. One field is at most 16 bytes of text in a Windows
 * code page, enciphered as one AES-128 block under the key built into the tool and written as
 * 24 characters of Base64; the results are those of the credcipher dialog and credcipher-cli.
 *
 * Text crosses this interface as UTF-8. Every function is thread-safe and keeps no state
 * between calls; errors are returned, never raised. */
#ifndef CREDCIPHER_H
#define CREDCIPHER_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The cipher text of a field: 24 characters and a terminating NUL. */
#define CREDCIPHER_CIPHER_TEXT_SIZE 25
/* Room for any deciphered field as UTF-8 and its terminating NUL: 16 bytes in a code page
 * give at most 16 characters of at most 3 bytes each. */
#define CREDCIPHER_PLAIN_TEXT_SIZE 49

/* A code page argument: a Windows code page number (936, 932, 1252, 65001 for UTF-8, ...), or
 * this value for the ANSI code page of the process's locale, as the dialog takes it (LC_ALL,
 * else LC_CTYPE, else LANG: zh_CN gives 936, C and unknown locales 1252). */
#define CREDCIPHER_ANSI_CODE_PAGE 0u

enum credcipher_status {
    CREDCIPHER_OK = 0,
    CREDCIPHER_ERROR_ARGUMENT = 1,         /* a required pointer is null, or len is too big */
    CREDCIPHER_ERROR_CODE_PAGE = 2,        /* the code page is unknown on this system */
    CREDCIPHER_ERROR_UTF8 = 3,             /* the text is not UTF-8 */
    CREDCIPHER_ERROR_BUFFER_TOO_SMALL = 4, /* out_size is too small; *out_len says what fits */
    CREDCIPHER_ERROR_NO_MEMORY = 5,
    CREDCIPHER_ERROR_INTERNAL = 6
};

/* Enciphers the len bytes of UTF-8 at text (up to its first NUL, if any) as the dialog's
 * Encrypt does: the text in code_page, cut to its first 16 bytes. Writes 24 characters of
 * Base64 and a NUL to out. text may be null when len is 0. */
int credcipher_encrypt(const char* text, size_t len, unsigned int code_page,
                       char out[CREDCIPHER_CIPHER_TEXT_SIZE]);

/* Deciphers the len bytes of UTF-8 at cipher_text as the dialog's Decrypt does: any text is
 * read (leniently: characters outside Base64 count as 0, bytes past the block are ignored),
 * and the block up to its first zero byte is read as text in code_page. Writes that text as
 * UTF-8 and a NUL to out, and its length without the NUL to *out_len (when out_len is not
 * null). When out_size is too small, out gets the empty text (if out_size is not 0) and
 * *out_len the length it needs without the NUL; so out may be null with out_size 0, to ask. */
int credcipher_decrypt(const char* cipher_text, size_t len, unsigned int code_page, char* out,
                       size_t out_size, size_t* out_len);

/* A sentence in English for a status; never null. */
const char* credcipher_strerror(int status);

/* The library's version, such as "1.0.0". */
const char* credcipher_version(void);

#ifdef __cplusplus
}
#endif

#endif /* CREDCIPHER_H */
