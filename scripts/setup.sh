#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, running and testing credcipher need, and only
# those that are missing. Usage: scripts/setup.sh [run|test|windows]...
#   run      what the program needs (the default)
#   test     what the test suites need on top
#   windows  the mingw-w64 cross build and Wine
#   package  building the Debian package (CPack with dpkg-shlibdeps)
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libcrypto++-dev libncurses-dev binutils-mingw-w64-i686
          libx11-dev libxft-dev fonts-wqy-microhei)
needs_i386=0
for group in "${@:-run}"; do
    case "$group" in
        run) ;;
        test) packages+=(clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
                         libssl-dev openssl tmux locales clang-format python3 valgrind mandoc
                         xvfb xdotool xclip x11-utils x11-apps netpbm) ;;
        windows) packages+=(g++-mingw-w64-i686 dpkg-dev file wine wine32:i386 xvfb xauth locales
                            fonts-wine fonts-wqy-microhei
                            g++-mingw-w64-x86-64-posix wine64)
                 needs_i386=1 ;;
        package) packages+=(dpkg-dev file) ;;
        *) echo "setup.sh: unknown group '$group'" >&2; exit 2 ;;
    esac
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ "$needs_i386" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
    $sudo apt-get update -qq
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    echo "setup.sh: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
