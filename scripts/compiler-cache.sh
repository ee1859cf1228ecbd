# SPDX-License-Identifier: MIT
# shellcheck shell=bash
# Sourced by scripts/test.sh: the builds configured after it compile through ccache where it is
# installed, with paths taken relative to the repository, so that the builds of fewer parts
# (scripts/test-parts.sh) reuse the debug build's objects. Settings made before are kept.
if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
    export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
fi
