#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Records Windows' own conversions of the code pages that codepages/ converts: builds
# codepages/recorder as a 32-bit Windows program (mingw-w64) and runs it under Wine
# (scripts/wine-run.sh) once per page, in a Wine prefix made anew. The build generates
# codepages/'s tables from the recording.
#   (no option)  writes codepages/recording/cp<page>.txt
#   --check      fails when what Wine gives now differs from the recording in the repository
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

check=0
case "${1:-}" in
    "") ;;
    --check) check=1 ;;
    *) echo "usage: scripts/record-codepages.sh [--check]" >&2; exit 2 ;;
esac

scripts/setup.sh windows
out=$root/build/windows/codepages
mkdir -p "$out"
i686-w64-mingw32-g++ -std=c++20 -O2 -static -Wall -Wextra -Wpedantic \
    -o "$out/code_page_recorder.exe" codepages/recorder/code_page_recorder.cpp
export out check

record_pages() {
    set -euo pipefail
    local status=0 page recording
    for page in 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 65001; do
        recording=codepages/recording/cp$page.txt
        timeout 600 "$wine" "$out/code_page_recorder.exe" "$page" >"$out/cp$page.txt" || {
            echo "record-codepages.sh: the recorder failed under Wine for code page $page"
            status=1
            continue
        }
        if [ "$check" -eq 1 ]; then
            if ! cmp -s "$recording" "$out/cp$page.txt"; then
                diff -U0 "$recording" "$out/cp$page.txt" | head -n 40 || true
                echo "record-codepages.sh: code page $page under Wine differs from $recording"
                status=1
            fi
        else
            cp "$out/cp$page.txt" "$recording"
            echo "record-codepages.sh: recorded code page $page ($(wc -l <"$recording") lines)"
        fi
    done
    return $status
}

SECONDS=0
status=0
scripts/wine-run.sh --prefix "$out/wine" bash -c "$(declare -f record_pages); record_pages" ||
    status=1
echo "record-codepages.sh: $SECONDS s"
[ "$check" -eq 0 ] || [ "$status" -ne 0 ] || echo "record-codepages.sh: every recording is what Wine gives"
exit $status
