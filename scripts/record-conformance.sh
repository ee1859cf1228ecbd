#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the conformance probes of tests/conformance as 32-bit Windows programs (mingw-w64), as
# the shipped program is built, and runs them under Wine (scripts/wine-run.sh) on a virtual X
# display, in a Wine prefix made anew.
#   (no option)  re-records tests/conformance/<probe>.wine.txt from Wine's output
#   --check      fails when Wine's output differs from a recording
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

check=0
case "${1:-}" in
    "") ;;
    --check) check=1 ;;
    *) echo "usage: scripts/record-conformance.sh [--check]" >&2; exit 2 ;;
esac

scripts/setup.sh windows
probes=$root/build/windows/probes
cmake -S tests/conformance -B "$probes" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release
cmake --build "$probes"
export probes check recordings=$root/tests/conformance

run_probes() {
    set -euo pipefail
    local status=0 exe name output
    for exe in "$probes"/*.exe; do
        name=$(basename "$exe" .exe)
        # Wine writes the program's text-mode line ends; the recordings have Unix ones.
        output=$(LC_ALL=C.UTF-8 timeout 600 "$wine" "$exe" | tr -d '\r') || {
            echo "record-conformance.sh: $name failed under Wine"
            status=1
            continue
        }
        if [ "$check" -eq 1 ]; then
            if ! diff -u "$recordings/$name.wine.txt" - <<<"$output"; then
                echo "record-conformance.sh: $name under Wine differs from its recording"
                status=1
            fi
        else
            printf '%s\n' "$output" >"$recordings/$name.wine.txt"
            echo "record-conformance.sh: recorded $name ($(wc -l <<<"$output") lines)"
        fi
    done
    return $status
}

SECONDS=0
status=0
scripts/wine-run.sh --display --prefix "$root/build/windows/wine-conformance" \
    bash -c "$(declare -f run_probes); run_probes" || status=1
echo "record-conformance.sh: $SECONDS s"
exit $status
