#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs 32-bit Windows programs under Wine, the way the tool ships them: every Wine run of the
# project goes through this script.
#
#   scripts/wine-run.sh [--display] [--prefix DIR] [--] COMMAND [ARGS...]
#   scripts/wine-run.sh --way
#
# Runs COMMAND (a program or a script) in one Wine session and exits with COMMAND's status.
# Before COMMAND starts, the Wine prefix DIR (default build/windows/wine) is made anew and booted;
# when COMMAND ends, the session's Wine server and every program still running are stopped.
# COMMAND finds in its environment:
#   wine        the loader: "$wine" program.exe ARGS... (32-bit programs only)
#   wine_way    native or qemu (see below), e.g. to allow a run under qemu more time
#   WINEPREFIX  DIR; and WINEARCH=win32, WINEDEBUG=-all (unless set), WINEDLLOVERRIDES without
#               Mono, Gecko and the menu builder (the programs need none; their installers ask)
#   DISPLAY     with --display: a virtual X screen, 1024x768x24 (Xvfb), for the whole session
# Everything of one session runs inside COMMAND, for example:
#   scripts/wine-run.sh --display --prefix build/x/wine bash -c '"$wine" a.exe && "$wine" b.exe'
#
# Two ways, chosen per machine; the first line printed names the way:
#   native  where the kernel runs 32-bit programs (ia32 emulation);
#   qemu    elsewhere: in a user namespace of its own, binfmt_misc hands each 32-bit x86 program
#           to qemu-i386 (user-mode emulation) while the Wine server stays a native program.
#           Needs user namespaces and Linux 6.7 or later (binfmt_misc per user namespace).
#           qemu-i386 is Debian's, from qemu-user in bookworm-backports (bookworm's own 7.2 is
#           too old for Wine); it is downloaded once into build/qemu with apt-get through a
#           configuration of its own, so the machine's apt sources stay as they are.
# CREDCIPHER_WINE32=native or CREDCIPHER_WINE32=qemu forces a way. Where the chosen way cannot
# work, the script fails and says why. --way prints only the first line, with the same checks.
set -euo pipefail
self=$(readlink -f "$0")
root=$(dirname "$(dirname "$self")")
loader=/usr/lib/wine/wine
qemu=$root/build/qemu/qemu-i386

usage="usage: wine-run.sh [--display] [--prefix DIR] [--] COMMAND [ARGS...] | --way"
fail() {
    echo "wine-run.sh: $*" >&2
    exit 1
}

# One binfmt_misc entry: 32-bit little-endian x86 ELF, executables and shared objects (the
# mask lets e_type be 2 or 3). F opens qemu-i386 now, so that it is found whatever the program's
# mount namespace.
register_qemu() {
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf '%s' ":credcipher-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register
}

in_namespace() {
    unshare --user --map-root-user --mount --pid --mount-proc --fork "$@"
}

# The stages below run in one process tree: the choice of way (here), the namespace, the
# display, the session. Each stage passes what it decided on in the environment.
stage=${_wine_run_stage:-choose}

if [ "$stage" = choose ]; then
    display=0
    prefix=$root/build/windows/wine
    way_only=0
    while [ $# -gt 0 ]; do
        case "$1" in
            --display) display=1; shift ;;
            --prefix) [ $# -ge 2 ] || fail "--prefix needs a folder"; prefix=$2; shift 2 ;;
            --way) way_only=1; shift ;;
            --) shift; break ;;
            -*) fail "unknown option $1 ($usage)" ;;
            *) break ;;
        esac
    done
    [ "$way_only" -eq 1 ] || [ $# -gt 0 ] || fail "no command ($usage)"
    [ -x "$loader" ] || fail "no 32-bit Wine ($loader): run scripts/setup.sh windows"

    native_error=""
    if ! out=$("$loader" --version 2>&1); then
        native_error="the kernel runs no 32-bit programs ($loader: ${out##*: })"
    fi
    # Whether this machine can give a user namespace a binfmt_misc of its own.
    qemu_possible() {
        local out
        if ! out=$(in_namespace true 2>&1); then
            qemu_error="no user namespace can be made here (${out%%$'\n'*})"
        elif ! out=$(in_namespace mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>&1)
        then
            qemu_error="a user namespace gets no binfmt_misc of its own here (needs Linux 6.7 or"
            qemu_error+=" later; this is $(uname -r): ${out%%$'\n'*})"
        else
            return 0
        fi
        return 1
    }

    case "${CREDCIPHER_WINE32:-}" in
        native)
            [ -z "$native_error" ] || fail "CREDCIPHER_WINE32=native, but $native_error"
            way=native why="forced by CREDCIPHER_WINE32=native" ;;
        qemu)
            qemu_possible || fail "CREDCIPHER_WINE32=qemu, but $qemu_error"
            way=qemu why="forced by CREDCIPHER_WINE32=qemu" ;;
        "")
            if [ -z "$native_error" ]; then
                way=native why="the kernel runs 32-bit programs"
            elif qemu_possible; then
                way=qemu why="$native_error"
            else
                fail "cannot run 32-bit Windows programs: $native_error, and $qemu_error"
            fi ;;
        *) fail "CREDCIPHER_WINE32 is native or qemu, not '$CREDCIPHER_WINE32'" ;;
    esac

    if [ "$way" = native ]; then
        echo "wine-run.sh: 32-bit programs run natively ($why)"
    else
        echo "wine-run.sh: 32-bit programs run under qemu-i386 in a user namespace ($why)"
    fi
    [ "$way_only" -eq 0 ] || exit 0

    if [ "$way" = qemu ] && [ ! -x "$qemu" ]; then
        work=$(dirname "$qemu")/download
        rm -rf "$work"
        mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/none"
        echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
            "http://deb.debian.org/debian bookworm-backports main" >"$work/sources.list"
        cat >"$work/apt.conf" <<EOF
Dir::Etc::SourceList "$work/sources.list";
Dir::Etc::SourceParts "$work/none";
Dir::Etc::Preferences "$work/none/preferences";
Dir::Etc::PreferencesParts "$work/none";
Dir::State::Lists "$work/lists";
Dir::State::status "/dev/null";
Dir::Cache "$work/cache";
APT::Architectures { "$(dpkg --print-architecture)"; };
APT::Sandbox::User "$(id -un)";
Acquire::Languages "none";
EOF
        echo "wine-run.sh: downloading qemu-i386 (qemu-user from bookworm-backports)"
        (cd "$work" && APT_CONFIG=$work/apt.conf apt-get update -qq &&
            APT_CONFIG=$work/apt.conf apt-get download -qq qemu-user) ||
            fail "could not download qemu-user from bookworm-backports"
        dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$qemu.new"
        chmod +x "$qemu.new"
        mv "$qemu.new" "$qemu"
        rm -rf "$work"
    fi
    if [ "$way" = qemu ]; then
        echo "wine-run.sh: $("$qemu" --version | head -n 1)"
    fi

    prefix=$(realpath -m "$prefix")
    case "$prefix" in /|"$root"|"$HOME") fail "refusing the prefix $prefix" ;; esac
    export _wine_run_way=$way _wine_run_display=$display _wine_run_prefix=$prefix
    if [ "$way" = qemu ]; then
        _wine_run_stage=namespace exec unshare --user --map-root-user --mount --pid --mount-proc \
            --fork --kill-child "$self" "$@"
    fi
    stage=display
fi

if [ "$stage" = namespace ]; then
    # This process is the namespace's first, which signals without a handler do not reach, and
    # whose end ends every process in it: it stays, to pass a stop on to them all.
    trap 'kill -KILL -1 2>/dev/null; exit 143' TERM INT HUP
    register_qemu || fail "could not register qemu-i386 with binfmt_misc"
    # Wine's server folder is /tmp/.wine-<uid>, and here the uid is 0: a folder of the machine's
    # own root user there is not ours to use.
    if [ -e /tmp/.wine-0 ] && [ ! -O /tmp/.wine-0 ]; then
        mount -t tmpfs -o mode=700 tmpfs /tmp/.wine-0
    fi
    _wine_run_stage=display "$self" "$@" <&0 &
    wait $! && exit 0 || exit $?
fi

if [ "$stage" = display ] && [ "$_wine_run_display" -eq 1 ]; then
    _wine_run_stage=session exec xvfb-run -a -s "-screen 0 1024x768x24" "$self" "$@"
fi

# The session.
unset _wine_run_stage _wine_run_display
export wine=$loader wine_way=$_wine_run_way WINEPREFIX=$_wine_run_prefix WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset _wine_run_way _wine_run_prefix
rm -rf "$WINEPREFIX"
mkdir -p "$(dirname "$WINEPREFIX")"
boot_limit=120
[ "$wine_way" = native ] || boot_limit=900
SECONDS=0
timeout "$boot_limit" "$wine" wineboot -i >"$WINEPREFIX.log" 2>&1 || {
    cat "$WINEPREFIX.log" >&2
    fail "wineboot failed or took more than $boot_limit s"
}
echo "wine-run.sh: prefix $WINEPREFIX booted in $SECONDS s"

status=0
"$@" || status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $status
