#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from an optimised build (build/release), unpacks it into a scratch
# root, checks what it holds and what it depends on, and runs credcipher-cli from there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test package

cmake --preset release >/dev/null
cmake --build --preset release
rm -f build/release/credcipher_*.deb
(cd build/release && cpack -G DEB >/dev/null)
deb=$(ls build/release/credcipher_*_"$(dpkg --print-architecture)".deb)
echo "test-deb.sh: $deb"

fail() { echo "test-deb.sh: $*" >&2; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "test-deb.sh: Depends: $depends"
for library in 'libcrypto++' libc6 'libstdc++6'; do
    grep -q "$library" <<<"$depends" || fail "Depends lacks $library"
done
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/credcipher usr/bin/credcipher-cli usr/share/man/man1/credcipher-cli.1.gz \
    usr/share/applications/credcipher.desktop usr/share/icons/hicolor/32x32/apps/credcipher.png; do
    grep -q "\./$path\$" <<<"$contents" || fail "the package lacks /$path"
done

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
cli=$root/usr/bin/credcipher-cli
[ "$(LC_ALL=C.UTF-8 "$cli" encrypt alice)" = "cXKlGa5MQXDcK1Dph3gdiQ==" ] || fail "wrong cipher text"
[ "$(printf 'bCQm6P5z5CiQU9rGFAKeGg==\r\n' | LC_ALL=zh_CN.UTF-8 "$cli" decrypt)" = "张三" ] ||
    fail "wrong plain text under code page 936"
"$cli" --version
echo "test-deb.sh: the unpacked credcipher-cli gives the known answers"
