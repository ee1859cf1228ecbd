#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Wine's user32 tests with mingw-w64 against the real Windows headers and runs them under
# Wine (scripts/wine-run.sh) on a virtual X display, in a Wine prefix made anew: every check
# outside todo_wine must pass, which shows that our counting of them is right. 32-bit programs,
# as the tool ships.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
scripts/setup.sh windows test

build=$root/build/windows/wine_user32
cmake -S tests/wine_user32 -B "$build" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build"

export build harness=$root/tests/wine_user32

wine_tests() {
    set -euo pipefail
    local status=0 file
    for file in dialog edit static; do
        LC_ALL=C.UTF-8 python3 "$harness/run.py" --wine "$wine" "$build/$file.exe" "$file.c" ||
            status=1
    done
    return $status
}

SECONDS=0
status=0
scripts/wine-run.sh --display --prefix "$build/wine" bash -c "$(declare -f wine_tests); wine_tests" ||
    status=1
echo "run-under-wine.sh: $SECONDS s"
exit $status
