#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real credcipher on a virtual X screen that is a desktop: a window manager (openbox), the
# ibus input method with its XIM server in a private D-Bus session, and a clipboard manager
# (xfsettingsd's, which takes a copy with SAVE_TARGETS). Checked as a person meets them:
# - what the input method composes shows in the field at the caret, and its candidates go to
#   the caret (where ibus's own bus says it places them), following the caret and the window;
# - the input method goes away and comes back, and the window manager restarts, while the person
#   types: nothing typed is lost, and the input method's new start is taken (ibus's Ctrl+Shift+U
#   composes a character only through the input method);
# - text copied survives the program: served on by the program's child until another program
#   takes the clipboard, or handed to the clipboard manager; marked as a secret;
# - selecting what the person typed shares nothing (PRIMARY); the middle button pastes PRIMARY;
# - a 1 MB paste (INCR) is cut to the field's limit, which the field tells the dialog
#   (EN_MAXTEXT), and copied out whole (INCR again);
# - a pasted line break ends the paste, as the Windows program does under Wine.
#
# Usage: desktop_e2e.sh path/to/credcipher path/to/x_probe   (exit 77 = skipped: a tool missing)
set -u

binary=${1:?usage: desktop_e2e.sh path/to/credcipher path/to/x_probe}
x_probe=${2:?usage: desktop_e2e.sh path/to/credcipher path/to/x_probe}
for tool in Xvfb xdotool xclip xprop xwininfo dbus-monitor openssl iconv base64 od openbox ibus-daemon ibus \
    dbus-run-session xfsettingsd; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed"
        exit 77
    fi
done
ibus_x11=/usr/libexec/ibus-x11
[ -x "$ibus_x11" ] || { echo "SKIP: $ibus_x11 is not installed"; exit 77; }
# Without the locale installed, Xlib opens no input method and every composing check would wait
# out its time.
if ! grep -qix 'zh_CN\.utf-\?8' <<<"$(locale -a)"; then
    echo "FAIL: the zh_CN.UTF-8 locale is not installed (scripts/setup.sh test generates it)"
    exit 1
fi
# ibus and the clipboard manager talk over D-Bus: a private session bus of the suite's own.
if [ -z "${CREDCIPHER_PRIVATE_BUS:-}" ]; then
    CREDCIPHER_PRIVATE_BUS=1 exec dbus-run-session -- "$0" "$@"
fi

here=$(dirname "$(realpath "$0")")
. "$here/x11_session.sh"
start_server
export XMODIFIERS=@im=ibus

owner() { "$x_probe" owner "$1"; }
# Whether the program (or its child) still runs on this suite's screen: other suites run it too.
alive() {
    local pid
    for pid in $(pgrep -fx -- "$binary"); do
        if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "DISPLAY=$DISPLAY"; then
            echo alive
            return
        fi
    done
    echo gone
}

# A window manager, or a new one that replaces the one running, as a desktop restarts its own.
# Not through ibus: openbox hangs on its way out when the input method went before it.
wm_pid=
start_wm() {
    local before
    before=$(owner WM_S0)
    XMODIFIERS= openbox --sm-disable --replace >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    await ! "$before" owner WM_S0 || fail "openbox did not start"
}
xim_pid=
start_xim() {
    "$ibus_x11" >"$work/ibus-x11.log" 2>&1 &
    xim_pid=$!
    await ! 0x0 owner @server=ibus || fail "ibus's XIM server did not start"
}
stop() {  # pid
    kill "$1"
    wait "$1" 2>/dev/null
}
# ibus's Unicode entry, which only the input method turns into one character: the code is
# composed, then space commits it.
composing() { xdotool key --delay 60 ctrl+shift+u $(grep -o . <<<"$1"); }
compose() { composing "$1"; xdotool key space; }
# Where ibus places its candidates: the caret as the program last told it, in screen pixels, as
# ibus's own bus carries it to its panel.
spot() {
    grep -A2 'InputContext; member=SetCursorLocation' "$work/ibus-bus.log" | grep -o 'int32 -*[0-9]*' |
        tail -2 | cut -d' ' -f2 | paste -sd' '
}
# The window's place on the screen (xdotool's is off by the frame under openbox).
geometry() {
    X=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ { print $NF }')
    Y=$(xwininfo -id "$window" | awk '/Absolute upper-left Y/ { print $NF }')
    echo "$X $Y"
}
# Whether the spot is inside a control, given in dialog units.
spot_in() {  # x y width height
    local x y
    read -r x y <<<"$(spot)"
    geometry >/dev/null
    [ "${x:-0}" -ge $((X + ($1 * WIDTH) / 326)) ] && [ "$x" -le $((X + (($1 + $3) * WIDTH) / 326)) ] &&
        [ "$y" -ge $((Y + ($2 * HEIGHT) / 249)) ] && [ "$y" -le $((Y + (($2 + $4) * HEIGHT) / 249)) ] &&
        echo inside || echo "outside: $x,$y (window $X,$Y ${WIDTH}x$HEIGHT)"
}

ibus-daemon --panel=disable --replace >"$work/ibus.log" 2>&1 &
ibus_pid=$!
await xkb:us::eng sh -c 'ibus engine xkb:us::eng && ibus engine' ||
    fail "ibus did not take its keyboard engine"
dbus-monitor --address "$(ibus address)" >"$work/ibus-bus.log" 2>&1 &
monitor_pid=$!
start_wm

# --- The input method goes while the dialog is open, and comes back; so does the window manager.
start_xim
# Traced, so that the field's notifications to the dialog can be counted.
WIN32_TRACE=messages start zh_CN.UTF-8
# The window is clicked once the window manager has taken it (and set what it allows it).
managed() { xprop -id "$window" _NET_WM_ALLOWED_ACTIONS | grep -c _NET_WM_ACTION_CLOSE; }
await 1 managed || fail "openbox did not take the window"
# While the input method composes, the field shows what it composes at the caret, and its
# candidates go to the caret, following it as it moves and as the window moves.
account_in
empty=$(pixels $(place_of account_in))
await inside spot_in $(place_of account_in) || fail "the candidates are not at the field: $(spot_in $(place_of account_in))"
before=$(spot)
composing 4e2d
await ! "$empty" pixels $(place_of account_in) || fail "the field does not show the composition"
await ! "$before" spot || fail "the candidates did not follow the caret"
check "the candidates follow the caret in the field" inside "$(spot_in $(place_of account_in))"
moved_from="$X $Y"
xdotool windowmove "$window" 40 60
await ! "$moved_from" geometry || fail "the window did not move"
await inside spot_in $(place_of account_in)
check "and the window as it moves" inside "$(spot_in $(place_of account_in))"
xdotool key space
# The composed character comes from the input method: it is in the field before ibus goes.
arrived 中
stop "$xim_pid"
await 0x0 owner @server=ibus
# Keys the input method held when it went are gone with it (the copy's End, perhaps); those
# pressed after it went come as plain keys.
xdotool key End
type_text ab
arrived 中ab
old_wm=$wm_pid
start_wm
wait "$old_wm"
# A click gives the focus once the new window manager has taken the window.
clicked_focus() { account_in; xdotool getwindowfocus; }
await "$window" clicked_focus || fail "the new window manager gave no focus"
sleep 1  # the window manager settles: the focus coming back selects the field's text
account_in
type_text c
arrived 中abc
# The input method's new start is taken: once the program has seen it, a character composes.
start_xim
password_in
composed() { xdotool key ctrl+a BackSpace; compose 6587; sleep 0.5; typed; }
await 文 composed || fail "the restarted input method was not taken"
type_text pass
arrived 文pass
encrypt
copy_out "typed through the input method's life" account_out "$(cipher_of '中abc' GBK)"
copy_out "and after its new start" password_out "$(cipher_of '文pass' GBK)"

# --- Selecting what the person typed leaves PRIMARY alone; the middle button pastes it.
printf 'from primary' | xclip -selection primary -i
account_in
xdotool key ctrl+a
sleep 0.5
check "a selection of typed text is not shared" "from primary" "$(selection primary 'from primary')"
paste_with password_in "click 2" '文passfrom primary'
encrypt
copy_out "the middle button pasted PRIMARY" password_out "$(cipher_of '文passfrom primary' GBK)"

# --- A pasted line break ends the paste. The Windows program under Wine enciphers the paste
# of "admin\n" to this text; OpenSSL agrees that it is the cipher of "admin".
printf 'admin\n' | xclip -selection clipboard -i
paste_with account_in "key ctrl+a ctrl+v" admin
encrypt
copy_out "a paste stops at its line break" account_out "BoN3Iagl6omv5BDo67fmQQ=="
check "which is the cipher of its first line" "$(cipher_of admin GBK)" "BoN3Iagl6omv5BDo67fmQQ=="

# --- 1 MB pasted (the owner sends it in pieces): the field keeps its limit of 30,000
# characters, and a copy of them (90,000 bytes of UTF-8) goes out in pieces too.
# The field tells the dialog that it cut the paste (EN_MAXTEXT from the account field, 1001).
maxtext() { grep -c 'WM_COMMAND wp=0x50103e9 ' "$work/stderr"; }
maxtext_before=$(maxtext)
yes 中 | tr -d '\n' | head -c 1048575 | xclip -selection clipboard -i
paste_with account_in "key ctrl+a ctrl+v" "$(yes 中 | tr -d '\n' | head -c 90000)"
check "a large paste is cut to the limit and copied out whole" "90000 30000" \
    "$(xclip -o -selection clipboard | wc -c) $(xclip -o -selection clipboard | LC_ALL=C.UTF-8 wc -m)"
check "the field said it cut the paste, once" "0 1" "$maxtext_before $(maxtext)"

# --- Copied text outlives the program: its child serves it until another program takes it.
account_out
xdotool key ctrl+a ctrl+c
xdotool key Escape
check "the dialog's exit code is kept" 2 "$(exit_code)"
check "the copy is there after the program ended" "$(cipher_of admin GBK)" \
    "$(selection clipboard "$(cipher_of admin GBK)")"
check "it is marked as a secret" secret \
    "$(timeout 2 xclip -o -selection clipboard -t x-kde-passwordManagerHint)"
check "a child serves it" alive "$(alive)"
printf 'taken' | xclip -selection clipboard -i
await gone alive || fail "the child serves on after another program took the clipboard"

# --- With a clipboard manager running, the copy is handed to it and nothing stays behind.
XMODIFIERS= xfsettingsd --disable-wm-check >"$work/xfsettingsd.log" 2>&1 &
manager_pid=$!
await ! 0x0 owner CLIPBOARD_MANAGER || fail "xfsettingsd's clipboard manager did not start"
sleep 2  # the rest of its start-up (settings, keyboard, displays) is done too
start C.UTF-8
account_in
type_text bob
arrived bob
encrypt
account_out
xdotool key ctrl+a ctrl+c
xdotool key Escape
check "closed with Cancel" 2 "$(exit_code)"
check "the clipboard manager keeps the copy" "$(cipher_of bob CP1252)" \
    "$(selection clipboard "$(cipher_of bob CP1252)")"
check "no process stays behind" gone "$(alive)"

stop "$monitor_pid"
stop "$manager_pid"
stop "$xim_pid"
stop "$wm_pid"
stop "$ibus_pid"
echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
