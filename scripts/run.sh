#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds credcipher (optimised) and starts it: a window on an X11 desktop, else in this terminal.
# A build that has work to do shows its progress on one line; a current build shows nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
if [[ ! -f build/release/build.ninja ]]; then
    echo "credcipher: configuring the optimised build (first run)" >&2
fi
cmake --preset release >/dev/null
build=(cmake --build --preset release --target credcipher)
# Ninja's dry run lists the steps it would take, or says there is no work to do.
if [[ $("${build[@]}" -- -n) != *"no work to do"* ]]; then
    if ! "${build[@]}" | while IFS= read -r line; do
        if [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]]; then
            printf '\rcredcipher: building, step %s of %s ' \
                "${BASH_REMATCH[1]}" "${BASH_REMATCH[2]}" >&2
        fi
    done; then
        printf '\n' >&2
        "${build[@]}"  # the build failed: show its whole output
        exit 1
    fi
    printf '\rcredcipher: built%40s\n' '' >&2
fi
exec build/release/app/credcipher "$@"
