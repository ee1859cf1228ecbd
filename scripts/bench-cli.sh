#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# credcipher-cli's throughput: a million fields through the program against a million bare
# Crypto++ single-block operations in the same run (bench/cli_bench, five runs, medians), then
# the peer's figure: a shell loop calling openssl enc once per field (FIELDS fields, 1000 by
# default), which is what a script without credcipher-cli would do.
# Usage: scripts/bench-cli.sh [FIELDS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test
fields=${1:-1000}

cmake --preset bench >/dev/null
cmake --build build/bench --target cli_bench >/dev/null
build/bench/bench/cli_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# One field as the format wants it: the text cut or zero-padded to 16 bytes, one AES block
# under the key string's first 16 bytes, Base64.
key=$(printf '7D3F09A2-4C6E-41' | od -An -tx1 | tr -d ' \n')
start=$(date +%s.%N)
for ((i = 0; i < fields; i++)); do
    { printf 'account-%06d' "$i"; head -c 16 /dev/zero; } | head -c 16 |
        openssl enc -aes-128-ecb -nopad -K "$key" | base64
done >/dev/null
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v n="$fields" 'BEGIN {
    printf "\nopenssl enc shell loop: %d fields in %.2f s, %.0f us per field\n", n, e - s,
        (e - s) * 1e6 / n }'
