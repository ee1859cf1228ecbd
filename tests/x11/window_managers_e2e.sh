#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real credcipher under several real window managers (metacity, xfwm4, openbox), one short
# session each, as each manager reads the windows' hints:
# - the main dialog, an ownerless window of fixed size with a minimise box, is a normal window
#   whose caption offers close and minimise, neither maximise nor resize: the actions the manager
#   allows it (_NET_WM_ALLOWED_ACTIONS, which it sets from the size and Motif hints, and from
#   which metacity draws the caption's buttons);
# - a request to make it full screen, as a pager or a task bar sends it, leaves it its size;
# - the About box, an owned window, is a dialog transient for the main window.
#
# Usage: window_managers_e2e.sh path/to/credcipher path/to/x11_about_program path/to/x_probe
# (exit 77 = skipped: a tool missing). x11_about_program is the program that opens its About box
# by itself, which no control of the program does.
set -u

binary=${1:?usage: window_managers_e2e.sh credcipher x11_about_program x_probe}
about_program=${2:?usage: window_managers_e2e.sh credcipher x11_about_program x_probe}
x_probe=${3:?usage: window_managers_e2e.sh credcipher x11_about_program x_probe}
for tool in Xvfb xdotool xprop xwininfo dbus-run-session openbox metacity xfwm4; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
# xfwm4 reads its settings from xfconfd, on a session bus: a private one of the suite's own.
if [ -z "${CREDCIPHER_PRIVATE_BUS:-}" ]; then
    CREDCIPHER_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
# No accessibility bus is started for the managers' toolkits, nor for the program.
export NO_AT_BRIDGE=1

here=$(dirname "$(realpath "$0")")
. "$here/x11_session.sh"
# Kept as it is when its last client goes, between two sessions: a server that resets turns
# away the clients that come meanwhile.
start_server -noreset

wm_pid=
start_wm() {  # manager
    case $1 in
        openbox) exec openbox --sm-disable ;;
        # Its settings from a file of the suite's own: its default caption (GNOME's
        # button-layout 'appmenu:close') has a close button only, for every window; desktops
        # that run it ask for the three buttons, which it then shows as each window allows.
        metacity)
            mkdir -p "$work/config/glib-2.0/settings"
            printf '[org/gnome/desktop/wm/preferences]\nbutton-layout=%s\n' \
                "':minimize,maximize,close'" >"$work/config/glib-2.0/settings/keyfile"
            XDG_CONFIG_HOME=$work/config GSETTINGS_BACKEND=keyfile exec metacity ;;
        xfwm4) exec xfwm4 --compositor=off --sm-client-disable ;;
    esac >"$work/$1.log" 2>&1 &
    wm_pid=$!
    await ! 0x0 "$x_probe" owner WM_S0 || fail "$1 did not start: $(cat "$work/$1.log")"
}
stop_wm() {
    kill "$wm_pid"
    wait "$wm_pid" 2>/dev/null
    await 0x0 "$x_probe" owner WM_S0 || fail "the window manager did not end"
}

# The caption's actions the manager allows a window, of those the window's styles decide.
allowed() {  # window
    xprop -id "$1" _NET_WM_ALLOWED_ACTIONS | grep -o '_NET_WM_ACTION_[A-Z_]*' |
        grep -E 'MINIMIZE|MAXIMIZE|RESIZE|CLOSE|FULLSCREEN' | sed 's/_NET_WM_ACTION_//' | sort |
        paste -sd' '
}
size_and_state() {  # window
    local size state
    size=$(xwininfo -id "$1" |
        awk '/Width:/ { w = $NF } /Height:/ { h = $NF } END { print w "x" h }')
    state=$(xprop -id "$1" _NET_WM_STATE | grep -q FULLSCREEN && echo ", full screen")
    echo "$size$state"
}
atoms() {  # window property
    xprop -notype -id "$1" "$2" | sed 's/^[^=]*= //'
}
transient_for() {  # window
    printf '%d' "$(xprop -id "$1" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')"
}
gone() {  # window
    xwininfo -id "$1" >/dev/null 2>&1 && echo shown || echo gone
}

map_state() {  # window
    xwininfo -id "$1" | awk '/Map State:/ { print $NF }'
}

for manager in metacity xfwm4 openbox; do
    # --- The main dialog's caption, as the manager takes the window on its start. (A window
    # that asks to be shown while openbox starts may wait until some later event: openbox reads
    # the request into its own queue, which its main loop does not look at before it sleeps.)
    start C.UTF-8
    await IsViewable map_state "$window" || fail "the main dialog was not shown"
    start_wm "$manager"
    # Openbox and xfwm4 allow full screen to every window whatever its hints, so the program
    # itself refuses it (below):
    # - openbox 3.6 (openbox/client.c, client_setup_default_decor_and_functions) adds
    #   OB_CLIENT_FUNC_FULLSCREEN to every window of type normal or dialog; size hints with
    #   min == max take away only resizing, the Motif functions only resizing and moving (and so
    #   maximising), and the types it gives no full screen (utility, menu, toolbar, splash) are
    #   no main window's;
    # - xfwm4 4.18 (src/netwm.c, clientSetNetActions) lists _NET_WM_ACTION_FULLSCREEN for every
    #   visible window, and grants the request to every window that is not transient.
    # Metacity allows no full screen to a window whose size hints fix its size.
    case $manager in
        metacity) expected='CLOSE MINIMIZE' ;;
        *) expected='CLOSE FULLSCREEN MINIMIZE' ;;
    esac
    await "$expected" allowed "$window" || echo "$manager's log: $(cat "$work/$manager.log")"
    check "$manager: the main dialog allows close and minimise, no maximise nor resize" \
        "$expected" "$(allowed "$window")"
    check "$manager: it is a normal window" _NET_WM_WINDOW_TYPE_NORMAL \
        "$(atoms "$window" _NET_WM_WINDOW_TYPE)"

    # --- Asked to fill the screen, the dialog of fixed size keeps its size: the manager refuses,
    # or grants it and the program asks at once to leave full screen.
    before=$(size_and_state "$window")
    "$x_probe" fullscreen "$window"
    sleep 0.5  # the manager has made it full screen, if it does
    await "$before" size_and_state "$window"
    check "$manager: a full-screen request leaves the dialog its size" "$before" \
        "$(size_and_state "$window")"
    "$x_probe" close "$window"
    check "$manager: closed by the manager with Cancel" 2 "$(exit_code)"

    # --- The About box over it.
    binary=$about_program start C.UTF-8
    about=$(timeout 10 xdotool search --sync --name '^About$' | head -1)
    main=$(xdotool search --name '^App$' | head -1)
    if [ -z "$about" ] || [ -z "$main" ]; then
        fail "$manager: the About box did not open (main '$main', About '$about')"
    else
        check "$manager: the About box is a dialog" _NET_WM_WINDOW_TYPE_DIALOG \
            "$(atoms "$about" _NET_WM_WINDOW_TYPE)"
        check "$manager: transient for the main dialog" "$((main))" "$(transient_for "$about")"
        "$x_probe" close "$about"
        await gone gone "$about" || fail "$manager: the About box did not close"
        "$x_probe" close "$main"
    fi
    check "$manager: then the main dialog closes with Cancel" 2 "$(exit_code)"

    stop_wm
done

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
