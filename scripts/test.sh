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

cmake --workflow --preset debug
scripts/count-instructions.sh
scripts/test-deb.sh

scripts/build-windows.sh
scripts/test-wine.sh

cmake --workflow --preset asan
cmake --workflow --preset wine-asan

scripts/fuzz.sh build/asan 30
scripts/test-parts.sh
