#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Counts instructions under callgrind (repeatable, unlike times on a shared machine) and checks
# them against bounds, as ratios to bare Crypto++ doing the same AES work:
# - EncryptText and DecryptText per call (the instructions inside the call), bench/cipher_count:
#   at most 1.25;
# - credcipher-cli per field, at most 2: the program run on FIELDS and on 6 x FIELDS fields from a file
#   (standard output to /dev/null); the difference over the difference in fields leaves out
#   start-up and exit.
# It fails when a ratio passes its bound (the figures are in BENCHMARKS.md).
# Usage: scripts/count-instructions.sh [BUILD_DIR] [FIELDS]
#   Without BUILD_DIR it configures and builds the bench preset (build/bench).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test
build=${1:-}
fields=${2:-1000}
if [ -z "$build" ]; then
    build=build/bench
    cmake --preset bench >/dev/null
fi
cmake --build "$build" --target cipher_count credcipher-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cli=$build/cli/credcipher-cli

# The instructions inside each loop's calls, over the calls.
calls=1000
valgrind --tool=callgrind --callgrind-out-file="$work/cipher.%p" \
    "$build/bench/cipher_count" "$calls" 2>/dev/null
per_call() {  # function name pattern, dump file
    callgrind_annotate --inclusive=yes "$2" | grep -m1 -E "$1" | tr -d ',' |
        awk -v n="$calls" '{ printf "%d", $1 / n }'
}
for dump in "$work"/cipher.*.*; do
    case $(grep '^desc: Trigger' "$dump") in
        *EncryptText) encrypt_text=$(per_call 'Molvan::System::EncryptText\(' "$dump") ;;
        *DecryptText) decrypt_text=$(per_call 'Molvan::System::DecryptText\(' "$dump") ;;
        *EncryptBlock) bare_encrypt=$(per_call 'BareBlock<.*Enc>' "$dump") ;;
        *DecryptBlock) bare_decrypt=$(per_call 'BareBlock<.*Dec>' "$dump") ;;
    esac
done

# The program's instructions per field.
total() {  # command, input file
    valgrind --tool=callgrind --callgrind-out-file="$work/cli.out" "$cli" -q "$1" <"$2" \
        >/dev/null 2>"$work/cli.err"
    awk '/^summary:/ { print $2 }' "$work/cli.out"
}
for n in "$fields" $((6 * fields)); do
    awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "account-%06d\n", i }' >"$work/texts.$n"
    "$cli" -q encrypt <"$work/texts.$n" >"$work/ciphers.$n"
done
per_field() {  # command, input prefix
    local small large
    small=$(total "$1" "$work/$2.$fields")
    large=$(total "$1" "$work/$2.$((6 * fields))")
    echo $(((large - small) / (5 * fields)))
}
cli_encrypt=$(per_field encrypt texts)
cli_decrypt=$(per_field decrypt ciphers)

python3 - "$encrypt_text" "$decrypt_text" "$bare_encrypt" "$bare_decrypt" "$cli_encrypt" \
    "$cli_decrypt" <<'PY'
import sys

enc, dec, bare_enc, bare_dec, cli_enc, cli_dec = map(int, sys.argv[1:])
failed = False
print("instructions (callgrind)")
for name, count, bare, bound in (
        ("EncryptText", enc, bare_enc, 1.25),
        ("DecryptText", dec, bare_dec, 1.25),
        ("credcipher-cli encrypt, per field", cli_enc, bare_enc, 2.0),
        ("credcipher-cli decrypt, per field", cli_dec, bare_dec, 2.0)):
    ratio = count / bare
    failed |= ratio > bound
    print(f"{name}: {count} / bare Crypto++ {bare} = {ratio:.3f} (bound {bound})" +
          ("  ABOVE THE BOUND" if ratio > bound else ""))
sys.exit(1 if failed else 0)
PY
