#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fetches Wine's user32 conformance tests (dlls/user32/tests) from Debian's wine source package
# into the folder given, once: a second run finds them there and does nothing.
# Usage: fetch-wine-tests.sh <folder>
set -euo pipefail
folder=$1
if [ -f "$folder/.source" ]; then exit 0; fi
cd "$(dirname "$0")/../.."
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
. scripts/deb-src.sh
if ! grep -q '^Package: wine$' <<<"$(apt-cache showsrc wine 2>/dev/null)"; then add_deb_src; fi

download=$(mktemp -d)
trap 'rm -rf "$download"' EXIT
(cd "$download" && apt-get source --download-only -qq wine >/dev/null 2>&1)
dsc=$(ls "$download"/wine_*.dsc)
# Debian's patches leave the tests alone; were that to change, the tests here would no longer be
# the ones Debian ships.
tar -xJf "$download"/wine_*.debian.tar.xz -C "$download" debian/patches
if grep -rqs 'dlls/user32/tests/' "$download/debian/patches"; then
    echo "fetch-wine-tests.sh: Debian's patches change dlls/user32/tests; apply them here" >&2
    exit 1
fi
rm -rf "$folder"
mkdir -p "$folder"
tar -xJf "$download"/wine_*.orig.tar.* -C "$folder" --strip-components=4 --wildcards \
    '*/dlls/user32/tests/*'
basename "$dsc" .dsc >"$folder/.source"
echo "fetch-wine-tests.sh: Wine's user32 tests from $(cat "$folder/.source") in $folder"
