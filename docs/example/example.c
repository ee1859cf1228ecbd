/* SPDX-License-Identifier: MIT */
/* An application's use of libcredcipher: enciphers a field as credcipher would write it into a
 * configuration file, and deciphers it again as the application would when it reads the file.
 *
 *     credcipher-example CODE_PAGE TEXT      e.g.  credcipher-example 936 张三
 *
 * prints the cipher text, a tab and the deciphered text. Build it with
 *     cc example.c $(pkg-config --cflags --libs credcipher)
 * or with CMake, find_package(credcipher) and the target credcipher::credcipher. */
#include <credcipher.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    char cipher_text[CREDCIPHER_CIPHER_TEXT_SIZE];
    char plain_text[CREDCIPHER_PLAIN_TEXT_SIZE];
    size_t plain_length = 0;
    unsigned int code_page;
    int status;

    if (argc != 3) {
        fprintf(stderr, "usage: %s CODE_PAGE TEXT (CODE_PAGE 0: the locale's)\n", argv[0]);
        return 2;
    }
    code_page = (unsigned int)strtoul(argv[1], NULL, 10);

    status = credcipher_encrypt(argv[2], strlen(argv[2]), code_page, cipher_text);
    if (status != CREDCIPHER_OK) {
        fprintf(stderr, "encrypt: %s\n", credcipher_strerror(status));
        return 1;
    }
    status = credcipher_decrypt(cipher_text, strlen(cipher_text), code_page, plain_text,
                                sizeof plain_text, &plain_length);
    if (status != CREDCIPHER_OK) {
        fprintf(stderr, "decrypt: %s\n", credcipher_strerror(status));
        return 1;
    }
    printf("%s\t%.*s\n", cipher_text, (int)plain_length, plain_text);
    return 0;
}
