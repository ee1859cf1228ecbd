#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the conformance probes of tests/conformance as 64-bit Windows programs (mingw-w64) and
# runs them under Wine on a virtual X display, in a Wine prefix made anew.
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
# 64-bit: Wine runs those wherever the machine runs 64-bit Linux programs.
probes=$root/build/windows/conformance
cmake -S tests/conformance -B "$probes" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DMINGW_TRIPLE=x86_64-w64-mingw32 -DCMAKE_BUILD_TYPE=Release
cmake --build "$probes"

export WINEPREFIX=$root/build/windows/wine-conformance
export WINEARCH=win64
# Debian's wine64 package has no command of its own on the PATH.
export wine=/usr/lib/wine/wine64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
rm -rf "$WINEPREFIX"
export probes check recordings=$root/tests/conformance

run_probes() {
    set -euo pipefail
    "$wine" wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log"; return 1; }
    local status=0 exe name output
    for exe in "$probes"/*.exe; do
        name=$(basename "$exe" .exe)
        # Wine writes the program's text-mode line ends; the recordings have Unix ones.
        output=$(LC_ALL=C.UTF-8 timeout 120 "$wine" "$exe" | tr -d '\r') || {
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
    wineserver -k || true
    return $status
}

xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$(declare -f run_probes); run_probes"
