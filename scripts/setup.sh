#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, running and testing credcipher need, and only
# those that are missing. Usage: scripts/setup.sh [run|test|windows|package]...
#   run      what the program needs (the default)
#   test     what the test suites need on top
#   windows  the mingw-w64 cross build and Wine
#   package  building, checking and installing the Debian packages (scripts/test-deb.sh)
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libcrypto++-dev libncurses-dev binutils-mingw-w64-i686
          libx11-dev libxft-dev libxrandr-dev libxfixes-dev libsystemd-dev fonts-wqy-microhei)
needs_i386=0
needs_locales=0
for group in "${@:-run}"; do
    case "$group" in
        run) ;;
        test) packages+=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
                         libssl-dev openssl tmux locales clang-format python3 valgrind mandoc ccache
                         xvfb xdotool xclip x11-utils x11-xserver-utils x11-apps netpbm xz-utils
                         openbox metacity xfwm4 ibus dbus-daemon xfce4-settings fonts-dejavu-core
                         at-spi2-core python3-gi gir1.2-atspi-2.0)
              needs_locales=1 ;;
        # wine64 brings the native Wine server, which serves the 32-bit programs under qemu too.
        windows) packages+=(g++-mingw-w64-i686 dpkg-dev file wine wine32:i386 wine64 xvfb xauth
                            locales fonts-wine fonts-wqy-microhei)
                 needs_i386=1 ;;
        package) packages+=(dpkg-dev debhelper lintian desktop-file-utils appstream file
                            build-essential pkgconf cmake openssl python3) ;;
        *) echo "setup.sh: unknown group '$group'" >&2; exit 2 ;;
    esac
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
. "$(dirname "$0")/apt.sh"

if [ "$needs_i386" -eq 1 ] && ! grep -qx i386 <<<"$(dpkg --print-foreign-architectures)"; then
    $sudo dpkg --add-architecture i386
    apt_update
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup.sh: installing ${missing[*]}"
    apt_update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# Locales for the suites (generated once; the program itself needs none of them): those whose
# encoding is not UTF-8 for the terminal, and zh_CN.UTF-8 for the X11 desktop, where Xlib opens
# the input method only in a locale that is installed.
if [ "$needs_locales" -eq 1 ]; then
    for locale_charmap in en_US:ISO-8859-1 zh_CN:GBK zh_TW:BIG5 ja_JP:EUC-JP zh_CN:UTF-8; do
        locale=${locale_charmap%%:*} charmap=${locale_charmap#*:}
        name=$locale.$charmap
        normalised=$(printf '%s' "$name" | tr -d '-' | tr 'A-Z' 'a-z')
        if ! grep -qix "$normalised" <<<"$(locale -a 2>/dev/null)"; then
            echo "setup.sh: generating the locale $name"
            $sudo localedef -i "$locale" -f "$charmap" "$name"
        fi
    done
fi
