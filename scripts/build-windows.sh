#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Cross-builds the 32-bit Windows programs with mingw-w64: build/windows/credcipher.exe, the
# console program build/windows/credcipher-cli.exe (with LICENSE.txt and LICENSE.cryptopp.txt,
# the licences of what they contain, next to them), and the UI-automation program that drives
# credcipher.exe under Wine (build/windows/tests/credcipher_ui_test.exe).
# Crypto++ comes from Debian's libcrypto++ source package and is built by the same compiler;
# its source and objects stay in build/windows, so a second run rebuilds nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh windows

build=$root/build/windows
cryptopp=$build/deps/cryptopp  # the unpacked source; its stamp names the package version

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

. scripts/deb-src.sh

fetch_cryptopp() {
    if ! grep -q '^Package: libcrypto++$' <<<"$(apt-cache showsrc libcrypto++ 2>/dev/null)"; then
        add_deb_src
    fi
    local download=$build/deps/download
    rm -rf "$download" "$cryptopp"
    mkdir -p "$download"
    (cd "$download" && apt-get source --download-only -qq libcrypto++ >/dev/null 2>&1)
    local dsc
    dsc=$(ls "$download"/libcrypto++_*.dsc)
    # apt-get checked every file against the signed archive index already.
    dpkg-source --no-check -x "$dsc" "$cryptopp" >/dev/null
    basename "$dsc" .dsc >"$cryptopp/.credcipher-source"
    rm -rf "$download"
}

if [ ! -f "$cryptopp/.credcipher-source" ]; then
    echo "build-windows.sh: fetching Crypto++ (Debian source package libcrypto++)"
    fetch_cryptopp
fi
echo "build-windows.sh: Crypto++ from $(cat "$cryptopp/.credcipher-source")"

# The windows preset: the toolchain file, the Release build, the programs in $build and Crypto++
# from $cryptopp.
cmake --preset windows --log-level=WARNING
cmake --build --preset windows
# The programs contain Crypto++, linked statically: its licence (the Boost Software Licence)
# goes next to them, with ours.
cp "$root/LICENSE" "$build/LICENSE.txt"
cp "$cryptopp/License.txt" "$build/LICENSE.cryptopp.txt"

cmake -S tests/windows -B "$build/tests" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release
cmake --build "$build/tests"

echo "build-windows.sh: $(file -b "$build/credcipher.exe")"
echo "build-windows.sh: $(file -b "$build/credcipher-cli.exe")"
