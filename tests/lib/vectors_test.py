#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""docs/test-vectors.json holds: OpenSSL's AES gives each block's cipher text and plain block,
and libcredcipher (through vector_adapter) and credcipher-cli give each cipher text and text.

    vectors_test.py VECTORS ADAPTER CREDCIPHER_CLI

The vectors are published for other implementations, so a change here is a change of the
format: if one of our programs changed its conversions on purpose, make the vectors anew with
scripts/make-test-vectors.py and say so.
"""

import base64
import json
import os
import subprocess
import sys


def run(command, data=None, env=None):
    return subprocess.run(command, input=data, capture_output=True, check=True, env=env).stdout


def main():
    path, adapter, cli = sys.argv[1:4]
    with open(path, encoding="utf-8") as f:
        vectors = json.load(f)
    key = vectors["aes_key"]
    assert bytes.fromhex(key) == vectors["key_string"][:16].encode("ascii")

    def aes(direction, block_hex):
        return run(["openssl", "enc", direction, "-aes-128-ecb", "-nopad", "-nosalt", "-K", key],
                   bytes.fromhex(block_hex)).hex()

    def program(page, command, field):
        env = dict(os.environ, LC_ALL="C.UTF-8")
        return run([cli, "-q", "-c", str(page), command, "--", field], env=env).decode()[:-1]

    failures = []

    def expect(case, what, actual, expected):
        if actual != expected:
            failures.append(f"{case['note']}: {what} gives {actual!r}, not {expected!r}")

    requests, expected = [], []
    for case in vectors["encrypt"]:
        expect(case, "OpenSSL", aes("-e", case["block"]), base64.b64decode(case["cipher_text"]).hex())
        expect(case, "credcipher-cli", program(case["code_page"], "encrypt", case["text"]),
               case["cipher_text"])
        requests.append(f"encrypt {case['code_page']} {case['text'].encode().hex()}")
        expected.append((case, case["cipher_text"]))
    for case in vectors["decrypt"]:
        expect(case, "OpenSSL", aes("-d", case["block"]), case["plain_block"])
        expect(case, "the cut at the first zero byte",
               bytes.fromhex(case["plain_block"]).split(b"\0")[0].hex(), case["plain_bytes"])
        expect(case, "credcipher-cli", program(case["code_page"], "decrypt", case["cipher_text"]),
               case["text"])
        requests.append(f"decrypt {case['code_page']} {case['cipher_text'].encode().hex()}")
        expected.append((case, case["text"]))

    answers = run([adapter], "".join(r + "\n" for r in requests).encode()).decode().splitlines()
    assert len(answers) == len(requests), answers
    for (case, text), answer in zip(expected, answers):
        status, _, hex_text = answer.partition(" ")
        expect(case, "libcredcipher", (int(status), bytes.fromhex(hex_text).decode()), (0, text))

    for failure in failures:
        print(failure)
    print(f"{len(requests)} vectors, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
