#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every test: the suites under GCC (the terminal one drives the real program in tmux), the
# Debian packages built, checked with lintian, installed and run, the Windows programs under
# Wine, the suites again under ASan+UBSan (clang), and the fuzzers briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test package

cmake --preset debug
cmake --build --preset debug
ctest --preset debug
scripts/count-instructions.sh
scripts/test-deb.sh

scripts/build-windows.sh
scripts/test-wine.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

scripts/fuzz.sh build/asan 30
