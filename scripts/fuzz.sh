#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every libFuzzer target of a sanitizer build for a while; fails on the first finding.
# Usage: scripts/fuzz.sh BUILD_DIR SECONDS_EACH
set -euo pipefail
build=${1:?build dir}
seconds=${2:-30}
shopt -s nullglob
targets=("$build"/fuzz/fuzz_*)
if [ "${#targets[@]}" -eq 0 ]; then
    echo "fuzz.sh: no fuzz targets in $build/fuzz" >&2
    exit 1
fi
for target in "${targets[@]}"; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/fuzz/corpus-$name"
    mkdir -p "$corpus"
    seeds="fuzz/seeds/${name#fuzz_}"
    echo "fuzz.sh: $name for ${seconds}s"
    args=(-max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$build/fuzz/$name-")
    if [ -d "$seeds" ]; then
        "$target" "${args[@]}" "$corpus" "$seeds" 2>"$build/fuzz/$name.log" \
            || { tail -n 60 "$build/fuzz/$name.log"; exit 1; }
    else
        "$target" "${args[@]}" "$corpus" 2>"$build/fuzz/$name.log" \
            || { tail -n 60 "$build/fuzz/$name.log"; exit 1; }
    fi
    grep -E '^(#[0-9]+ +DONE|Done [0-9]+ runs)' "$build/fuzz/$name.log" | tail -n 1 || true
done
