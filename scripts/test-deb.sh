#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Tests the Debian packages as a maintainer would: builds the source package and the binary
# packages with dpkg-buildpackage from a scratch copy of the tree (build/deb, so that nothing
# the build writes lands in the repository or next to it), runs lintian on all of them, installs
# them with apt, runs the programs and the library's example against the installed packages
# (debian/tests, the autopkgtest scripts), and purges them again, also when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run test package

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
fail() { echo "test-deb.sh: $*" >&2; exit 1; }

version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
work=build/deb
tree=credcipher-$upstream
rm -rf "$work"
mkdir -p "$work/$tree"

# The tree as it is now, uncommitted changes included, without what git ignores.
git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
    tar -cf - --null -T - | tar -xf - -C "$work/$tree"
# The upstream tarball is that tree without debian/, the same bytes for the same files.
tar -C "$work" --exclude="$tree/debian" --sort=name --mtime=@0 --owner=0 --group=0 \
    --numeric-owner -cJf "$work/credcipher_$upstream.orig.tar.xz" "$tree"

echo "test-deb.sh: dpkg-buildpackage -us -uc (log: $work/build.log)"
if ! (cd "$work/$tree" && dpkg-buildpackage -us -uc) >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log" >&2
    fail "dpkg-buildpackage failed"
fi
changes=$work/credcipher_${version}_$arch.changes
packages=(credcipher credcipher-cli libcredcipher1 libcredcipher-dev)
debs=()
for p in "${packages[@]}"; do debs+=("$work/${p}_${version}_$arch.deb"); done

# lintian on the source package and every binary package: every tag it finds is mended or
# overridden with a reason in debian/, so it must find none.
echo "test-deb.sh: lintian --pedantic --display-info"
lintian_out=$(lintian --pedantic --display-info --fail-on error,warning,info,pedantic \
    "$changes") || lintian_failed=1
[ -z "$lintian_out" ] || printf '%s\n' "$lintian_out"
[ -z "${lintian_failed:-}" ] && [ -z "$lintian_out" ] || fail "lintian found the tags above"

cli_depends=$(dpkg-deb -f "$work/credcipher-cli_${version}_$arch.deb" Depends)
echo "test-deb.sh: credcipher-cli Depends: $cli_depends"
for library in libc6 'libstdc++6' 'libcrypto++8'; do
    grep -q "$library" <<<"$cli_depends" || fail "credcipher-cli does not depend on $library"
done
! grep -qE 'libx11|libxft|libncurses|libtinfo' <<<"$cli_depends" ||
    fail "credcipher-cli depends on a display library"

# One installed copy at a time on this machine: another run's purge must not pull the packages
# from under this run's tests.
exec 9>"${TMPDIR:-/tmp}/credcipher-test-deb.lock"
flock 9
purge() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq -o DPkg::Lock::Timeout=300 \
        "${packages[@]}" >/dev/null 2>&1 || true
}
trap purge EXIT
echo "test-deb.sh: apt-get install ${packages[*]}"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "${debs[@]/#/./}" >/dev/null

# Hardened as debian/rules asks: position-independent, read-only relocations bound at start.
for program in /usr/bin/credcipher /usr/bin/credcipher-cli \
    "/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/libcredcipher.so.1"; do
    dynamic=$(readelf -d "$program")
    grep -q 'BIND_NOW' <<<"$dynamic" || fail "$program is not linked with -z now"
    grep -q GNU_RELRO <<<"$(readelf -lW "$program")" || fail "$program has no RELRO segment"
done
grep -q 'Flags:.*PIE' <<<"$(readelf -d /usr/bin/credcipher)" || fail "credcipher is not a PIE"

# The desktop's view of the dialog program: its entry, its AppStream metadata, its icons.
desktop-file-validate /usr/share/applications/credcipher.desktop
appstreamcli validate --no-net --pedantic /usr/share/metainfo/org.example.credcipher.metainfo.xml
for size in 16 32 48 64 128; do
    file -b "/usr/share/icons/hicolor/${size}x$size/apps/credcipher.png" |
        grep -q "PNG image data, $size x $size" || fail "no ${size}x$size icon"
done
[ -f /usr/share/icons/hicolor/scalable/apps/credcipher.svg ] || fail "no scalable icon"

scratch=$(mktemp -d)
trap 'purge; rm -rf "$scratch"' EXIT
debian/tests/known-answers
AUTOPKGTEST_TMP=$scratch debian/tests/library
echo "test-deb.sh: the installed packages give the known answers"
