# SPDX-License-Identifier: MIT
# Sourced by the scripts that run Windows programs under Wine. Wine runs a 32-bit Windows program
# only where the Linux kernel runs 32-bit programs; where it does not, the same source is built
# and tested as a 64-bit program. The 32-bit build stays the one the tool ships.
# Sets: wine_triple, wine_build (build folder of the programs Wine runs), wine (its loader),
# WINEARCH. Needs $root, the repository's top folder.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_triple=i686-w64-mingw32
    wine_build=$root/build/windows
    wine=/usr/lib/wine/wine
    export WINEARCH=win32
else
    wine_triple=x86_64-w64-mingw32
    wine_build=$root/build/windows64
    # Debian's wine64 package puts no command of its own on the PATH.
    wine=/usr/lib/wine/wine64
    export WINEARCH=win64
fi
export wine
