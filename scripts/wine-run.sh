#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs 32-bit Windows programs under Wine, the way the tool ships them: every Wine run of the
# project goes through this script.
#
#   scripts/wine-run.sh [--display] [--prefix DIR] [--] COMMAND [ARGS...]
#   scripts/wine-run.sh --way
#
# Runs COMMAND (a program or a script) in one Wine session and exits with COMMAND's status.
# Before COMMAND starts, the Wine prefix DIR (default build/windows/wine) is made anew: a copy of
# a prefix that wineboot made for this Wine and this way (build/windows/wine-booted-<way>, made
# again when Wine changes). When COMMAND ends, the session's Wine server and every program still
# running are stopped. COMMAND finds in its environment:
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
# The script's own variables all begin with wr_: COMMAND inherits the caller's environment, so
# they must not overwrite anything the caller exported.
wr_self=$(readlink -f "$0")
wr_root=$(dirname "$(dirname "$wr_self")")
wr_loader=/usr/lib/wine/wine
wr_qemu=$wr_root/build/qemu/qemu-i386
wr_usage="usage: wine-run.sh [--display] [--prefix DIR] [--] COMMAND [ARGS...] | --way"

fail() {
    echo "wine-run.sh: $*" >&2
    exit 1
}

in_namespace() {
    unshare --user --map-root-user --mount --pid --mount-proc --fork --kill-child "$@"
}

# Whether this machine gives a user namespace a binfmt_misc of its own; if not, says why in
# wr_qemu_error.
qemu_possible() {
    local out
    if ! out=$(in_namespace true 2>&1); then
        wr_qemu_error="no user namespace can be made here (${out%%$'\n'*})"
    elif ! out=$(in_namespace mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>&1)
    then
        wr_qemu_error="a user namespace gets no binfmt_misc of its own here (needs Linux 6.7 or"
        wr_qemu_error+=" later; this is $(uname -r): ${out%%$'\n'*})"
    else
        return 0
    fi
    return 1
}

fetch_qemu() {
    local work
    work=$(dirname "$wr_qemu")/download
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
    dpkg-deb --fsys-tarfile "$work"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 >"$wr_qemu.new"
    chmod +x "$wr_qemu.new"
    mv "$wr_qemu.new" "$wr_qemu"
    rm -rf "$work"
}

# One binfmt_misc entry: 32-bit little-endian x86 ELF, executables and shared objects (the
# mask lets e_type be 2 or 3). F opens qemu-i386 now, so that it is found whatever the program's
# mount namespace.
register_qemu() {
    local magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    local mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf '%s' ":credcipher-i386:M::$magic:$mask:$wr_qemu:F" >/proc/sys/fs/binfmt_misc/register
}

# Makes $WINEPREFIX a copy of the booted prefix of this Wine and way, booting that first where
# it is missing or of another Wine. A copy takes seconds; wineboot takes up to a minute under qemu.
copy_booted_prefix() {
    local booted=$wr_root/build/windows/wine-booted-$wine_way limit=120 stamp
    [ "$wine_way" = native ] || limit=900
    stamp="$("$wine" --version) $(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null) $HOME"
    mkdir -p "$(dirname "$booted")" "$(dirname "$WINEPREFIX")"
    exec 9>"$booted.lock"
    flock 9
    if [ "$(cat "$booted/.credcipher-stamp" 2>/dev/null)" != "$stamp" ]; then
        rm -rf "$booted"
        SECONDS=0
        # Booted without a display, so that the copy serves sessions with and without one.
        if ! (export WINEPREFIX=$booted; unset DISPLAY
              timeout "$limit" "$wine" wineboot -i && timeout 60 /usr/lib/wine/wineserver -w) \
            >"$booted.log" 2>&1; then
            cat "$booted.log" >&2
            rm -rf "$booted"
            fail "wineboot failed or took more than $limit s"
        fi
        printf '%s\n' "$stamp" >"$booted/.credcipher-stamp"
        echo "wine-run.sh: wineboot made $booted in $SECONDS s"
    fi
    cp -a "$booted" "$WINEPREFIX"
    exec 9>&-
    rm "$WINEPREFIX/.credcipher-stamp"
}

# The stages below run in one process tree: the choice of way (here), the namespace, the
# display, the session. Each passes what it decided on in the environment.
wr_stage=${wr_stage:-choose}

if [ "$wr_stage" = choose ]; then
    wr_display=0
    wr_prefix=$wr_root/build/windows/wine
    wr_way_only=0
    while [ $# -gt 0 ]; do
        case "$1" in
            --display) wr_display=1; shift ;;
            --prefix) [ $# -ge 2 ] || fail "--prefix needs a folder"; wr_prefix=$2; shift 2 ;;
            --way) wr_way_only=1; shift ;;
            --) shift; break ;;
            -*) fail "unknown option $1 ($wr_usage)" ;;
            *) break ;;
        esac
    done
    [ "$wr_way_only" -eq 1 ] || [ $# -gt 0 ] || fail "no command ($wr_usage)"
    [ -x "$wr_loader" ] || fail "no 32-bit Wine ($wr_loader): run scripts/setup.sh windows"

    wr_native_error=""
    if ! wr_out=$("$wr_loader" --version 2>&1); then
        wr_native_error="the kernel runs no 32-bit programs ($wr_loader: ${wr_out##*: })"
    fi
    case "${CREDCIPHER_WINE32:-}" in
        native)
            [ -z "$wr_native_error" ] || fail "CREDCIPHER_WINE32=native, but $wr_native_error"
            wr_way=native wr_why="forced by CREDCIPHER_WINE32=native" ;;
        qemu)
            qemu_possible || fail "CREDCIPHER_WINE32=qemu, but $wr_qemu_error"
            wr_way=qemu wr_why="forced by CREDCIPHER_WINE32=qemu" ;;
        "")
            if [ -z "$wr_native_error" ]; then
                wr_way=native wr_why="the kernel runs 32-bit programs"
            elif qemu_possible; then
                wr_way=qemu wr_why="$wr_native_error"
            else
                fail "cannot run 32-bit Windows programs: $wr_native_error, and $wr_qemu_error"
            fi ;;
        *) fail "CREDCIPHER_WINE32 is native or qemu, not '$CREDCIPHER_WINE32'" ;;
    esac
    if [ "$wr_way" = native ]; then
        echo "wine-run.sh: 32-bit programs run natively ($wr_why)"
    else
        echo "wine-run.sh: 32-bit programs run under qemu-i386 in a user namespace ($wr_why)"
    fi
    [ "$wr_way_only" -eq 0 ] || exit 0

    wr_prefix=$(realpath -m "$wr_prefix")
    case "$wr_prefix" in /|"$wr_root"|"$HOME") fail "refusing the prefix $wr_prefix" ;; esac
    export wr_way wr_display wr_prefix
    if [ "$wr_way" = qemu ]; then
        [ -x "$wr_qemu" ] || fetch_qemu
        echo "wine-run.sh: $("$wr_qemu" --version | head -n 1)"
        wr_stage=namespace exec unshare --user --map-root-user --mount --pid --mount-proc \
            --fork --kill-child "$wr_self" "$@"
    fi
    wr_stage=display
fi

if [ "$wr_stage" = namespace ]; then
    # This process is the namespace's first, which signals without a handler do not reach, and
    # whose end ends every process in it: it stays, to pass a stop on to them all.
    trap 'kill -KILL -1 2>/dev/null; exit 143' TERM INT HUP
    register_qemu || fail "could not register qemu-i386 with binfmt_misc"
    # Wine's server folder is /tmp/.wine-<uid>, and here the uid is 0: a folder of the machine's
    # own root user there is not ours to use.
    if [ -e /tmp/.wine-0 ] && [ ! -O /tmp/.wine-0 ]; then
        mount -t tmpfs -o mode=700 tmpfs /tmp/.wine-0
    fi
    wr_stage=display "$wr_self" "$@" <&0 &
    wait $! || exit $?
    exit 0
fi

if [ "$wr_stage" = display ] && [ "$wr_display" -eq 1 ]; then
    wr_stage=session exec xvfb-run -a -s "-screen 0 1024x768x24" "$wr_self" "$@"
fi

# The session.
export wine=$wr_loader wine_way=$wr_way WINEPREFIX=$wr_prefix WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
rm -rf "$WINEPREFIX"
copy_booted_prefix
unset "${!wr_@}"
wr_status=0
"$@" || wr_status=$?
/usr/lib/wine/wineserver -k 2>/dev/null || true
exit $wr_status
