#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Wine's user32 tests with mingw-w64 against the real Windows headers and runs them under
# Wine on a virtual X display, in a Wine prefix made anew: every check outside todo_wine must
# pass, which shows that our counting of them is right. The 32-bit build where this machine runs
# 32-bit programs, else the 64-bit one (scripts/wine-target.sh).
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
scripts/setup.sh windows test
. scripts/wine-target.sh

build=$wine_build/wine_user32
cmake -S tests/wine_user32 -B "$build" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DMINGW_TRIPLE="$wine_triple" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build"

export WINEPREFIX=$build/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
rm -rf "$WINEPREFIX"
export build harness=$root/tests/wine_user32

under_x() {
    set -euo pipefail
    "$wine" wineboot -i >"$WINEPREFIX.log" 2>&1 || { cat "$WINEPREFIX.log"; return 1; }
    local status=0 file
    for file in dialog edit static; do
        LC_ALL=C.UTF-8 python3 "$harness/run.py" --wine "$wine" "$build/$file.exe" "$file.c" ||
            status=1
    done
    wineserver -k || true
    return $status
}

xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$(declare -f under_x); under_x"
