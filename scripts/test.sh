#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every test: the suites under GCC (the terminal one drives the real program in tmux), the
# Debian packages built, checked with lintian, installed and run, the Windows programs under
# Wine, the suites again under ASan+UBSan (clang; Wine's user32 tests under GCC's), the fuzzers
# briefly, and the builds of fewer parts (no X11, no ncursesw, the cipher alone).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test package
. scripts/compiler-cache.sh

# ctest counts a suite that skips (exit 77: a tool it drives is missing) as passed. Under CI a
# broken install must not pass: there a skip fails the run.
workflow() {  # preset
    mkdir -p build
    cmake --workflow --preset "$1" | tee "build/$1-workflow.log"
    if [ "${CI:-}" = true ] && grep -q 'tests did not run' "build/$1-workflow.log"; then
        echo "test.sh: suites were skipped (see above), which under CI is a failure" >&2
        exit 1
    fi
}

workflow debug
scripts/count-instructions.sh
scripts/test-deb.sh

scripts/build-windows.sh
scripts/test-wine.sh

workflow asan
workflow wine-asan

scripts/fuzz.sh build/asan 30
scripts/test-parts.sh
