#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes docs/test-vectors.json: cipher texts and plain texts as credcipher-cli gives them, with
the AES blocks in between as OpenSSL computes them, for implementers of the format.

    python3 scripts/make-test-vectors.py build/debug/cli/credcipher-cli [docs/test-vectors.json]

The cipher texts and texts come from our program; the blocks from OpenSSL (AES-128-ECB under the
key) and, for decrypting, from the lenient Base64 reading described in docs/format.md. Every
decrypt case whose text is text in its code page is checked against the program once more: the
program enciphers the text back into the block that was read.
"""

import base64
import json
import os
import subprocess
import sys

KEY_STRING = "7D3F09A2-4C6E-41fa-9E52-A0F47C1B3D86"
AES_KEY = KEY_STRING[:16].encode("ascii")
ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"

# (code page, text, what it shows)
ENCRYPT = [
    (1252, "", "the empty field: an all-zero block"),
    (1252, "alice", "ASCII, the same in every ANSI code page"),
    (1252, "0123456789abcdef", "exactly 16 bytes: no zero byte in the block"),
    (1252, "0123456789abcdefXYZ", "19 bytes: only the first 16 count"),
    (1252, "café", "one byte per character in code page 1252"),
    (1252, "€uro", "the euro sign is the byte 80 in code page 1252"),
    (1252, "张三", "characters that code page 1252 lacks become ?"),
    (936, "张三", "two bytes per character in code page 936"),
    (936, "密码123", "double-byte and ASCII characters"),
    (936, "一二三四五六七八九", "18 bytes: the cut falls between characters"),
    (936, "a一二三四五六七八", "17 bytes: the cut falls inside the eighth character"),
    (950, "張三", "code page 950 (Big5)"),
    (932, "パスワード", "code page 932 (Shift JIS)"),
    (949, "비밀번호", "code page 949 (Korean)"),
    (1251, "Пароль", "code page 1251 (Cyrillic)"),
    (65001, "张三", "code page 65001: UTF-8, three bytes per character here"),
    (65001, "пароль123", "UTF-8: 15 bytes"),
    (65001, "😀", "UTF-8: four bytes for a character outside the BMP"),
]

# (code page, cipher text or None, block or None, what it shows); a block given instead of a
# cipher text is enciphered with OpenSSL into canonical cipher text first.
DECRYPT = [
    (1252, "cXKlGa5MQXDcK1Dph3gdiQ==", None, "canonical cipher text"),
    (1252, None, b"0123456789abcdef", "16 bytes and no zero byte: all 16 come back"),
    (1252, None, b"ab\0cdefghijklmno", "the text ends at the first zero byte"),
    (1252, "", None, "the empty text deciphers the all-zero block"),
    (1252, "QUJD", None, "3 bytes: the rest of the block is zero"),
    (1252, "QQ==", None, "'=' in the third place: one byte"),
    (1252, "QUI=", None, "'=' in the fourth place: two bytes"),
    (1252, "====", None, "'=' in the first two places counts 0: one zero byte"),
    (1252, "cXKlGa5MQXDcK1Dph3gdiQ==extra", None, "bytes past the block are ignored"),
    (1252, "cXKlGa5MQXDc\r\nK1Dph3gdiQ==", None, "a line break where a group starts is skipped"),
    (1252, "cXKlG\r\na5MQXDcK1Dph3gdiQ==", None, "a line break inside a group counts 0"),
    (1252, "cXKl-_5MQXDcK1Dph3gdiQ==", None, "characters outside the alphabet count 0"),
    (1252, "cXKlGa5MQXDcK1Dph3gd", None, "five groups: 15 bytes, the last byte of the block zero"),
    (1252, "QUJ", None,
     "a group cut short by the end of the text: credcipher reads past the end as 0, not '='"),
    (936, "bCQm6P5z5CiQU9rGFAKeGg==", None, "code page 936"),
    (936, None, "a一二三四五六七八".encode("gbk")[:16],
     "a lead byte with no trail byte at the end: not text in code page 936"),
    (65001, None, b"\xe5\xbc\xa0\xff", "bytes that are not text in UTF-8 either"),
]


def run(command, data=None, env=None):
    return subprocess.run(command, input=data, capture_output=True, check=True, env=env).stdout


def aes(direction, block):
    return run(["openssl", "enc", direction, "-aes-128-ecb", "-nopad", "-nosalt",
                "-K", AES_KEY.hex()], block)


def lenient_base64(text):
    """The first 16 bytes of text read as the tool reads Base64, zero-padded."""
    data = text.encode("utf-8")
    value = lambda i: ALPHABET.find(chr(data[i])) if i < len(data) and data[i] < 128 else 0
    out, i, position = bytearray(), 0, 0
    while i < len(data):
        if data[position] in (10, 13):
            position, i = position + 1, i + 1
            continue
        v = max(value(position), 0) << 18 | max(value(position + 1), 0) << 12
        out.append(v >> 16 & 255)
        consumed = 2
        if position + 2 >= len(data) or data[position + 2] != ord("="):
            v |= max(value(position + 2), 0) << 6
            out.append(v >> 8 & 255)
            consumed = 3
            if position + 3 >= len(data) or data[position + 3] != ord("="):
                v |= max(value(position + 3), 0)
                out.append(v & 255)
                consumed = 4
        position, i = position + consumed, i + 4
    return bytes(out[:16]).ljust(16, b"\0")


def cli(program, page, command, field):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    out = run([program, "-q", "-c", str(page), command, "--", field], env=env).decode("utf-8")
    assert out.endswith("\n"), out
    return out[:-1]


def main():
    program = sys.argv[1]
    path = sys.argv[2] if len(sys.argv) > 2 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "docs", "test-vectors.json")
    encrypt = []
    for page, text, note in ENCRYPT:
        cipher_text = cli(program, page, "encrypt", text)
        block = aes("-d", base64.b64decode(cipher_text))
        encrypt.append({"note": note, "code_page": page, "text": text, "block": block.hex(),
                        "cipher_text": cipher_text})
    decrypt = []
    for page, cipher_text, plain, note in DECRYPT:
        if cipher_text is None:
            cipher_text = base64.b64encode(aes("-e", plain.ljust(16, b"\0"))).decode("ascii")
        block = lenient_base64(cipher_text)
        plain_block = aes("-d", block)
        plain_bytes = plain_block.split(b"\0")[0]
        text = cli(program, page, "decrypt", cipher_text)
        # Text converts back to the same bytes, so the program read the block as we did.
        back = aes("-d", base64.b64decode(cli(program, page, "encrypt", text)))
        if back != plain_bytes.ljust(16, b"\0") and "not text" not in note:
            sys.exit(f"make-test-vectors.py: {cipher_text!r} gave {text!r} in {page}")
        decrypt.append({"note": note, "code_page": page, "cipher_text": cipher_text,
                        "block": block.hex(), "plain_block": plain_block.hex(),
                        "plain_bytes": plain_bytes.hex(), "text": text})
    vectors = {
        "description": "credcipher field cipher test vectors: see format.md",
        "key_string": KEY_STRING,
        "aes_key": AES_KEY.hex(),
        "encrypt": encrypt,
        "decrypt": decrypt,
    }
    with open(path, "w", encoding="utf-8") as out:
        json.dump(vectors, out, ensure_ascii=False, indent=2)
        out.write("\n")


if __name__ == "__main__":
    main()
