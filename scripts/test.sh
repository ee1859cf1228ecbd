#!/usr/bin/env bash
# Runs every test: the suites under GCC, again under ASan+UBSan (clang), the fuzzers briefly,
# and the Windows program under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test

cmake --preset debug
cmake --build --preset debug
ctest --preset debug

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

scripts/fuzz.sh build/asan 30
