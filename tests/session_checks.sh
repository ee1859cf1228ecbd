# SPDX-License-Identifier: MIT
# Sourced by the end-to-end session scripts: counted checks, and the cipher text a field must get,
# made independently with OpenSSL. Needs $work, a scratch folder.
failures=0
passes=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { passes=$((passes + 1)); }
check() {  # description expected actual
    if [ "$2" = "$3" ]; then pass; else fail "$1: expected '$2', got '$3'"; fi
}

# The cipher text of a field as the tool writes it: the first 16 bytes of the text in the given
# encoding, zero-padded to one block, AES-128 under the first 16 characters of the key string.
key_hex=$(printf '7D3F09A2-4C6E-41' | od -An -tx1 | tr -d ' \n')
cipher_of() {  # text encoding
    printf '%s' "$1" | iconv -f UTF-8 -t "$2" | head -c 16 >"$work/block"
    truncate -s 16 "$work/block"
    openssl enc -aes-128-ecb -nopad -K "$key_hex" -in "$work/block" | base64
}
