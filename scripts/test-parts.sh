#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The builds of fewer parts. Each optional display is left out as on a machine without its
# development files (find_package of X11, then of Curses, fails): the configuration must lack
# that display's target and have the other one, and the rest must build and pass the suites of
# the displays it has. Then both left out: the headless display alone, with the program and its
# start-up suite, which runs it headless. Then the cipher preset, the cipher and credcipher-cli
# alone, with its suites and a project that includes this one and links only the cipher.
# With ccache (scripts/compiler-cache.sh) most objects come from the debug build.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
    echo "test-parts.sh: $*" >&2
    exit 1
}

# has_target BUILD_DIR TARGET
# grep reads a captured list: grep -q in a pipe would end ninja with SIGPIPE at the first match,
# which pipefail turns into a failure.
has_target() { grep -q "^$2: phony" <<<"$(ninja -C "$1" -t targets all)"; }

# without "PACKAGES" "MISSING_TARGETS" PRESENT_TARGET TESTS [BUILD_TARGETS]: the debug preset
# with PACKAGES not found, in build/without-PACKAGES; builds BUILD_TARGETS (all by default) and
# runs the suites whose names match TESTS.
without() {
    local packages=$1 missing=$2 present=$3 tests=$4 targets=${5:-}
    local build=build/without-${packages// /-} options=() package part
    echo "test-parts.sh: without ${packages// / and }"
    for package in $packages; do options+=("-DCMAKE_DISABLE_FIND_PACKAGE_$package=ON"); done
    cmake --preset debug -B "$build" --log-level=WARNING -DCREDCIPHER_BENCH=OFF "${options[@]}"
    for part in $missing; do
        if has_target "$build" "$part"; then fail "$build has $part"; fi
    done
    has_target "$build" "$present" || fail "$build lacks $present"
    # shellcheck disable=SC2086
    cmake --build "$build" ${targets:+--target $targets}
    ctest --test-dir "$build" --output-on-failure --no-tests=error -R "$tests"
}

# The program says which display it has not got; the remaining display's unit suites and the
# real program on it (in tmux, on Xvfb).
without X11 platform_x11 platform_terminal '^terminal|StartUpTest'
without Curses platform_terminal platform_x11 '^x11_xvfb_e2e$|StartUpTest'
# Neither library: only the headless display. Only the program and the suite that starts it
# are built, which is enough to show that the window system stands without both displays.
without "X11 Curses" "platform_x11 platform_terminal" platform_headless '^StartUpTest' \
    "credcipher e2e_test"

echo "test-parts.sh: the cipher preset"
cmake --workflow --preset cipher
for part in platform app_lib credcipher; do
    if has_target build/cipher "$part"; then fail "build/cipher has $part"; fi
done
has_target build/cipher credcipher-cli || fail "build/cipher lacks credcipher-cli"
